#pragma once

#include <QString>

#include <functional>

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

// Acts on the next modal window once it is shown, and again while it stays open (a file
// dialog may refuse to accept until its model has read the folder). Gives up after a few
// seconds by rejecting the window, so a fault fails the test instead of hanging it.
void whenModalShows(std::function<void(QWidget*)> act);

// The offscreen platform cannot size windows by their hints, raise them or grab the keyboard,
// and says so for every dialog and popup it shows, which says nothing about the code under
// test. Install in init(), remove in cleanup().
void installOffscreenNoticeFilter();
void removeOffscreenNoticeFilter();

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
