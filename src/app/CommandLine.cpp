#include "app/CommandLine.h"

#include <filesystem>

namespace {

std::string absolutePath(const std::string& path, const std::string& workingFolder) {
    const std::filesystem::path given(path);
    const std::filesystem::path full =
        given.is_absolute() ? given : std::filesystem::path(workingFolder) / given;
    return full.lexically_normal().string();
}

bool takeOption(CommandLine& line, const std::string& argument) {
    if (argument == "-h" || argument == "--help")
        line.action = CommandLine::Action::Help;
    else if (argument == "--version")
        line.action = CommandLine::Action::Version;
    else if (argument == "--no-splash")
        line.showSplash = false;
    else
        return false;
    return true;
}

} // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& arguments, const std::string& workingFolder) {
    CommandLine line;
    bool pathsOnly = false;
    for (const std::string& argument : arguments) {
        if (argument.empty())
            continue;
        if (pathsOnly || !argument.starts_with('-')) {
            line.paths.push_back(absolutePath(argument, workingFolder));
        } else if (argument == "--") {
            pathsOnly = true;
        } else if (!takeOption(line, argument)) {
            line.action = Action::UsageError;
            line.error = "unknown option '" + argument + "'";
            return line;
        }
    }
    return line;
}

std::string CommandLine::usageText() {
    return "Usage: folverin [--no-splash] [PDF-FILE|FOLDER]...\n"
           "Try 'folverin --help' for more information.\n";
}

std::string CommandLine::helpText() {
    return "Usage: folverin [OPTION]... [PDF-FILE|FOLDER]...\n"
           "Opens the Folverin window, which converts PDF files to plain text or simple HTML\n"
           "files, many at a time. PDF files given are added to the job list; folders are\n"
           "searched with all their subfolders for PDF files. When Folverin already runs, the\n"
           "files go to the running window instead, which comes to the front.\n"
           "\n"
           "  --no-splash   start without the splash picture\n"
           "  -h, --help    show this help and exit\n"
           "  --version     show the version and exit\n"
           "  --            take every further argument as a file or folder\n"
           "\n"
           "To convert from a terminal or a script, without a window, use folverin-cli.\n";
}

std::string CommandLine::versionText() {
    return std::string("folverin ") + FOLVERIN_VERSION + "\n";
}
