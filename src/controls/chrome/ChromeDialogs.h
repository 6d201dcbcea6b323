#pragma once

#include "platform/QtDialogs.h"

// The program's dialogs: message boxes as QtDialogs shows them, files through the
// multi-select open dialog and folders through the folder chooser with its create prompt.
class ChromeDialogs : public platform::QtDialogs {
public:
    using platform::QtDialogs::QtDialogs;

    std::vector<std::string> openFiles(const platform::OpenFilesRequest& request) override;
    std::string selectFolder(const platform::FolderRequest& request) override;
};
