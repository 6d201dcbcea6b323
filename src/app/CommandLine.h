#pragma once

#include <string>
#include <vector>

// What the window program was asked for on its command line. Read before any window system is
// touched, so --help and --version answer in a terminal without a display.
class CommandLine {
public:
    enum class Action { Run, Help, Version, UsageError };

    Action action = Action::Run;
    bool showSplash = true;
    // PDF files and folders, made absolute against the working folder the program started in
    // (a running instance that receives them has another one).
    std::vector<std::string> paths;
    std::string error; // why the command line was refused

    static CommandLine parse(const std::vector<std::string>& arguments, const std::string& workingFolder);

    static std::string helpText();
    static std::string versionText();
    // The short form after a usage error.
    static std::string usageText();
};
