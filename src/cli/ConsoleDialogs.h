#pragma once

#include "platform/Dialogs.h"

#include <cstdio>

class ProgressLine;

// Dialogs for a terminal: each message becomes one line on stderr, prefixed by the file it is
// about. Questions are answered No and choosers cancelled, so a script is never asked to confirm.
// While a progress line is shown, messages are printed above it.
class ConsoleDialogs : public platform::Dialogs {
public:
    explicit ConsoleDialogs(std::FILE* stream = stderr) : stream(stream) {}

    platform::DialogResult messageBox(const platform::MessageRequest& request) override;
    std::vector<std::string> openFiles(const platform::OpenFilesRequest&) override { return {}; }
    std::string selectFolder(const platform::FolderRequest&) override { return {}; }
    std::string saveFile(const platform::SaveFileRequest&) override { return {}; }

    // The line shown on the same terminal until it is taken back with nullptr.
    void setProgressLine(ProgressLine* line) { progressLine = line; }

private:
    std::FILE* stream;
    ProgressLine* progressLine = nullptr;
};
