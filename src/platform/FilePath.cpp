#include "platform/FilePath.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString unquoted(const QString& path) {
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        return path.mid(1, path.size() - 2);
    return path;
}

// What the system knows about an opened file; zero until read.
struct FileFacts {
    quint64 size = 0;
    qint64 birthMs = 0;
    bool hasBirth = false;
    qint64 writeMs = 0;
    qint64 accessMs = 0;
};

qint64 toMs(const statx_timestamp& t) {
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// Opens the file for reading the way the job list needs it: only existing, readable, non-folder
// files count. O_NONBLOCK keeps a named pipe from hanging the open.
bool readFacts(const QString& path, FileFacts& facts) {
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct statx info = {};
    const int rc = ::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info);
    ::close(fd);
    if (rc != 0 || S_ISDIR(info.stx_mode))
        return false;
    facts.size = info.stx_size;
    facts.hasBirth = (info.stx_mask & STATX_BTIME) != 0;
    facts.birthMs = toMs(info.stx_btime);
    facts.writeMs = toMs(info.stx_mtime);
    facts.accessMs = toMs(info.stx_atime);
    return true;
}

} // namespace

CFilePath::CFilePath(const QString& path, bool treatAsDirectory) : original(path) {
    const QString text = unquoted(path);
    if (text.isEmpty())
        return;

    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    directoryPart = text.left(slash + 1);
    const QString name = text.mid(slash + 1);

    // The extension starts at the last dot of the name. A dot in first place marks a hidden
    // file and a dot in last place is part of the name on Linux: splitting there would drop
    // characters from the name and make fullPath() name another file.
    QString splitTitle = name;
    QString splitExtension;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && dot < name.size() - 1) {
        splitTitle = name.left(dot);
        splitExtension = name.mid(dot);
    }

    relative = !directoryPart.isEmpty() && !directoryPart.startsWith(QLatin1Char('/'));

    if (treatAsDirectory) {
        if (!directoryPart.isEmpty() && !directoryPart.endsWith(QLatin1Char('/')))
            directoryPart += QLatin1Char('/');
        directoryPart += name;
        if (!directoryPart.endsWith(QLatin1Char('/')))
            directoryPart += QLatin1Char('/');
        relative = !directoryPart.startsWith(QLatin1Char('/'));
        return;
    }
    titlePart = splitTitle;
    if (!titlePart.isEmpty())
        extensionPart = QString(splitExtension).remove(QLatin1Char('.'));
}

QString CFilePath::fileName() const {
    if (extensionPart.isEmpty())
        return titlePart;
    return titlePart + QLatin1Char('.') + extensionPart;
}

QString CFilePath::extensionWithDot() const {
    return extensionPart.isEmpty() ? QString() : QLatin1Char('.') + extensionPart;
}

QString CFilePath::folder() const {
    return drivePart + directoryPart;
}

QString CFilePath::fullPath() const {
    return folder() + fileName();
}

QString CFilePath::longPath() const {
    const QString full = fullPath();
    QString canonical = QFileInfo(full).canonicalFilePath();
    if (canonical.isEmpty())
        return full;
    if (full.endsWith(QLatin1Char('/')) && !canonical.endsWith(QLatin1Char('/')))
        canonical += QLatin1Char('/');
    return canonical;
}

QStringList CFilePath::components() const {
    if (!componentsSplit) {
        // Repeated separators name no folder ("a//b" is "a/b"), so empty pieces are skipped.
        componentCache = directoryPart.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        componentsSplit = true;
    }
    return componentCache;
}

QString CFilePath::directoryComponent(int index) const {
    if (index == -1)
        return directoryPart;
    const QStringList parts = components();
    if (index < 0 || index >= parts.size())
        return QString();
    return parts.at(index);
}

int CFilePath::directoryComponentCount() const {
    return int(components().size());
}

bool CFilePath::size(quint64& bytes) const {
    FileFacts facts;
    const bool ok = readFacts(fullPath(), facts);
    bytes = facts.size;
    return ok;
}

bool CFilePath::time(int which, QDateTime& result) const {
    FileFacts facts;
    if (!readFacts(fullPath(), facts)) {
        result = QDateTime();
        return false;
    }
    qint64 ms = facts.accessMs;
    if (which == CreationTime)
        ms = facts.hasBirth ? facts.birthMs : facts.writeMs;
    else if (which == LastWriteTime)
        ms = facts.writeMs;
    result = QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
    return true;
}

} // namespace platform
