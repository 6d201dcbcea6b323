#pragma once

#include <string>

// The engine cannot read our configuration file itself; it looks its tables up in one data
// folder with a fixed layout. This lays out such a folder from the configuration lines, with
// a link for every table a line names, so each encoding and table resolves through its line.
// Folders are kept in the user's cache, one per distinct configuration, so a start costs no
// file creation once the folder exists.
class EngineDataFolder {
public:
    // cacheRoot: where the folders are kept; empty means "folverin/" in the user's cache.
    explicit EngineDataFolder(std::string cacheRoot = {});
    ~EngineDataFolder();
    EngineDataFolder(const EngineDataFolder&) = delete;
    EngineDataFolder& operator=(const EngineDataFolder&) = delete;

    // The folder for the given configuration text (the file's contents). Empty when no folder
    // can be made.
    std::string folderFor(const std::string& configText);

    // Lays out the links the configuration lines name below root.
    static bool layOut(const std::string& root, const std::string& configText);

    // Removes the temporary folders this process made, from any thread: for a process that is
    // about to end without running its destructors (a worker whose program went away).
    static void removeTemporaryFolders();

private:
    std::string cachedFolder(const std::string& configText);
    void dropTemporaryFolder();

    std::string root;
    std::string currentText;
    std::string currentFolder;
    std::string temporaryFolder; // when the cache cannot be written; removed with this object
};
