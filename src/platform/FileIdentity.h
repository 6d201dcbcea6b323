#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace platform {

// Which file a path names, whatever the path's spelling or the links on the way.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    auto operator<=>(const FileIdentity&) const = default;

    // Empty when nothing exists at path.
    static std::optional<FileIdentity> of(const std::string& path);
    // True when both paths exist and name the same file.
    static bool sameFile(const std::string& first, const std::string& second);
    // The path of the file itself, every link and ".." resolved; empty when nothing exists at
    // path. Unlike an inode number, which the system gives to the next new file once another
    // program replaced this one, it keeps naming the same place.
    static std::optional<std::string> canonicalPath(const std::string& path);
};

} // namespace platform
