#include "platform/SystemFolders.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace platform {

namespace {

// An XDG variable when set to an absolute path (relative values are invalid by the XDG
// rules), else the fallback below the home folder.
std::string xdgFolder(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return SystemFolders::withTrailingSlash(value);
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};
    return SystemFolders::withTrailingSlash(home) + underHome;
}

} // namespace

std::string SystemFolders::programDir() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("./") : withTrailingSlash(executable.parent_path().string());
}

std::string SystemFolders::userConfigDir() {
    return xdgFolder("XDG_CONFIG_HOME", ".config/");
}

std::string SystemFolders::userCacheDir() {
    return xdgFolder("XDG_CACHE_HOME", ".cache/");
}

std::string SystemFolders::userStateDir() {
    return xdgFolder("XDG_STATE_HOME", ".local/state/");
}

std::string SystemFolders::withTrailingSlash(const std::string& path) {
    return !path.empty() && path.back() == '/' ? path : path + '/';
}

bool SystemFolders::makePath(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

bool SystemFolders::makePrivatePath(const std::string& path) {
    std::error_code error;
    std::filesystem::path made;
    for (const std::filesystem::path& part : std::filesystem::path(path)) {
        made /= part;
        if (!part.empty() && ::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return std::filesystem::is_directory(path, error);
}

} // namespace platform
