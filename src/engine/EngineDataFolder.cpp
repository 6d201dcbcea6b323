#include "engine/EngineDataFolder.h"

#include "platform/SystemFolders.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A configuration line's fields are separated by tabs (paths may hold spaces); runs of tabs
// count as one separator.
std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) {
        while (!field.empty() && (field.back() == '\r' || field.back() == ' '))
            field.pop_back();
        if (!field.empty())
            result.push_back(field);
    }
    return result;
}

// Table names come from a file the user can edit: a name must not lead out of the folder.
void link(const std::string& target, const fs::path& folder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return;
    std::error_code error;
    fs::remove(folder / name, error);
    fs::create_symlink(target, folder / name, error);
}

std::string digest(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a: stable across builds and runs
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

std::string makeTemporaryFolder(const std::string& pattern) {
    std::string name = pattern;
    return ::mkdtemp(name.data()) ? name : std::string();
}

// The temporary folders of this process, so the one who made them removes them however it ends.
std::mutex temporaryGuard;
std::set<std::string> temporaryFolders;

std::string makeRegisteredFolder(const std::string& pattern) {
    const std::lock_guard lock(temporaryGuard);
    std::string folder = makeTemporaryFolder(pattern);
    if (!folder.empty())
        temporaryFolders.insert(folder);
    return folder;
}

} // namespace

EngineDataFolder::EngineDataFolder(std::string cacheRoot) : root(std::move(cacheRoot)) {
    if (root.empty() && !platform::SystemFolders::userCacheDir().empty())
        root = platform::SystemFolders::userCacheDir() + "folverin";
}

EngineDataFolder::~EngineDataFolder() {
    dropTemporaryFolder();
}

void EngineDataFolder::dropTemporaryFolder() {
    if (temporaryFolder.empty())
        return;
    const std::lock_guard lock(temporaryGuard);
    std::error_code error;
    fs::remove_all(temporaryFolder, error);
    temporaryFolders.erase(temporaryFolder);
    temporaryFolder.clear();
}

void EngineDataFolder::removeTemporaryFolders() {
    const std::lock_guard lock(temporaryGuard);
    std::error_code error;
    for (const std::string& folder : temporaryFolders)
        fs::remove_all(folder, error);
    temporaryFolders.clear();
}

std::string EngineDataFolder::folderFor(const std::string& configText) {
    if (!currentFolder.empty() && configText == currentText)
        return currentFolder;
    std::string folder = cachedFolder(configText);
    if (folder.empty()) {
        std::error_code error;
        dropTemporaryFolder();
        temporaryFolder =
            makeRegisteredFolder(fs::temp_directory_path(error).string() + "/folverin-engine-XXXXXX");
        if (temporaryFolder.empty() || !layOut(temporaryFolder, configText))
            return {};
        folder = temporaryFolder;
    }
    currentText = configText;
    currentFolder = folder;
    return folder;
}

// A folder named after the configuration's digest, laid out under a temporary name and
// renamed into place, so a process never sees a half-made folder. Identical text, identical
// folder; another configuration (a moved program, an edited file) gets its own.
std::string EngineDataFolder::cachedFolder(const std::string& configText) {
    if (root.empty())
        return {};
    const std::string folder =
        root + "/engine-" + digest(configText) + "-" + std::to_string(configText.size());
    std::error_code error;
    if (fs::is_directory(folder, error))
        return folder;
    if (!platform::SystemFolders::makePath(root))
        return {};
    const std::string building = makeTemporaryFolder(root + "/.building-XXXXXX");
    if (building.empty())
        return {};
    const bool laidOut = layOut(building, configText);
    if (laidOut)
        fs::rename(building, folder, error);
    if (!laidOut || error) // another process may have won the race: its folder serves
        fs::remove_all(building, error);
    return fs::is_directory(folder, error) ? folder : std::string();
}

bool EngineDataFolder::layOut(const std::string& rootFolder, const std::string& configText) {
    const fs::path dataRoot(rootFolder);
    std::error_code error;
    for (const char* sub : {"cidToUnicode", "unicodeMap", "cMap", "nameToUnicode"}) {
        if (!fs::create_directories(dataRoot / sub, error) && error)
            return false;
    }
    std::vector<std::string> cMapDirs;
    int extraDirs = 0;
    int nameTables = 0;
    std::istringstream lines(configText);
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> f = fields(line);
        if (f.size() == 3 && f[0] == "cidToUnicode") {
            link(f[2], dataRoot / "cidToUnicode", f[1]);
        } else if (f.size() == 3 && f[0] == "unicodeMap") {
            link(f[2], dataRoot / "unicodeMap", f[1]);
        } else if (f.size() == 3 && f[0] == "cMapDir") {
            link(f[2], dataRoot / "cMap", f[1]);
            cMapDirs.push_back(f[2]);
        } else if (f.size() == 2 && f[0] == "toUnicodeDir") {
            // The engine searches every CMap folder for ToUnicode maps; a folder named only
            // here joins them under a name no collection uses.
            if (std::find(cMapDirs.begin(), cMapDirs.end(), f[1]) == cMapDirs.end())
                link(f[1], dataRoot / "cMap", "toUnicode-" + std::to_string(++extraDirs));
            cMapDirs.push_back(f[1]);
        } else if (f.size() == 2 && f[0] == "nameToUnicode") {
            link(f[1], dataRoot / "nameToUnicode",
                 std::to_string(++nameTables) + "-" + fs::path(f[1]).filename().string());
        }
    }
    return true;
}
