#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace platform {

namespace {

FileStamp stampFrom(const struct stat& info) {
    return {static_cast<std::int64_t>(info.st_dev), static_cast<std::int64_t>(info.st_ino), info.st_size,
            info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

} // namespace

FileStamp FileStamp::of(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? stampFrom(info) : FileStamp{};
}

} // namespace platform
