#include "platform/HeldFolder.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

constexpr int maxLinksFollowed = 40;

UniqueFd openFolder(const char* path) {
    return UniqueFd(::open(path, O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// Takes the first name off a path.
std::string takeFirstName(std::string& rest) {
    const std::size_t slash = rest.find('/');
    std::string name = rest.substr(0, slash);
    rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    return name;
}

// What the link held open at linkFd says; empty (errno set) when it cannot be read whole.
std::string linkText(int linkFd) {
    std::string text(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(linkFd, "", text.data(), text.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= text.size()) {
        if (length >= 0)
            errno = ENAMETOOLONG;
        return {};
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

HeldFolder::HeldFolder(UniqueFd start, std::string shownStart)
    : descriptor(std::move(start)), shown(std::move(shownStart)) {
    if (!valid())
        fail(errno);
}

HeldFolder HeldFolder::open(const std::string& path) {
    HeldFolder folder(openFolder("."), {});
    folder.walk(path, false);
    return folder;
}

HeldFolder HeldFolder::make(const std::string& path) {
    HeldFolder folder(openFolder("."), {});
    folder.walk(path, true);
    return folder;
}

HeldFolder HeldFolder::ofFile(const std::string& filePath, std::string& name) {
    const std::size_t slash = filePath.rfind('/');
    HeldFolder folder = open(slash == std::string::npos ? std::string(".") : filePath.substr(0, slash + 1));
    name = filePath.substr(slash == std::string::npos ? 0 : slash + 1);
    for (int hop = 0; folder.valid() && hop < maxLinksFollowed; ++hop) {
        const UniqueFd link(::openat(folder.fd(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat info {};
        if (!link.valid() || ::fstat(link.get(), &info) != 0 || !S_ISLNK(info.st_mode) ||
            info.st_uid != ::geteuid())
            break;
        const std::string target = linkText(link.get());
        if (target.empty())
            break;
        const std::size_t cut = target.rfind('/');
        if (cut != std::string::npos)
            folder.walk(target.substr(0, cut + 1), false);
        name = target.substr(cut == std::string::npos ? 0 : cut + 1);
    }
    return folder;
}

void HeldFolder::walk(std::string rest, bool makeMissing) {
    if (valid() && rest.starts_with('/'))
        restartAtRoot();
    int linksFollowed = 0;
    while (valid() && !rest.empty()) {
        const std::string name = takeFirstName(rest);
        if (!name.empty() && name != ".")
            enter(name, makeMissing, rest, linksFollowed);
    }
}

// Steps into the folder of that name, or through the link of that name by putting its text
// before the rest of the path.
void HeldFolder::enter(const std::string& name, bool makeMissing, std::string& rest, int& linksFollowed) {
    constexpr int flags = O_PATH | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd next(::openat(fd(), name.c_str(), flags));
    if (!next.valid() && errno == ENOENT && makeMissing &&
        (::mkdirat(fd(), name.c_str(), 0777) == 0 || errno == EEXIST))
        next.reset(::openat(fd(), name.c_str(), flags));
    struct stat info {};
    if (!next.valid() || ::fstat(next.get(), &info) != 0)
        return fail(errno);
    if (S_ISDIR(info.st_mode)) {
        descriptor = std::move(next);
        shown = shownPathOf(name);
        return;
    }
    if (!S_ISLNK(info.st_mode))
        return fail(ENOTDIR);
    if (++linksFollowed > maxLinksFollowed)
        return fail(ELOOP);
    if (!mayFollowLinkOf(info.st_uid)) {
        link = shownPathOf(name);
        failure = "the folder '" + link + "' is another user's link";
        descriptor.reset();
        return;
    }
    const std::string target = linkText(next.get());
    if (target.empty())
        return fail(errno);
    rest = target + "/" + rest;
    if (target.starts_with('/'))
        restartAtRoot();
}

// The kernel's rule for links in shared folders, kept in every folder: the folder's owner
// could have put anything there anyway; anyone else only where the folder lets them.
bool HeldFolder::mayFollowLinkOf(uid_t linkOwner) const {
    struct stat holder {};
    return linkOwner == ::geteuid() || (::fstat(fd(), &holder) == 0 && holder.st_uid == linkOwner);
}

void HeldFolder::restartAtRoot() {
    descriptor = openFolder("/");
    shown = "/";
    if (!valid())
        fail(errno);
}

void HeldFolder::fail(int code) {
    failure = std::strerror(code);
    descriptor.reset();
}

std::string HeldFolder::shownPathOf(const std::string& name) const {
    if (shown.empty())
        return name;
    return shown.ends_with('/') ? shown + name : shown + "/" + name;
}

} // namespace platform
