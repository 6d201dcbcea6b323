#include "ui/TipsFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

TipsFile::TipsFile(const std::string& path) : file(std::fopen(path.c_str(), "r")) {}

bool TipsFile::seek(long long offset) {
    return isOpen() && fseeko(file.get(), off_t(offset), SEEK_SET) == 0;
}

long long TipsFile::position() const {
    return isOpen() ? static_cast<long long>(ftello(file.get())) : -1;
}

// Wraps to the first tip after the last; a file without a single tip gives up after one whole
// pass instead of searching for ever.
TipsFile::Next TipsFile::nextTip() {
    if (!isOpen())
        return {};
    int endsReached = 0;
    for (std::string line;;) {
        if (!readLine(line)) {
            if (++endsReached == 2)
                return {Outcome::NoTip, {}};
            std::clearerr(file.get());
            if (!seek(0))
                return {Outcome::RewindFailed, {}};
            continue;
        }
        if (!isComment(line))
            return {Outcome::Tip, line};
    }
}

bool TipsFile::readLine(std::string& line) {
    char buffer[MAX_READ + 1];
    if (!std::fgets(buffer, sizeof buffer, file.get()))
        return false;
    line = buffer;
    // Files written on Windows: their blank lines are comments, their tips end in LF alone.
    if (line.ends_with("\r\n"))
        line.erase(line.size() - 2, 1);
    return true;
}

bool TipsFile::isComment(const std::string& line) {
    return line.empty() || line.front() == ' ' || line.front() == '\t' || line.front() == '\n' ||
           line.front() == ';';
}

std::string TipsFile::modificationStamp() const {
    struct stat status {};
    std::tm local{};
    if (!isOpen() || fstat(fileno(file.get()), &status) != 0 || !localtime_r(&status.st_mtime, &local))
        return {};
    // The names are fixed English ones whatever the user's language, so a stored stamp keeps
    // matching after a change of locale.
    static constexpr const char* weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", weekdays[local.tm_wday],
                  months[local.tm_mon], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  local.tm_year + 1900);
    return text;
}
