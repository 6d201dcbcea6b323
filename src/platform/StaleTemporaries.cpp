#include "platform/StaleTemporaries.h"

#include "platform/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::mutex StaleTemporaries::guard;
std::map<std::string, std::set<std::string>> StaleTemporaries::listed;

void StaleTemporaries::sweep(int folderFd, const std::string& folderPath, const std::string& namePrefix,
                             std::size_t nameLength) {
    const std::lock_guard lock(guard);
    auto found = listed.find(folderPath);
    if (found == listed.end())
        found = listed.emplace(folderPath, candidatesIn(folderFd)).first;
    std::set<std::string>& names = found->second;
    for (auto it = names.lower_bound(namePrefix); it != names.end() && it->starts_with(namePrefix);) {
        if (it->size() == nameLength && removeIfStale(folderFd, *it))
            it = names.erase(it);
        else
            ++it;
    }
}

std::set<std::string> StaleTemporaries::candidatesIn(int folderFd) {
    std::set<std::string> names;
    const int readable = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = readable >= 0 ? ::fdopendir(readable) : nullptr;
    if (!listing) {
        if (readable >= 0)
            ::close(readable);
        return names;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.starts_with('.') && name.ends_with(".part"))
            names.emplace(name);
    }
    ::closedir(listing);
    return names;
}

// Only a plain file of this user's that nobody holds: never another user's file, never a live
// writer's, never what a link points at.
bool StaleTemporaries::removeIfStale(int folderFd, const std::string& name) {
    const UniqueFd file(::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!file.valid() || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_uid != ::geteuid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    struct stat named {};
    if (::fstatat(folderFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
        return false;
    return ::unlinkat(folderFd, name.c_str(), 0) == 0;
}

} // namespace platform
