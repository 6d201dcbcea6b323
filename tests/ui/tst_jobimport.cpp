#include "MainFrameFixture.h"
#include "TestSupport.h"
#include "controls/grid/GridCtrl.h"
#include "resource.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"
#include "ui/SplashWnd.h"

#include <QDir>
#include <QFile>
#include <QTest>

// How files reach the window's job list: the order a folder import adds them in.
class TestJobImport : public QObject {
    Q_OBJECT

    static void touch(const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    static QStringList names(const MainFrameFixture& window) {
        QStringList listed;
        const JobList& jobs = window.panel()->jobs();
        for (int entry = 0; entry < jobs.size(); ++entry)
            listed.append(QDir(window.temp.filePath(QStringLiteral("docs")))
                              .relativeFilePath(QString::fromStdString(jobs.at(entry))));
        return listed;
    }

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        CSplashWnd::EnableSplashScreen(false);
    }

    // Each subfolder is searched where its name comes among the files, before the files after
    // it, so of two PDFs of one title the one met first is the one converted.
    void importFollowsTheSearchDepthFirst() {
        MainFrameFixture window;
        for (const char* name :
             {"docs/b.pdf", "docs/A/x.pdf", "docs/a.PDF", "docs/c/z.pdf", "docs/c/Y.pdf", "docs/c/deep/w.pdf",
              "docs/d.pdf", "docs/.pdf", "docs/notes.txt", "docs/e.pdf.txt"})
            touch(window.temp.filePath(QString::fromLatin1(name)));
        QVERIFY(QFile::link(window.temp.filePath(QStringLiteral("docs")),
                            window.temp.filePath(QStringLiteral("docs/c/deep/loop"))));
        window.dialogs.queueFolder(window.temp.filePath(QStringLiteral("docs")).toStdString());
        QVERIFY(window.frame->Router().execute(ID_IMPORT_DIRECTORY));
        QCOMPARE(names(window), (QStringList{QStringLiteral(".pdf"), QStringLiteral("A/x.pdf"),
                                             QStringLiteral("a.PDF"), QStringLiteral("b.pdf"),
                                             QStringLiteral("c/deep/w.pdf"), QStringLiteral("c/Y.pdf"),
                                             QStringLiteral("c/z.pdf"), QStringLiteral("d.pdf")}));
    }
};

QTEST_MAIN(TestJobImport)
#include "tst_jobimport.moc"
