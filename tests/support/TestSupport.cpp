#include "TestSupport.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

namespace testsupport {

void failOnUnexpectedWarnings() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

QString programDir() {
    const QString fromBuild = qEnvironmentVariable("FOLVERIN_PROGRAM_DIR");
    return fromBuild.isEmpty() ? QCoreApplication::applicationDirPath() + QLatin1Char('/') : fromBuild;
}

} // namespace testsupport
