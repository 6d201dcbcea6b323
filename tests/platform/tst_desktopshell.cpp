#include "platform/DesktopShell.h"

#include "../support/TestSupport.h"

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using platform::DesktopShell;

// Stands in for the desktop's programs so the test launches nothing.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class TestDesktopShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        for (const char* scheme : {"file", "https", "mailto"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &catcher, "open");
        catcher.urls.clear();
    }
    void cleanup() {
        for (const char* scheme : {"file", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }

    void opensExistingFilesAndFolders() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("out.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        DesktopShell shell;
        QVERIFY(shell.openFile(path).ok);
        QVERIFY(shell.exploreFolder(dir.path() + QLatin1Char('/')).ok);
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls.at(0), QUrl::fromLocalFile(path));
        QCOMPARE(catcher.urls.at(1).toLocalFile(), dir.path() + QLatin1Char('/'));
    }

    // Failure must be reported, never passed off as success, and nothing is launched.
    void missingTargetsFailWithAReason() {
        DesktopShell shell;
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("gone.pdf"));
        auto result = shell.openFile(missing);
        QVERIFY(!result.ok);
        QVERIFY(result.error.contains(missing));
        result = shell.exploreFolder(missing);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(!shell.openFile(QString()).ok);
        QVERIFY(catcher.urls.isEmpty());
    }

    void folderMustBeAFolder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plain.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!DesktopShell().exploreFolder(path).ok);
    }

    void opensLinks() {
        DesktopShell shell;
        QVERIFY(shell.openUrl(QStringLiteral("https://www.corvanta.example/help.html")).ok);
        QVERIFY(shell.openUrl(QStringLiteral("mailto:?subject=Try Folverin&body=See downloads.html")).ok);
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls.at(0).host(), QStringLiteral("www.corvanta.example"));
        QCOMPARE(catcher.urls.at(1).scheme(), QStringLiteral("mailto"));

        QVERIFY(!shell.openUrl(QString()).ok);
        QVERIFY(!shell.openUrl(QStringLiteral("no scheme here")).ok);
        QCOMPARE(catcher.urls.size(), 2);
    }

private:
    UrlCatcher catcher;
};

QTEST_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
