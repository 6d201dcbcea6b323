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
constexpr int suffixLength = 8;
constexpr std::size_t streamBuffer = 256 * 1024;
const char* const replacedByAnother = "its temporary file was replaced by another program";

Failure systemError(int code) {
    return {std::strerror(code)};
}

// A failure that leaves errno at code, for open() to tell a closed folder from other refusals.
Status failWith(Failure failure, int code) {
    Status status = std::move(failure);
    errno = code;
    return status;
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

// Whether name in the folder still holds the file open at fd. Another user who may write the
// folder can rename our temporary away and put a file or link of theirs in its place: that is
// neither published nor removed.
bool holds(int folderFd, const std::string& name, int fd) {
    struct stat named {};
    struct stat held {};
    return ::fstatat(folderFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &held) == 0 &&
           named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

void removeIfHeld(int folderFd, const std::string& name, int fd) {
    if (holds(folderFd, name, fd))
        ::unlinkat(folderFd, name.c_str(), 0);
}

// Only a plain file of this user's passes on its permissions, and never the set-user-id,
// set-group-id or sticky bit: a file another user planted under the output's name must not
// decide who may read or run what we write.
void keepPermissionsOf(const struct stat& existing, int fd) {
    if (S_ISREG(existing.st_mode) && existing.st_uid == ::geteuid())
        ::fchmod(fd, existing.st_mode & 0777);
}

// A file system that cannot sync a file (some network and FUSE ones) still wrote it.
bool syncRefusedHarmlessly(int code) {
    return code == EINVAL || code == ENOTSUP || code == EROFS;
}

// Gives the unnamed file its name in the folder; the descriptor comes back (and unnamed is
// emptied) when it worked, else nothing with errno set (EEXIST: the name is taken).
UniqueFd nameUnnamed(UniqueFd& unnamed, int folder, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(unnamed.get());
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return UniqueFd();
    return std::move(unnamed);
}

} // namespace

void AtomicFile::Reservation::drop() {
    if (valid() && folder && !name.empty())
        removeIfHeld(folder->fd(), name, descriptor.get());
    folder.reset();
    name.clear();
    descriptor.reset();
}

AtomicFile::AtomicFile(std::string targetPath) : target(std::move(targetPath)) {}

AtomicFile::~AtomicFile() {
    discard();
}

std::string AtomicFile::temporaryNameFor(const std::string& target, const std::string& suffix) {
    const std::string tail = "." + suffix + ".part";
    return "." + cutAtCharacter(nameOf(target), maxNameBytes - 1 - tail.size()) + tail;
}

Status AtomicFile::locate() {
    if (folder)
        return {};
    HeldFolder found = HeldFolder::ofFile(target, name);
    if (!found.valid())
        return Failure{found.error()};
    folder = std::make_shared<const HeldFolder>(std::move(found));
    return {};
}

Status AtomicFile::open() {
    if (Status located = locate(); !located.ok())
        return located;
    Status created = createTemporary();
    if (created.ok())
        return startWriting(temporaryFd.get(), Mode::Temporary);
    // A folder where no new file may be made can still hold a writable file of that name:
    // it is then rewritten in place, as other converters do, and a failure part way leaves
    // it incomplete, which the temporary name otherwise prevents.
    const bool folderRefused = errno == EACCES || errno == EPERM || errno == EROFS;
    struct stat info {};
    if (folderRefused && ::fstatat(folder->fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && ::faccessat(folder->fd(), name.c_str(), W_OK, 0) == 0)
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
    if (Status located = locate(); !located.ok())
        return Failure{located.error()};
    Status created = createTemporary();
    if (!created.ok())
        return Failure{created.error()};
    return Reservation{folder, std::exchange(temporary, {}), std::move(temporaryFd)};
}

Status AtomicFile::publish(Reservation& reservation) {
    Status renamed = locate();
    if (renamed.ok())
        renamed = renameOverTarget(reservation.name, reservation.descriptor.get());
    if (renamed.ok())
        reservation.name.clear();
    reservation.drop();
    return renamed;
}

Status AtomicFile::extend(Reservation& reservation) {
    if (Status located = locate(); !located.ok())
        return located;
    if (::lseek(reservation.descriptor.get(), 0, SEEK_END) < 0)
        return systemError(errno);
    temporary = std::exchange(reservation.name, {});
    temporaryFd = std::move(reservation.descriptor);
    reservation.folder.reset();
    return startWriting(temporaryFd.get(), Mode::Temporary);
}

Status AtomicFile::createTemporary() {
    const int at = folder->fd();
    struct stat info {};
    const bool exists = ::fstatat(at, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(info.st_mode))
        return failWith({"a folder of that name exists"}, EISDIR);
    // A device or pipe at the target (our own link to /dev/null, say) is never renamed over.
    if (exists && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
        return failWith({"it is not a plain file"}, EINVAL);
    const std::string sample = temporaryNameFor(name, std::string(suffixLength, '0'));
    const std::size_t suffixAndTail = suffixLength + std::strlen(".part");
    StaleTemporaries::sweep(at, folder->path(), sample.substr(0, sample.size() - suffixAndTail),
                            sample.size());
    // The file is made without a name and locked before it gets one, so another run sweeping
    // the folder never takes a live temporary for a dead run's leftover. A file system that
    // makes no unnamed files gets the file named at once and locked right after.
    // 0666 so a new file gets the user's usual permissions through the umask.
    UniqueFd unnamed(::openat(at, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
    if (unnamed.valid() && exists)
        keepPermissionsOf(info, unnamed.get());
    if (unnamed.valid())
        ::flock(unnamed.get(), LOCK_EX | LOCK_NB);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryNameFor(name, randomSuffix());
        UniqueFd fd = unnamed.valid()
                          ? nameUnnamed(unnamed, at, temporary)
                          : UniqueFd(::openat(at, temporary.c_str(),
                                              O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!fd.valid() && errno == EEXIST)
            continue;
        if (!fd.valid() && unnamed.valid()) {
            // No /proc to name it through: the file is made by name instead.
            unnamed.reset();
            continue;
        }
        if (!fd.valid()) {
            const int code = errno;
            temporary.clear();
            return failWith(systemError(code), code);
        }
        if (!unnamed.valid() && exists)
            keepPermissionsOf(info, fd.get());
        ::flock(fd.get(), LOCK_EX | LOCK_NB);
        temporaryFd = std::move(fd);
        return {};
    }
    temporary.clear();
    return failWith({"no free temporary name"}, EEXIST);
}

Status AtomicFile::openInPlace() {
    UniqueFd fd(::openat(folder->fd(), name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
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
    Status done = code != 0 ? systemError(code) : Status{};
    if (done.ok() && mode == Mode::Temporary)
        done = renameOverTarget(temporary, temporaryFd.get());
    if (!done.ok()) {
        discard();
        return done;
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
    if (!temporary.empty() && folder)
        removeIfHeld(folder->fd(), temporary, temporaryFd.get());
    temporary.clear();
    temporaryFd.reset();
}

Status AtomicFile::renameOverTarget(const std::string& temporaryName, int written) {
    const int at = folder->fd();
    if (!holds(at, temporaryName, written))
        return Failure{replacedByAnother};
    if (::renameat(at, temporaryName.c_str(), at, name.c_str()) != 0)
        return systemError(errno);
    return {};
}

} // namespace platform
