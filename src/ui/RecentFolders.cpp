#include "ui/RecentFolders.h"

#include <filesystem>
#include <system_error>

RecentFolders::RecentFolders(platform::Dialogs& dialogs, std::map<std::string, std::string> folders)
    : dialogs(dialogs), lastFolders(std::move(folders)) {}

std::map<std::string, std::string> RecentFolders::folders() const {
    const std::lock_guard lock(mutex);
    return lastFolders;
}

platform::DialogResult RecentFolders::messageBox(const platform::MessageRequest& request) {
    return dialogs.messageBox(request);
}

void RecentFolders::showMessage(const platform::MessageRequest& request,
                                std::function<void(platform::DialogResult)> answered) {
    dialogs.showMessage(request, std::move(answered));
}

void RecentFolders::closeOpenMessages() {
    dialogs.closeOpenMessages();
}

std::vector<std::string> RecentFolders::openFiles(const platform::OpenFilesRequest& request) {
    platform::OpenFilesRequest asked = request;
    startWhereLeft(asked.recallAs, asked.initialFolder);
    std::vector<std::string> chosen = dialogs.openFiles(asked);
    if (!chosen.empty()) {
        const std::string& first = chosen.front();
        remember(asked.recallAs, first.substr(0, first.rfind('/') + 1));
    }
    return chosen;
}

std::string RecentFolders::selectFolder(const platform::FolderRequest& request) {
    platform::FolderRequest asked = request;
    startWhereLeft(asked.recallAs, asked.initialFolder);
    std::string chosen = dialogs.selectFolder(asked);
    remember(asked.recallAs, chosen);
    return chosen;
}

std::string RecentFolders::saveFile(const platform::SaveFileRequest& request) {
    return dialogs.saveFile(request);
}

void RecentFolders::startWhereLeft(const std::string& name, std::string& initialFolder) const {
    if (name.empty() || !initialFolder.empty())
        return;
    std::string folder;
    {
        const std::lock_guard lock(mutex);
        const auto found = lastFolders.find(name);
        if (found == lastFolders.end())
            return;
        folder = found->second;
    }
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        initialFolder = folder;
}

// Only absolute folders: a dialog may answer with something else, which is no place to start.
void RecentFolders::remember(const std::string& name, const std::string& folder) {
    if (name.empty() || !folder.starts_with('/'))
        return;
    const std::lock_guard lock(mutex);
    lastFolders[name] = folder.ends_with('/') ? folder : folder + '/';
}
