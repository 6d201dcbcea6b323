#include "core/PdfFinder.h"

#include "platform/FilePath.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

using FolderId = std::pair<dev_t, ino_t>;

// Names equal but for case keep one order between runs by their bytes.
bool byName(const fs::path& a, const fs::path& b) {
    const std::string nameA = a.filename().string();
    const std::string nameB = b.filename().string();
    const std::string lowerA = platform::lowerAscii(nameA);
    const std::string lowerB = platform::lowerAscii(nameB);
    return lowerA != lowerB ? lowerA < lowerB : nameA < nameB;
}

// The extension from the last dot: a name that is only ".pdf" has it too.
bool isPdfName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && platform::lowerAscii(name.substr(dot)) == ".pdf";
}

void scan(const fs::path& folder, std::set<FolderId>& visited, std::vector<std::string>& found) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        !visited.insert({info.st_dev, info.st_ino}).second)
        return;
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end(), byName);
    for (const fs::path& entry : entries) {
        std::error_code typeError;
        if (fs::is_directory(entry, typeError))
            scan(entry, visited, found);
        else if (fs::is_regular_file(entry, typeError) && isPdfName(entry.filename().string()))
            found.push_back(entry.string());
    }
}

} // namespace

std::vector<std::string> PdfFinder::find(const std::string& folder) {
    std::set<FolderId> visited;
    std::vector<std::string> found;
    scan(folder, visited, found);
    return found;
}
