#pragma once

#include "cli/CliOptions.h"
#include "pool/PooledConverter.h"

#include <cstdio>
#include <optional>

class ConsoleDialogs;
class ConverterApp;
struct SummaryReport;

// Runs what the command line asks for and gives the process exit status.
class CliRunner {
public:
    // A batch stopped by a signal exits with Interrupted plus the signal's number, as shells do.
    enum ExitStatus { AllConverted = 0, SomeSkipped = 1, EndedEarly = 2, UsageError = 2, Interrupted = 128 };

    // dialogs is the installed platform::Dialogs: its messages must keep clear of the
    // progress line.
    CliRunner(ConverterApp& app, ConsoleDialogs& dialogs, std::FILE* out, std::FILE* err);

    int run(const std::vector<std::string>& arguments);

private:
    std::vector<std::string> collectFiles(const std::vector<std::string>& paths, bool& missing);
    int convertAll(const std::vector<std::string>& files, const CliOptions& cli);
    // The workers -j asks for (workers of them, 0: one per core): worker programs, or with -j 1
    // one fork of this process with the engine loaded; nothing, with the reason in error, when
    // the engine cannot be loaded.
    std::optional<PooledConverter::Settings> workersFor(const CliOptions& cli, int workers,
                                                        std::string& error) const;
    int summarizeAll(const std::vector<std::string>& files, const CliOptions& cli);
    std::string summaryText(const SummaryReport& report) const;
    // One message line on err, "subject: text", shown safely.
    void tell(const std::string& subject, const std::string& text);
    int usageError(const std::string& message);
    int brokenInstallation(const std::string& message);

    ConverterApp& app;
    ConsoleDialogs& dialogs;
    std::FILE* out;
    std::FILE* err;
};
