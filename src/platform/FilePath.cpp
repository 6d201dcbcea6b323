#include "platform/FilePath.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string unquoted(const std::string& path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        return path.substr(1, path.size() - 2);
    return path;
}

// The system calls read a path up to its first NUL byte: a path holding one would name
// another file than the one asked about, so such a path names no file at all.
bool usableForSystem(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

// What the system knows about an opened file; zero until read.
struct FileFacts {
    std::uint64_t size = 0;
    std::time_t birth = 0;
    bool hasBirth = false;
    std::time_t write = 0;
    std::time_t access = 0;
};

// Opens the file for reading the way the job list needs it: only existing, readable, non-folder
// files count. O_NONBLOCK keeps a named pipe from hanging the open.
bool readFacts(const std::string& path, FileFacts& facts) {
    if (!usableForSystem(path))
        return false;
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct statx info = {};
    const int rc = ::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info);
    ::close(fd);
    if (rc != 0 || S_ISDIR(info.stx_mode))
        return false;
    facts.size = info.stx_size;
    facts.hasBirth = (info.stx_mask & STATX_BTIME) != 0;
    facts.birth = static_cast<std::time_t>(info.stx_btime.tv_sec);
    facts.write = static_cast<std::time_t>(info.stx_mtime.tv_sec);
    facts.access = static_cast<std::time_t>(info.stx_atime.tv_sec);
    return true;
}

bool endsWithSlash(const std::string& text) {
    return !text.empty() && text.back() == '/';
}

} // namespace

CFilePath::CFilePath(const std::string& path, bool treatAsDirectory) : original(path) {
    const std::string text = unquoted(path);
    if (text.empty())
        return;

    // Byte-wise search is safe for UTF-8: '/' and '.' never occur inside a multi-byte sequence.
    const std::size_t slash = text.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    directoryPart = text.substr(0, nameStart);
    const std::string name = text.substr(nameStart);

    // The extension starts at the last dot of the name. A dot in first place marks a hidden
    // file and a dot in last place is part of the name on Linux: splitting there would drop
    // characters from the name and make fullPath() name another file.
    std::string splitTitle = name;
    std::string splitExtension;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        splitTitle = name.substr(0, dot);
        splitExtension = name.substr(dot);
    }

    relative = !directoryPart.empty() && directoryPart.front() != '/';

    if (treatAsDirectory) {
        if (!directoryPart.empty() && !endsWithSlash(directoryPart))
            directoryPart += '/';
        directoryPart += name;
        if (!endsWithSlash(directoryPart))
            directoryPart += '/';
        relative = directoryPart.front() != '/';
        return;
    }
    titlePart = splitTitle;
    if (!titlePart.empty()) {
        for (const char c : splitExtension)
            if (c != '.')
                extensionPart += c;
    }
}

std::string CFilePath::fileName() const {
    if (extensionPart.empty())
        return titlePart;
    return titlePart + '.' + extensionPart;
}

std::string CFilePath::extensionWithDot() const {
    return extensionPart.empty() ? std::string() : '.' + extensionPart;
}

std::string CFilePath::folder() const {
    return drivePart + directoryPart;
}

std::string CFilePath::fullPath() const {
    return folder() + fileName();
}

std::string CFilePath::longPath() const {
    const std::string full = fullPath();
    if (!usableForSystem(full))
        return full;
    // realpath allocates a buffer of the right length, so no path is cut at a fixed size.
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(full.c_str(), nullptr), &std::free);
    if (!resolved)
        return full;
    std::string canonical(resolved.get());
    if (endsWithSlash(full) && !endsWithSlash(canonical))
        canonical += '/';
    return canonical;
}

const std::vector<std::string>& CFilePath::components() const {
    if (!componentsSplit) {
        // Repeated separators name no folder ("a//b" is "a/b"), so empty pieces are skipped.
        std::size_t start = 0;
        while (start < directoryPart.size()) {
            std::size_t end = directoryPart.find('/', start);
            if (end == std::string::npos)
                end = directoryPart.size();
            if (end > start)
                componentCache.push_back(directoryPart.substr(start, end - start));
            start = end + 1;
        }
        componentsSplit = true;
    }
    return componentCache;
}

std::string CFilePath::directoryComponent(int index) const {
    if (index == -1)
        return directoryPart;
    const std::vector<std::string>& parts = components();
    if (index < 0 || static_cast<std::size_t>(index) >= parts.size())
        return std::string();
    return parts[static_cast<std::size_t>(index)];
}

int CFilePath::directoryComponentCount() const {
    return static_cast<int>(components().size());
}

bool CFilePath::size(std::uint64_t& bytes) const {
    FileFacts facts;
    const bool ok = readFacts(fullPath(), facts);
    bytes = facts.size;
    return ok;
}

bool CFilePath::time(int which, std::time_t& result) const {
    FileFacts facts;
    if (!readFacts(fullPath(), facts)) {
        result = 0;
        return false;
    }
    result = facts.access;
    if (which == CreationTime)
        result = facts.hasBirth ? facts.birth : facts.write;
    else if (which == LastWriteTime)
        result = facts.write;
    return true;
}

std::string lowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace platform
