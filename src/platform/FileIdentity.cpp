#include "platform/FileIdentity.h"

#include <cstdlib>
#include <sys/stat.h>

namespace platform {

std::optional<FileIdentity> FileIdentity::of(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

bool FileIdentity::sameFile(const std::string& first, const std::string& second) {
    const auto identity = of(first);
    return identity && identity == of(second);
}

std::optional<std::string> FileIdentity::canonicalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return std::nullopt;
    std::string canonical(resolved);
    std::free(resolved);
    return canonical;
}

} // namespace platform
