#include "convert/PdfFinder.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <sys/stat.h>
#include <utility>

namespace {

using FolderId = std::pair<quint64, quint64>;

void scan(const QString& folder, QSet<FolderId>& visited, QStringList& found) {
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return;
    const FolderId id{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
    if (visited.contains(id))
        return;
    visited.insert(id);
    const QDir dir(folder);
    const QStringList pdfs = dir.entryList(
        {QStringLiteral("*.pdf")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : pdfs)
        found.append(dir.filePath(name));
    const QStringList subfolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders)
        scan(dir.filePath(name), visited, found);
}

} // namespace

QStringList PdfFinder::find(const QString& folder) {
    QSet<FolderId> visited;
    QStringList found;
    scan(folder, visited, found);
    return found;
}
