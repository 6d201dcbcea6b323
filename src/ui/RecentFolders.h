#pragma once

#include "platform/Dialogs.h"

#include <map>
#include <mutex>
#include <string>

// The program's dialogs with a memory of folders: a file or folder dialog asked under a name
// (its request's recallAs) and without an initial folder starts in the folder the last dialog
// of that name was left in, while that folder is still there. Everything else is passed on as
// asked.
class RecentFolders : public platform::Dialogs {
public:
    // folders: by dialog name, as an earlier run left them.
    RecentFolders(platform::Dialogs& dialogs, std::map<std::string, std::string> folders);

    platform::Dialogs& inner() const { return dialogs; }
    std::map<std::string, std::string> folders() const;

    platform::DialogResult messageBox(const platform::MessageRequest& request) override;
    void showMessage(const platform::MessageRequest& request,
                     std::function<void(platform::DialogResult)> answered) override;
    void closeOpenMessages() override;
    std::vector<std::string> openFiles(const platform::OpenFilesRequest& request) override;
    std::string selectFolder(const platform::FolderRequest& request) override;
    std::string saveFile(const platform::SaveFileRequest& request) override;

private:
    void startWhereLeft(const std::string& name, std::string& initialFolder) const;
    void remember(const std::string& name, const std::string& folder);

    platform::Dialogs& dialogs;
    mutable std::mutex mutex;
    std::map<std::string, std::string> lastFolders;
};
