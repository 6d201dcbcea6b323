#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace platform {

// Splits one path into drive, directory, title and extension and answers the questions the
// job list, the conversion and the summary ask about the file. A value object: build it for
// one file and drop it. Paths are host paths: '/' separates folders, there is no drive letter,
// and folders keep their trailing '/'.
class CFilePath {
public:
    enum TimeKind { CreationTime = 0, LastAccessTime = 1, LastWriteTime = 2 };

    // Surrounding double quotes are removed first. With treatAsDirectory the whole name is a
    // folder: the directory ends in '/' and title and extension stay empty.
    explicit CFilePath(const QString& path, bool treatAsDirectory = false);

    QString originalPath() const { return original; }
    QString drive() const { return drivePart; } // always empty on Linux
    QString directory() const { return directoryPart; }
    QString title() const { return titlePart; }
    QString extension() const { return extensionPart; } // without the dot
    bool isRelative() const { return relative; }

    QString fileName() const;         // title plus "." and extension when there is one
    QString extensionWithDot() const; // "." and extension, or empty
    QString folder() const;           // drive plus directory
    QString fullPath() const;         // folder plus file name
    QString longPath() const;         // canonical absolute form when the file exists, else fullPath()

    // -1: the whole directory; 0 .. count - 1: one folder name; anything else: empty.
    QString directoryComponent(int index) const;
    int directoryComponentCount() const;

    // Size in bytes. False (and 0) when the file cannot be opened for reading.
    bool size(quint64& bytes) const;
    // CreationTime: birth time where the file system records one, else last modification;
    // LastWriteTime: last modification; any other value: last access. Local time. False (and
    // an invalid time) when the file cannot be opened for reading.
    bool time(int which, QDateTime& result) const;

private:
    QStringList components() const;

    QString original;
    QString drivePart;
    QString directoryPart;
    QString titlePart;
    QString extensionPart;
    bool relative = false;
    mutable QStringList componentCache;
    mutable bool componentsSplit = false;
};

} // namespace platform
