#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/FileContents.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

using Lines = std::vector<std::string>;

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool sameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

Lines readLines(const std::string& path) {
    Lines lines;
    std::string text;
    if (!FileContents::read(path, text))
        return lines;
    // Editors on other systems start a UTF-8 file with a byte-order mark; it is no part of
    // the first line.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Only a missing file or a writable plain file that could be read whole is written: a file the
// user made read-only keeps its contents (writing fails quietly, as it would in place, rather
// than replacing it through a rename), and one that could not be read is never replaced by
// the one key being written. Nor is a device or pipe put in its place.
bool mayBeRewritten(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    std::string contents;
    return S_ISREG(info.st_mode) && (info.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0 &&
           FileContents::read(path, contents);
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string> sectionName(const std::string& line) {
    const std::string text = trimmed(line);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    const std::size_t close = text.find(']');
    return trimmed(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// Lines (header, end) of a section: its keys lie between them; header is npos when missing.
struct SectionRange {
    std::size_t header = std::string::npos;
    std::size_t end = 0;
};

SectionRange findSection(const Lines& lines, const std::string& section) {
    SectionRange range;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::optional<std::string> name = sectionName(lines[i]);
        if (!name)
            continue;
        if (range.header != std::string::npos) {
            range.end = i;
            return range;
        }
        if (sameName(*name, section))
            range.header = i;
    }
    range.end = lines.size();
    return range;
}

std::optional<std::size_t> findKey(const Lines& lines, const SectionRange& range, const std::string& key) {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const std::string& line = lines[i];
        if (trimmed(line).starts_with(';'))
            continue;
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && sameName(trimmed(line.substr(0, equals)), key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> findValue(const std::string& path, const std::string& section,
                                     const std::string& key) {
    const Lines lines = readLines(path);
    const SectionRange range = findSection(lines, section);
    if (range.header == std::string::npos)
        return std::nullopt;
    const std::optional<std::size_t> keyLine = findKey(lines, range, key);
    if (!keyLine)
        return std::nullopt;
    const std::string& line = lines[*keyLine];
    return trimmed(line.substr(line.find('=') + 1));
}

int leadingInteger(const std::string& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+'))
        negative = value[i++] == '-';
    // Windows wraps around on overflow; unsigned arithmetic does the same without UB.
    unsigned int result = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        result = result * 10u + static_cast<unsigned int>(value[i] - '0');
    return static_cast<int>(negative ? 0u - result : result);
}

} // namespace

int ProfileFile::readInt(const std::string& path, const std::string& section, const std::string& key,
                         int defaultValue) {
    const std::optional<std::string> value = findValue(path, section, key);
    return value ? leadingInteger(*value) : defaultValue;
}

std::string ProfileFile::readString(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& defaultValue) {
    return findValue(path, section, key).value_or(defaultValue);
}

bool ProfileFile::writeString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& value) {
    Lines lines = readLines(path);
    const std::string keyLine = key + '=' + value;
    const SectionRange range = findSection(lines, section);
    if (range.header == std::string::npos) {
        lines.push_back('[' + section + ']');
        lines.push_back(keyLine);
    } else if (const std::optional<std::size_t> existing = findKey(lines, range, key)) {
        lines[*existing] = keyLine;
    } else {
        // After the section's last non-blank line, so a blank separator line stays in place.
        std::size_t insertAt = range.end;
        while (insertAt > range.header + 1 && trimmed(lines[insertAt - 1]).empty())
            --insertAt;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
    }

    if (!mayBeRewritten(path))
        return false;
    AtomicFile file(path);
    if (!file.open().ok())
        return false;
    for (const std::string& line : lines)
        file.write(line + "\r\n");
    return file.commit().ok();
}

} // namespace platform
