#include "platform/AtomicFile.h"

#include "platform/StaleTemporaries.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// Longest name of one folder entry on the file systems we write to.
constexpr std::size_t maxNameBytes = NAME_MAX;
constexpr int maxLinkHops = 40;
constexpr int suffixLength = 8;
constexpr std::size_t streamBuffer = 256 * 1024;

Failure systemError(int code) {
    return {std::strerror(code)};
}

// A failure that leaves errno at code, for open() to tell a closed folder from other refusals.
Status failWith(Failure failure, int code) {
    Status status = std::move(failure);
    errno = code;
    return status;
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
    char buffer[suffixLength + 1];
    std::snprintf(buffer, sizeof buffer, "%08x", static_cast<unsigned>(generator()));
    return buffer;
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

bool sameFile(const struct stat& first, const struct stat& second) {
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A file system that cannot sync a file (some network and FUSE ones) still wrote it.
bool syncRefusedHarmlessly(int code) {
    return code == EINVAL || code == ENOTSUP || code == EROFS;
}

} // namespace

void AtomicFile::Reservation::drop() {
    if (valid() && !path.empty())
        ::unlink(path.c_str());
    path.clear();
    descriptor.reset();
}

AtomicFile::AtomicFile(std::string targetPath) : target(targetOf(std::move(targetPath))) {}

AtomicFile::~AtomicFile() {
    discard();
}

std::string AtomicFile::temporaryNameFor(const std::string& target, const std::string& suffix) {
    const std::string tail = "." + suffix + ".part";
    return "." + cutAtCharacter(nameOf(target), maxNameBytes - 1 - tail.size()) + tail;
}

// Another user's link in a shared folder must not make us write where it points (their
// choice, our data); one of our own is where we keep the file, as a link to a synced folder.
std::string AtomicFile::targetOf(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode) || info.st_uid != ::geteuid())
            return current;
        std::string destination(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
        const ssize_t length = ::readlink(current.c_str(), destination.data(), destination.size());
        if (length <= 0)
            return current;
        destination.resize(static_cast<std::size_t>(length));
        current = destination.front() == '/' ? destination : folderOf(current) + "/" + destination;
    }
    return current;
}

Status AtomicFile::open() {
    Status created = createTemporary();
    if (created.ok())
        return startWriting(temporaryFd.get(), Mode::Temporary);
    // A folder where no new file may be made can still hold a writable file of that name:
    // it is then rewritten in place, as other converters do, and a failure part way leaves
    // it incomplete, which the temporary name otherwise prevents.
    const bool folderRefused = errno == EACCES || errno == EPERM || errno == EROFS;
    struct stat info {};
    if (folderRefused && ::lstat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::access(target.c_str(), W_OK) == 0)
        return openInPlace();
    return created;
}

Status AtomicFile::adopt(UniqueFd descriptor) {
    if (!descriptor.valid())
        return systemError(EBADF);
    if (::ftruncate(descriptor.get(), 0) != 0 || ::lseek(descriptor.get(), 0, SEEK_SET) != 0)
        return systemError(errno);
    temporaryFd = std::move(descriptor);
    return startWriting(temporaryFd.get(), Mode::Adopted);
}

Result<AtomicFile::Reservation> AtomicFile::reserve() {
    Status created = createTemporary();
    if (!created.ok())
        return Failure{created.error()};
    return Reservation{std::exchange(temporary, {}), std::move(temporaryFd)};
}

Status AtomicFile::publish(Reservation& reservation, const std::string& target) {
    struct stat named {};
    struct stat held {};
    // The name is only a name: what another user put there in our place is not published,
    // and not removed either.
    if (::lstat(reservation.path.c_str(), &named) != 0 || ::fstat(reservation.descriptor.get(), &held) != 0 ||
        !sameFile(named, held)) {
        reservation.path.clear();
        reservation.descriptor.reset();
        return Failure{"its temporary file was replaced by another program"};
    }
    if (std::rename(reservation.path.c_str(), targetOf(target).c_str()) != 0) {
        Status renamed = systemError(errno);
        reservation.drop();
        return renamed;
    }
    reservation.path.clear();
    reservation.descriptor.reset();
    return {};
}

Status AtomicFile::createTemporary() {
    struct stat info {};
    const bool exists = ::lstat(target.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        return failWith({"a folder of that name exists"}, EISDIR);
    // A device or pipe at the target (our own link to /dev/null, say) is never renamed over.
    if (exists && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
        return failWith({"it is not a plain file"}, EINVAL);
    const std::string folder = folderOf(target);
    const std::string sample = temporaryNameFor(target, std::string(suffixLength, '0'));
    const std::size_t suffixAndTail = suffixLength + std::strlen(".part");
    StaleTemporaries::sweep(folder, sample.substr(0, sample.size() - suffixAndTail), sample.size());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + "/" + temporaryNameFor(target, randomSuffix());
        // 0666 so a new file gets the user's usual permissions through the umask.
        UniqueFd fd(::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!fd.valid() && errno == EEXIST)
            continue;
        if (!fd.valid()) {
            const int code = errno;
            temporary.clear();
            return failWith(systemError(code), code);
        }
        if (exists && S_ISREG(info.st_mode))
            ::fchmod(fd.get(), info.st_mode & 07777);
        ::flock(fd.get(), LOCK_EX | LOCK_NB);
        temporaryFd = std::move(fd);
        return {};
    }
    temporary.clear();
    return failWith({"no free temporary name"}, EEXIST);
}

Status AtomicFile::openInPlace() {
    UniqueFd fd(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd.valid() && (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)))
        return Failure{"it is not a plain file"};
    if (!fd.valid() || ::ftruncate(fd.get(), 0) != 0)
        return systemError(errno);
    temporaryFd = std::move(fd);
    return startWriting(temporaryFd.get(), Mode::InPlace);
}

Status AtomicFile::startWriting(int fd, Mode writeMode) {
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    file = copy >= 0 ? ::fdopen(copy, "wb") : nullptr;
    if (!file) {
        const int code = errno;
        if (copy >= 0)
            ::close(copy);
        discard();
        return systemError(code);
    }
    mode = writeMode;
    writeError = 0;
    // Text arrives a word at a time; a roomy buffer saves system calls.
    std::setvbuf(file, nullptr, _IOFBF, streamBuffer);
    return {};
}

void AtomicFile::write(const char* data, std::size_t length) {
    if (file && length > 0 && std::fwrite(data, 1, length, file) != length && writeError == 0)
        writeError = errno != 0 ? errno : EIO;
}

Status AtomicFile::commit() {
    if (!file)
        return systemError(EBADF);
    int code = writeError;
    if (code == 0 && std::fflush(file) != 0)
        code = errno;
    if (code == 0 && ::fdatasync(::fileno(file)) != 0 && !syncRefusedHarmlessly(errno))
        code = errno;
    if (std::fclose(file) != 0 && code == 0)
        code = errno;
    file = nullptr;
    if (code == 0 && mode == Mode::Temporary && std::rename(temporary.c_str(), target.c_str()) != 0)
        code = errno;
    if (code != 0) {
        discard();
        return systemError(code);
    }
    temporary.clear();
    temporaryFd.reset();
    return {};
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
    temporaryFd.reset();
}

} // namespace platform
