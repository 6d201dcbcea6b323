#pragma once

#include <QString>

class QWidget;

namespace testsupport {

// Makes every Qt warning that a test did not announce with QTest::ignoreMessage a failure.
// Call it from init(): the setting is reset after each test function.
void failOnUnexpectedWarnings();

// Folder that holds the built programs and their "Unicode" tables.
QString programDir();

// Saves what widget paints as <build>/screenshots/<module>-<state>.png for a person to look
// at, and returns the file's path (empty when it could not be written).
QString saveScreenshot(QWidget* widget, const QString& module, const QString& state);

} // namespace testsupport

#include <QByteArray>
#include <QStringList>
#include <string>
#include <vector>

namespace testsupport {

// The plain C++ layers speak std::string; these give QCOMPARE something it can print.
inline QByteArray bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}
inline QStringList texts(const std::vector<std::string>& list) {
    QStringList result;
    for (const std::string& text : list)
        result.append(QString::fromStdString(text));
    return result;
}
// A Qt path as the plain C++ layers take it.
inline std::string path(const QString& path) {
    return path.toStdString();
}

} // namespace testsupport
