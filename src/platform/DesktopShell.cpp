#include "platform/DesktopShell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

ShellResult launch(const QUrl& url, const QString& target) {
    if (QDesktopServices::openUrl(url))
        return {true, QString()};
    return {false, QCoreApplication::translate("DesktopShell", "No program could open \"%1\".").arg(target),
            ShellFailure::NoAssociation};
}

} // namespace

ShellResult DesktopShell::openFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return {false,
                QCoreApplication::translate("DesktopShell", "The file \"%1\" does not exist.").arg(path),
                ShellFailure::FileNotFound};
    return launch(QUrl::fromLocalFile(info.absoluteFilePath()), path);
}

ShellResult DesktopShell::exploreFolder(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return {false,
                QCoreApplication::translate("DesktopShell", "The folder \"%1\" does not exist.").arg(path),
                ShellFailure::PathNotFound};
    return launch(QUrl::fromLocalFile(info.absoluteFilePath()), path);
}

ShellResult DesktopShell::openUrl(const QString& url) {
    const QUrl target(url);
    if (url.isEmpty() || !target.isValid() || target.scheme().isEmpty())
        return {false, QCoreApplication::translate("DesktopShell", "\"%1\" is not a valid address.").arg(url),
                ShellFailure::FileNotFound};
    return launch(target, url);
}

} // namespace platform
