#include "ui/WindowState.h"

#include "platform/AtomicFile.h"
#include "platform/ProfileFile.h"
#include "platform/SystemFolders.h"

#include <algorithm>
#include <charconv>
#include <climits>

using platform::ProfileFile;

namespace {

const char* const WINDOW_SECTION = "Window";
const char* const FOLDERS_SECTION = "Folders";
const char* const KNOWN_DIALOGS[] = {WindowState::OPEN_FILES_DIALOG, WindowState::IMPORT_FOLDER_DIALOG,
                                     WindowState::OUTPUT_FOLDER_DIALOG};

// Far beyond any screen, near enough to zero that no sum of them overflows.
constexpr int COORDINATE_LIMIT = 100000;
constexpr int WIDTH_LIMIT = 10000;
constexpr std::size_t LIST_LIMIT = 64;

struct Bounds {
    int least;
    int most;
};

// The whole text as one decimal integer within bounds, else nothing ("12px" is no width).
std::optional<int> strictInt(const std::string& text, Bounds bounds) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < bounds.least || value > bounds.most)
        return std::nullopt;
    return value;
}

std::optional<int> readInt(const std::string& path, const char* key, Bounds bounds) {
    return strictInt(ProfileFile::readString(path, WINDOW_SECTION, key), bounds);
}

// A comma-separated list; one bad entry spoils the list, as its entries belong together.
std::vector<int> readList(const std::string& path, const char* key, Bounds bounds) {
    const std::string text = ProfileFile::readString(path, WINDOW_SECTION, key);
    std::vector<int> values;
    std::size_t start = 0;
    while (!text.empty() && values.size() < LIST_LIMIT) {
        const std::size_t comma = text.find(',', start);
        const std::optional<int> value = strictInt(text.substr(start, comma - start), bounds);
        if (!value)
            return {};
        values.push_back(*value);
        if (comma == std::string::npos)
            return values;
        start = comma + 1;
    }
    return {};
}

std::string listText(const std::vector<int>& values) {
    std::string text;
    for (const int value : values)
        text += (text.empty() ? "" : ",") + std::to_string(value);
    return text;
}

// An absolute folder on one line: a name with a line break in it could forge the lines after it.
bool isStorableFolder(const std::string& folder) {
    return folder.size() > 1 && folder.size() < PATH_MAX && folder.front() == '/' && folder.back() == '/' &&
           std::none_of(folder.begin(), folder.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte < 0x20 || byte == 0x7f;
           });
}

std::optional<QRect> readGeometry(const std::string& path) {
    const Bounds coordinate{-COORDINATE_LIMIT, COORDINATE_LIMIT};
    const Bounds extent{1, COORDINATE_LIMIT};
    const std::optional<int> x = readInt(path, "X", coordinate);
    const std::optional<int> y = readInt(path, "Y", coordinate);
    const std::optional<int> width = readInt(path, "Width", extent);
    const std::optional<int> height = readInt(path, "Height", extent);
    if (!x || !y || !width || !height)
        return std::nullopt;
    return QRect(*x, *y, *width, *height);
}

} // namespace

std::string WindowState::defaultPath() {
    const std::string stateDir = platform::SystemFolders::userStateDir();
    return stateDir.empty() ? std::string() : stateDir + "folverin/state.ini";
}

WindowState WindowState::load(const std::string& path) {
    WindowState state;
    if (path.empty())
        return state;
    state.geometry = readGeometry(path);
    state.maximized = readInt(path, "Maximized", {0, 1}).value_or(0) == 1;
    state.splitterSizes = readList(path, "Splitter", {0, COORDINATE_LIMIT});
    state.columnWidths = readList(path, "Columns", {0, WIDTH_LIMIT});
    for (const char* dialog : KNOWN_DIALOGS) {
        const std::string folder = ProfileFile::readString(path, FOLDERS_SECTION, dialog);
        if (isStorableFolder(folder))
            state.folders[dialog] = folder;
    }
    return state;
}

bool WindowState::save(const std::string& path) const {
    const std::size_t slash = path.rfind('/');
    if (path.empty() ||
        (slash != std::string::npos && !platform::SystemFolders::makePrivatePath(path.substr(0, slash))))
        return false;
    std::string text = std::string("[") + WINDOW_SECTION + "]\n";
    if (geometry) {
        text += "X=" + std::to_string(geometry->x()) + "\nY=" + std::to_string(geometry->y()) +
                "\nWidth=" + std::to_string(geometry->width()) +
                "\nHeight=" + std::to_string(geometry->height()) + "\n";
    }
    text += "Maximized=" + std::string(maximized ? "1" : "0") + "\n";
    text += "Splitter=" + listText(splitterSizes) + "\nColumns=" + listText(columnWidths) + "\n";
    text += std::string("[") + FOLDERS_SECTION + "]\n";
    for (const char* dialog : KNOWN_DIALOGS) {
        const auto kept = folders.find(dialog);
        if (kept != folders.end() && isStorableFolder(kept->second))
            text += std::string(dialog) + "=" + kept->second + "\n";
    }
    platform::AtomicFile file(path);
    if (!file.open().ok())
        return false;
    file.write(text);
    return file.commit().ok();
}
