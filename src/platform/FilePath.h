#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace platform {

// Splits one path into drive, directory, title and extension and answers the questions the
// job list, the conversion and the summary ask about the file. A value object: build it for
// one file and drop it. Paths are host paths ('/' separates folders, there is no drive letter,
// folders keep their trailing '/') held as the file system's bytes.
class CFilePath {
public:
    enum TimeKind { CreationTime = 0, LastAccessTime = 1, LastWriteTime = 2 };

    // Surrounding double quotes are removed first. With treatAsDirectory the whole name is a
    // folder: the directory ends in '/' and title and extension stay empty.
    explicit CFilePath(const std::string& path, bool treatAsDirectory = false);

    const std::string& originalPath() const { return original; }
    const std::string& drive() const { return drivePart; } // always empty on Linux
    const std::string& directory() const { return directoryPart; }
    const std::string& title() const { return titlePart; }
    const std::string& extension() const { return extensionPart; } // without the dot
    bool isRelative() const { return relative; }

    std::string fileName() const;         // title plus "." and extension when there is one
    std::string extensionWithDot() const; // "." and extension, or empty
    std::string folder() const;           // drive plus directory
    std::string fullPath() const;         // folder plus file name
    std::string longPath() const;         // canonical absolute form when the file exists, else fullPath()

    // -1: the whole directory; 0 .. count - 1: one folder name; anything else: empty.
    std::string directoryComponent(int index) const;
    int directoryComponentCount() const;

    // Size in bytes. False (and 0) when the file cannot be opened for reading.
    bool size(std::uint64_t& bytes) const;
    // Seconds since the epoch (format with the local time zone). CreationTime: birth time where
    // the file system records one, else last modification; LastWriteTime: last modification;
    // any other value: last access. False (and 0) when the file cannot be opened for reading.
    bool time(int which, std::time_t& result) const;

private:
    const std::vector<std::string>& components() const;

    std::string original;
    std::string drivePart;
    std::string directoryPart;
    std::string titlePart;
    std::string extensionPart;
    bool relative = false;
    mutable std::vector<std::string> componentCache;
    mutable bool componentsSplit = false;
};

// Text with its ASCII letters in lower case, for comparing extensions and names without case.
std::string lowerAscii(std::string text);

} // namespace platform
