#include "convert/CMapConfig.h"

#include "CMapConfigTemplate.h"

#include <QFile>
#include <QSaveFile>

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

QString CMapConfig::encodingName(int textEncoding) {
    const auto& table = encodings();
    if (textEncoding < 0 || textEncoding >= static_cast<int>(table.size()))
        textEncoding = 0;
    return QLatin1String(table[static_cast<std::size_t>(textEncoding)].engineName);
}

int CMapConfig::encodingIndex(const QString& engineName) {
    const auto& table = encodings();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (engineName == QLatin1String(table[i].engineName))
            return static_cast<int>(i);
    }
    return -1;
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

QByteArray CMapConfig::text(const QString& programDir) {
    QByteArray lines(cmapConfigTemplate);
    lines.replace('\\', '/');
    lines.replace("%s", QFile::encodeName(programDir));
    lines.replace("\n", "\r\n");
    return lines;
}

void CMapConfig::write(const QString& configPath, const QString& programDir) {
    const QByteArray contents = text(programDir);
    // An identical file is left alone: same bytes, and no disk flush at every start.
    QFile existing(configPath);
    if (existing.open(QIODevice::ReadOnly) && existing.size() == contents.size() &&
        existing.readAll() == contents)
        return;
    QSaveFile file(configPath);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(contents);
        file.commit();
    }
}
