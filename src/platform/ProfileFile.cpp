#include "platform/ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <optional>

namespace platform {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromLocal8Bit(file.readAll());
    text.replace(lineEnd, QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<QString> sectionName(const QString& line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    return (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Line index range [begin, end) of the keys of a section; begin is -1 when it is missing.
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionRange findSection(const QStringList& lines, const QString& section) {
    SectionRange range;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QString> name = sectionName(lines[i]);
        if (!name)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(*name, section))
            range.header = i;
    }
    range.end = lines.size();
    return range;
}

qsizetype findKey(const QStringList& lines, const SectionRange& range, const QString& key) {
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const QString& line = lines[i];
        if (line.trimmed().startsWith(QLatin1Char(';')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0 && sameName(line.left(equals).trimmed(), key))
            return i;
    }
    return -1;
}

std::optional<QString> findValue(const QString& path, const QString& section, const QString& key) {
    const QStringList lines = readLines(path);
    const SectionRange range = findSection(lines, section);
    if (range.header < 0)
        return std::nullopt;
    const qsizetype keyLine = findKey(lines, range, key);
    if (keyLine < 0)
        return std::nullopt;
    const QString& line = lines[keyLine];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int leadingInteger(const QString& value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == QLatin1Char('-') || value[i] == QLatin1Char('+')))
        negative = value[i++] == QLatin1Char('-');
    // Windows wraps around on overflow; the unsigned arithmetic does the same without UB.
    unsigned int result = 0;
    for (; i < value.size() && value[i].isDigit() && value[i].unicode() < 128; ++i)
        result = result * 10u + static_cast<unsigned int>(value[i].unicode() - '0');
    return static_cast<int>(negative ? 0u - result : result);
}

} // namespace

int ProfileFile::readInt(const QString& path, const QString& section, const QString& key, int defaultValue) {
    const std::optional<QString> value = findValue(path, section, key);
    return value ? leadingInteger(*value) : defaultValue;
}

QString ProfileFile::readString(const QString& path, const QString& section, const QString& key,
                                const QString& defaultValue) {
    return findValue(path, section, key).value_or(defaultValue);
}

bool ProfileFile::writeString(const QString& path, const QString& section, const QString& key,
                              const QString& value) {
    QStringList lines = readLines(path);
    const QString keyLine = key + QLatin1Char('=') + value;
    const SectionRange range = findSection(lines, section);
    if (range.header < 0) {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(keyLine);
    } else if (const qsizetype existing = findKey(lines, range, key); existing >= 0) {
        lines[existing] = keyLine;
    } else {
        // After the section's last non-blank line, so a blank separator line stays in place.
        qsizetype insertAt = range.end;
        while (insertAt > range.header + 1 && lines[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        lines.insert(insertAt, keyLine);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((lines.join(lineEnd) + lineEnd).toLocal8Bit());
    return file.commit();
}

} // namespace platform
