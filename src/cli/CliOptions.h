#pragma once

#include "core/ConvertOptionFields.h"
#include "platform/Result.h"

#include <optional>
#include <string>
#include <vector>

// The command line of folverin-cli, parsed: what to do, on which paths, and the changes it
// makes to the options loaded from the settings.
struct CliOptions {
    enum class Action { Convert, Summary, Help, Version };

    Action action = Action::Convert;
    std::vector<std::string> paths;
    bool useSettings = true;
    bool quiet = false;
    // Written paths end with NUL instead of a line end where stdout is not a terminal.
    bool nullEnded = false;
    // Convert only files whose output is missing or older than the PDF.
    bool update = false;
    // Worker processes: 0 for one per usable core, 1 for converting in this process.
    int jobs = 0;
    static constexpr int maxJobs = 256;
    std::string ownerPassword;
    std::string userPassword;
    // Where a line of JSON goes for each file, as its turn ends; empty for none.
    std::string reportPath;

    // Applied over the loaded options: the fields the arguments set, in given, the later of
    // two that set the same field counting. A page range needs only one of its ends: the
    // other is the document's first or last page.
    ConvertOptions given;
    std::vector<bool> givenFields = std::vector<bool>(convertOptionFields().size());

    void applyTo(ConvertOptions& options) const;

    // The options the arguments (without the program name) give, or the usage error.
    static platform::Result<CliOptions> parse(const std::vector<std::string>& arguments);
    static std::string helpText();
};
