#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

namespace testsupport {

void failOnUnexpectedWarnings() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

QString programDir() {
    const QString fromBuild = qEnvironmentVariable("FOLVERIN_PROGRAM_DIR");
    return fromBuild.isEmpty() ? QCoreApplication::applicationDirPath() + QLatin1Char('/') : fromBuild;
}

QString saveScreenshot(QWidget* widget, const QString& module, const QString& state) {
    QString folder = qEnvironmentVariable("FOLVERIN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    if (!QDir().mkpath(folder))
        return {};
    const QString file = folder + QLatin1Char('/') + module + QLatin1Char('-') + state + QStringLiteral(".png");
    return widget->grab().save(file) ? file : QString();
}

} // namespace testsupport
