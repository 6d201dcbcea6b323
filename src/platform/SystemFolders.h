#pragma once

#include <string>

// Where the program runs from and where per-user configuration lives.
namespace platform {

class SystemFolders {
public:
    // Folder of the running executable with a trailing '/'.
    static std::string programDir();
    // The per-user configuration folder ($XDG_CONFIG_HOME, else ~/.config) with a trailing
    // '/', or an empty string when neither can be determined.
    static std::string userConfigDir();
    // The per-user cache folder ($XDG_CACHE_HOME, else ~/.cache) with a trailing '/', or empty.
    static std::string userCacheDir();
    // The per-user state folder ($XDG_STATE_HOME, else ~/.local/state) with a trailing '/', or
    // empty: what a program keeps between runs that is not configuration.
    static std::string userStateDir();
    // path with exactly one '/' appended when it does not end in one already.
    static std::string withTrailingSlash(const std::string& path);
    // Creates the folder and its missing parents; true when it exists afterwards.
    static bool makePath(const std::string& path);
    // The same, but each folder it makes is private to the user (0700), as folders that hold a
    // user's state should be; folders already there keep their permissions.
    static bool makePrivatePath(const std::string& path);
};

} // namespace platform
