#include "core/OcrLanguages.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>

namespace {

constexpr const char* installedFolder = "/usr/share/tesseract-ocr/5/tessdata/";
constexpr std::string_view dataSuffix = ".traineddata";

bool plainName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-';
    });
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isInstalled(const std::string& name) {
    return isRegularFile(OcrLanguages::dataFolder() + name + std::string(dataSuffix));
}

} // namespace

namespace OcrLanguages {

std::string chosen(const std::string& choice) {
    return choice.empty() ? defaultChoice : choice;
}

std::string dataFolder() {
    const char* prefix = std::getenv("TESSDATA_PREFIX");
    if (!prefix || !*prefix)
        return installedFolder;
    std::string folder = prefix;
    return folder.back() == '/' ? folder : folder + '/';
}

std::vector<std::string> installed() {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(dataFolder().c_str()), ::closedir);
    if (!folder)
        return names;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string file = entry->d_name;
        if (!file.ends_with(dataSuffix))
            continue;
        const std::string name = file.substr(0, file.size() - dataSuffix.size());
        if (name != "osd" && plainName(name) && isInstalled(name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool recognizerInstalled(const std::string& programDir) {
    return isRegularFile(programDir + recognizerModule);
}

std::vector<std::string> names(const std::string& choice) {
    const std::string& named = choice.empty() ? std::string(defaultChoice) : choice;
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= named.size()) {
        const std::size_t plus = std::min(named.find('+', start), named.size());
        result.push_back(named.substr(start, plus - start));
        start = plus + 1;
    }
    return result;
}

std::vector<std::string> missing(const std::string& choice) {
    std::vector<std::string> absent;
    for (const std::string& name : names(choice)) {
        if (!plainName(name) || !isInstalled(name))
            absent.push_back(name);
    }
    return absent;
}

std::string missingMessage(const std::string& choice, const std::vector<std::string>& missingNames) {
    std::string names;
    for (const std::string& name : missingNames)
        names +=
            (names.empty() ? "" : ", ") + (name.empty() ? std::string("an empty name") : "'" + name + "'");
    return "No text recognition data is installed for the OCR Languages '" + choice + "' (" + names +
           "), so scanned pages are not read. Install it (for English the tesseract-ocr-eng package), or "
           "choose other OCR Languages.";
}

} // namespace OcrLanguages
