#include "platform/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// Longest name of one folder entry on the file systems we write to.
constexpr std::size_t maxNameBytes = NAME_MAX;
constexpr int maxLinkHops = 40;

std::string systemError(int code) {
    return std::strerror(code);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomSuffix() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%08x", static_cast<unsigned>(generator()));
    return buffer;
}

// The path a symbolic link finally names (the path itself when it is no link), so writing
// replaces the file the link points at and the link stays a link.
std::string followLinks(std::string path) {
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string destination(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
        const ssize_t length = ::readlink(path.c_str(), destination.data(), destination.size());
        if (length <= 0)
            return path;
        destination.resize(static_cast<std::size_t>(length));
        path = destination.front() == '/' ? destination : folderOf(path) + "/" + destination;
    }
    return path;
}

// Cuts text to at most limit bytes without splitting a UTF-8 sequence.
std::string cutAtCharacter(const std::string& text, std::size_t limit) {
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace

AtomicFile::AtomicFile(std::string targetPath) : target(followLinks(std::move(targetPath))) {}

AtomicFile::~AtomicFile() {
    discard();
}

std::string AtomicFile::temporaryNameFor(const std::string& target, const std::string& suffix) {
    const std::string tail = "." + suffix + ".part";
    return "." + cutAtCharacter(nameOf(target), maxNameBytes - 1 - tail.size()) + tail;
}

bool AtomicFile::open() {
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        error = "a folder of that name exists";
        return false;
    }
    if (openTemporary(info.st_mode & 07777, exists))
        return true;
    // A folder where no new file may be made can still hold a writable file of that name:
    // it is then rewritten in place, as other converters do, and a failure part way leaves
    // it incomplete, which the temporary name otherwise prevents.
    const bool folderRefused = errno == EACCES || errno == EPERM || errno == EROFS;
    if (exists && folderRefused && ::access(target.c_str(), W_OK) == 0)
        return openInPlace();
    return false;
}

bool AtomicFile::rewrite() {
    return openInPlace();
}

std::string AtomicFile::reserve() {
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        error = "a folder of that name exists";
        return {};
    }
    if (!openTemporary(info.st_mode & 07777, exists))
        return {};
    std::fclose(file);
    file = nullptr;
    return std::exchange(temporary, {});
}

bool AtomicFile::publish(const std::string& temporary, const std::string& target, std::string& error) {
    if (std::rename(temporary.c_str(), followLinks(target).c_str()) == 0)
        return true;
    error = systemError(errno);
    ::unlink(temporary.c_str());
    return false;
}

bool AtomicFile::openTemporary(mode_t keptMode, bool keepMode) {
    const std::string folder = folderOf(target) + "/";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + temporaryNameFor(target, randomSuffix());
        // 0666 so a new file gets the user's usual permissions through the umask.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd >= 0 && keepMode)
            ::fchmod(fd, keptMode);
        if (fd < 0 || !(file = ::fdopen(fd, "wb"))) {
            const int code = errno;
            error = systemError(code);
            if (fd >= 0) {
                ::close(fd);
                ::unlink(temporary.c_str());
            }
            temporary.clear();
            errno = code;
            return false;
        }
        // Text arrives a word at a time; a roomy buffer saves system calls.
        std::setvbuf(file, nullptr, _IOFBF, 256 * 1024);
        return true;
    }
    error = "no free temporary name";
    temporary.clear();
    errno = EEXIST;
    return false;
}

bool AtomicFile::openInPlace() {
    file = std::fopen(target.c_str(), "wbe");
    if (!file) {
        error = systemError(errno);
        return false;
    }
    inPlace = true;
    error.clear();
    std::setvbuf(file, nullptr, _IOFBF, 256 * 1024);
    return true;
}

void AtomicFile::write(const char* data, std::size_t length) {
    if (file && length > 0)
        std::fwrite(data, 1, length, file);
}

bool AtomicFile::commit() {
    if (!file)
        return false;
    const bool written = std::ferror(file) == 0 && std::fflush(file) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    const int closeError = errno;
    file = nullptr;
    if (!written || !closed) {
        error = systemError(written ? closeError : writeError);
        discard();
        return false;
    }
    if (!inPlace && std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = systemError(errno);
        discard();
        return false;
    }
    temporary.clear();
    return true;
}

void AtomicFile::discard() {
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
}

} // namespace platform
