#include "convert/PdfFinder.h"

#include "platform/FilePath.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

using FolderId = std::pair<dev_t, ino_t>;

bool byName(const fs::path& a, const fs::path& b) {
    return platform::lowerAscii(a.filename().string()) < platform::lowerAscii(b.filename().string());
}

void scan(const fs::path& folder, std::set<FolderId>& visited, std::vector<std::string>& found) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        !visited.insert({info.st_dev, info.st_ino}).second)
        return;
    std::vector<fs::path> files;
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            folders.push_back(it->path());
        else if (it->is_regular_file(typeError) &&
                 platform::lowerAscii(it->path().extension().string()) == ".pdf")
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(), byName);
    std::sort(folders.begin(), folders.end(), byName);
    for (const fs::path& file : files)
        found.push_back(file.string());
    for (const fs::path& subfolder : folders)
        scan(subfolder, visited, found);
}

} // namespace

std::vector<std::string> PdfFinder::find(const std::string& folder) {
    std::set<FolderId> visited;
    std::vector<std::string> found;
    scan(folder, visited, found);
    return found;
}
