#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

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

} // namespace

AtomicFile::AtomicFile(std::string targetPath) : target(std::move(targetPath)) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::open() {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = "a folder of that name exists";
        return false;
    }
    const std::string base = folderOf(target) + "/." + nameOf(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = base + randomSuffix() + ".part";
        // 0666 so the finished file gets the user's usual permissions through the umask.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0 || !(file = ::fdopen(fd, "wb"))) {
            error = systemError(errno);
            if (fd >= 0)
                ::close(fd);
            temporary.clear();
            return false;
        }
        // Text arrives a word at a time; a roomy buffer saves system calls.
        std::setvbuf(file, nullptr, _IOFBF, 256 * 1024);
        return true;
    }
    error = "no free temporary name";
    temporary.clear();
    return false;
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
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
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
