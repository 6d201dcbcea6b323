#pragma once

#include "cli/CliOptions.h"

#include <QTextStream>

class ConverterApp;

// Runs what the command line asks for and gives the process exit status.
class CliRunner {
public:
    enum ExitStatus { AllConverted = 0, SomeSkipped = 1, EndedEarly = 2, UsageError = 2 };

    CliRunner(ConverterApp& app, QTextStream& out, QTextStream& err);

    int run(const QStringList& arguments);

private:
    QStringList collectFiles(const QStringList& paths, bool& missing);
    int convertAll(const QStringList& files, const CliOptions& cli);
    int summarizeAll(const QStringList& files);
    int usageError(const QString& message);

    ConverterApp& app;
    QTextStream& out;
    QTextStream& err;
};
