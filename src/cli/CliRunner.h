#pragma once

#include "cli/CliOptions.h"

#include <cstdio>

class ConverterApp;

// Runs what the command line asks for and gives the process exit status.
class CliRunner {
public:
    enum ExitStatus { AllConverted = 0, SomeSkipped = 1, EndedEarly = 2, UsageError = 2 };

    CliRunner(ConverterApp& app, std::FILE* out, std::FILE* err);

    int run(const std::vector<std::string>& arguments);

private:
    std::vector<std::string> collectFiles(const std::vector<std::string>& paths, bool& missing);
    int convertAll(const std::vector<std::string>& files, const CliOptions& cli);
    int summarizeAll(const std::vector<std::string>& files);
    int usageError(const std::string& message);

    ConverterApp& app;
    std::FILE* out;
    std::FILE* err;
};
