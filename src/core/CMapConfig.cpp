#include "core/CMapConfig.h"

#include "CMapConfigTemplate.h"
#include "platform/AtomicFile.h"
#include "platform/FileContents.h"

#include <algorithm>

namespace {

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

const std::array<TextEncoding, 18>& CMapConfig::encodings() {
    static const std::array<TextEncoding, 18> table{{
        {"Latin1", "Latin1"},
        {"Latin2", "Latin2"},
        {"UTF-8", "UTF-8"},
        {"ASCII", "ASCII"},
        {"ISO-2022-CN (Simplified Chinese)", "ISO-2022-CN"},
        {"EUC-CN (Simplified Chinese)", "EUC-CN"},
        {"GBK (Simplified Chinese)", "GBK"},
        {"Big5 (Traditional Chinese)", "Big5"},
        {"KOI8-R (Cyrillic)", "KOI8-R"},
        {"ISO-8859-7 (Greek)", "ISO-8859-7"},
        {"ISO-8859-9 (Turkish)", "ISO-8859-9"},
        {"ISO-2022-JP (Japanese)", "ISO-2022-JP"},
        {"EUC-JP (Japanese)", "EUC-JP"},
        {"Shift-JIS (Japanese)", "Shift-JIS"},
        {"KSX1001 (Korean)", "KSX1001"},
        {"TIS-620 (Thai)", "TIS-620"},
        {"ISO-8859-8 (Hebrew)", "ISO-8859-8"},
        {"Windows-1255 (Hebrew)", "Windows-1255"},
    }};
    return table;
}

std::string CMapConfig::encodingName(int textEncoding) {
    const auto& table = encodings();
    if (textEncoding < 0 || textEncoding >= static_cast<int>(table.size()))
        textEncoding = 0;
    return table[static_cast<std::size_t>(textEncoding)].engineName;
}

int CMapConfig::encodingIndex(const std::string& engineName) {
    const auto& table = encodings();
    const auto found = std::find_if(table.begin(), table.end(), [&](const TextEncoding& encoding) {
        return engineName == encoding.engineName;
    });
    return found == table.end() ? -1 : static_cast<int>(found - table.begin());
}

const char* CMapConfig::endOfLineName(int endOfLine) {
    switch (endOfLine) {
    case 1:
        return "unix";
    case 2:
        return "mac";
    default:
        return "dos";
    }
}

std::string CMapConfig::text(const std::string& programDir) {
    std::string lines(cmapConfigTemplate);
    std::replace(lines.begin(), lines.end(), '\\', '/');
    replaceAll(lines, "\n", "\r\n");
    replaceAll(lines, "%s", programDir);
    return lines;
}

void CMapConfig::write(const std::string& configPath, const std::string& programDir) {
    const std::string contents = text(programDir);
    // An identical file is left alone: same bytes, and no file replaced at every start.
    std::string existing;
    if (platform::FileContents::read(configPath, existing) && existing == contents)
        return;
    platform::AtomicFile file(configPath);
    if (file.open().ok()) {
        file.write(contents);
        // Left unwritten, a conversion reads the file that was there or falls back to another.
        static_cast<void>(file.commit());
    }
}
