#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace platform {

// What tells one version of a file from another: which file it is (device, inode) and its
// size and modification time. A file replaced or rewritten has another stamp.
struct FileStamp {
    std::int64_t device = 0;
    std::int64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    auto operator<=>(const FileStamp&) const = default;

    // The all-zero stamp when nothing can be read at path.
    static FileStamp of(const std::string& path);
};

} // namespace platform
