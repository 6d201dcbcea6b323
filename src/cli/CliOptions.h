#pragma once

#include "convert/ConvertOptions.h"

#include <QString>
#include <QStringList>
#include <optional>

// The command line of folverin-cli, parsed: what to do, on which paths, and the changes it
// makes to the options loaded from the settings.
struct CliOptions {
    enum class Action { Convert, Summary, Help, Version };

    Action action = Action::Convert;
    QStringList paths;
    bool useSettings = true;
    bool quiet = false;
    QString ownerPassword;
    QString userPassword;

    // Applied over the loaded options, in the order given on the command line.
    std::optional<QString> outputDirectory;
    std::optional<std::int32_t> outputMode, htmlMeta, layout, rawMode, endOfLine, pageBreaks, textEncoding;
    std::optional<std::int32_t> pageRange, startPage, endPage;

    void applyTo(ConvertOptions& options) const;

    // Fills options from the arguments (without the program name); on a usage error returns
    // false with the reason in error.
    static bool parse(const QStringList& arguments, CliOptions& options, QString& error);
    static QString helpText();
};
