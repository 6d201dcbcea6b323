#include "platform/SystemFolders.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

QString SystemFolders::programDir() {
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return withTrailingSlash(QFileInfo(executable).absolutePath());
}

QString SystemFolders::userConfigDir() {
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are invalid by the XDG rules and are ignored.
    if (!configHome.isEmpty() && QDir::isAbsolutePath(configHome))
        return withTrailingSlash(configHome);
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        return {};
    return withTrailingSlash(home) + QStringLiteral(".config/");
}

QString SystemFolders::withTrailingSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace platform
