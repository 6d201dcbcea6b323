#include "convert/EngineDataFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace {

// A configuration line's fields are separated by tabs (paths may hold spaces); runs of tabs
// count as one separator.
QStringList fields(const QByteArray& line) {
    QStringList result;
    for (const QByteArray& field : line.split('\t')) {
        const QByteArray trimmed = field.trimmed();
        if (!trimmed.isEmpty())
            result.append(QFile::decodeName(trimmed));
    }
    return result;
}

// Table names come from a file the user can edit: a name must not lead out of the folder.
bool link(const QString& target, const QString& linkPath) {
    if (QFileInfo(linkPath).fileName().isEmpty() || linkPath.contains(QStringLiteral("/..")))
        return false;
    QFile::remove(linkPath);
    return QFile::link(target, linkPath);
}

} // namespace

EngineDataFolder::EngineDataFolder(const QString& cacheRoot) : root(cacheRoot) {
    if (root.isEmpty()) {
        const QString cacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
        const QString home = qEnvironmentVariable("HOME");
        if (QDir::isAbsolutePath(cacheHome))
            root = cacheHome + QStringLiteral("/folverin");
        else if (!home.isEmpty())
            root = home + QStringLiteral("/.cache/folverin");
    }
}

QString EngineDataFolder::folderFor(const QByteArray& configText) {
    if (!currentFolder.isEmpty() && configText == currentText)
        return currentFolder;
    QString folder = cachedFolder(configText);
    if (folder.isEmpty()) {
        fallback =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/folverin-engine-XXXXXX"));
        if (!fallback->isValid() || !layOut(fallback->path(), configText))
            return {};
        folder = fallback->path();
    }
    currentText = configText;
    currentFolder = folder;
    return folder;
}

// A folder named after the configuration's digest, laid out under a temporary name and
// renamed into place, so a process never sees a half-made folder.
QString EngineDataFolder::cachedFolder(const QByteArray& configText) {
    if (root.isEmpty())
        return {};
    const QString folder =
        root + QStringLiteral("/engine-") +
        QString::fromLatin1(
            QCryptographicHash::hash(configText, QCryptographicHash::Sha256).toHex().left(32));
    if (QFileInfo(folder).isDir())
        return folder;
    if (!QDir().mkpath(root))
        return {};
    QTemporaryDir building(root + QStringLiteral("/.building-XXXXXX"));
    if (!building.isValid() || !layOut(building.path(), configText))
        return {};
    if (QDir().rename(building.path(), folder))
        building.setAutoRemove(false);
    return QFileInfo(folder).isDir() ? folder : QString();
}

bool EngineDataFolder::layOut(const QString& root, const QByteArray& configText) {
    QDir dir(root);
    for (const char* sub : {"cidToUnicode", "unicodeMap", "cMap", "nameToUnicode"}) {
        if (!dir.mkpath(QLatin1String(sub)))
            return false;
    }
    QStringList cMapDirs;
    int extraDirs = 0;
    int nameTables = 0;
    for (const QByteArray& line : configText.split('\n')) {
        const QStringList f = fields(line);
        if (f.size() == 3 && f[0] == QLatin1String("cidToUnicode"))
            link(f[2], root + QStringLiteral("/cidToUnicode/") + f[1]);
        else if (f.size() == 3 && f[0] == QLatin1String("unicodeMap"))
            link(f[2], root + QStringLiteral("/unicodeMap/") + f[1]);
        else if (f.size() == 3 && f[0] == QLatin1String("cMapDir")) {
            link(f[2], root + QStringLiteral("/cMap/") + f[1]);
            cMapDirs.append(f[2]);
        } else if (f.size() == 2 && f[0] == QLatin1String("toUnicodeDir")) {
            // The engine searches every CMap folder for ToUnicode maps; a folder named only
            // here joins them under a name no collection uses.
            if (!cMapDirs.contains(f[1]))
                link(f[1], root + QStringLiteral("/cMap/toUnicode-%1").arg(++extraDirs));
            cMapDirs.append(f[1]);
        } else if (f.size() == 2 && f[0] == QLatin1String("nameToUnicode")) {
            link(f[1],
                 root + QStringLiteral("/nameToUnicode/%1-").arg(++nameTables) + QFileInfo(f[1]).fileName());
        }
    }
    return true;
}
