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
};

} // namespace platform
