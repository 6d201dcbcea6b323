#pragma once

#include "platform/Dialogs.h"

#include <cstdio>

// Dialogs for a terminal: each message becomes one line on stderr, prefixed by the file it is
// about. Questions are answered No and choosers cancelled, so a script is never asked to confirm.
class ConsoleDialogs : public platform::Dialogs {
public:
    explicit ConsoleDialogs(std::FILE* stream = stderr) : stream(stream) {}

    platform::DialogResult messageBox(const platform::MessageRequest& request) override;
    std::vector<std::string> openFiles(const platform::OpenFilesRequest&) override { return {}; }
    std::string selectFolder(const platform::FolderRequest&) override { return {}; }
    std::string saveFile(const platform::SaveFileRequest&) override { return {}; }

private:
    std::FILE* stream;
};
