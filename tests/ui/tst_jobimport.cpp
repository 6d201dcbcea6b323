#include "MainFrameFixture.h"
#include "TestSupport.h"
#include "controls/grid/GridCtrl.h"
#include "resource.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"
#include "ui/SplashWnd.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUrl>

// How files reach the window's job list: the order a folder import adds them in, and drops
// that leave the user's files where they are.
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

    // A source offering Move may delete what it moved: the drop is taken as a copy, or a
    // link where the source offers no copy, and refused where it offers only a move.
    void dropsAreCopiesNeverMoves_data() {
        QTest::addColumn<int>("possible");
        QTest::addColumn<int>("taken");
        QTest::newRow("copy or move") << int(Qt::CopyAction | Qt::MoveAction) << int(Qt::CopyAction);
        QTest::newRow("link or move") << int(Qt::LinkAction | Qt::MoveAction) << int(Qt::LinkAction);
        QTest::newRow("move only") << int(Qt::MoveAction) << int(Qt::IgnoreAction);
    }
    void dropsAreCopiesNeverMoves() {
        QFETCH(int, possible);
        QFETCH(int, taken);
        MainFrameFixture window;
        const QString path = window.temp.filePath(QStringLiteral("dropped.pdf"));
        touch(path);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        ConvertPanel* panel = window.panel();
        const auto actions = Qt::DropActions(possible);
        QDragEnterEvent enter(QPoint(10, 10), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &enter);
        QDragMoveEvent move(QPoint(12, 12), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
        QDropEvent drop(QPointF(12, 12), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &drop);
        const bool accepted = taken != Qt::IgnoreAction;
        for (QDropEvent* event : {static_cast<QDropEvent*>(&enter), static_cast<QDropEvent*>(&move), &drop}) {
            QCOMPARE(event->isAccepted(), accepted);
            if (accepted)
                QCOMPARE(int(event->dropAction()), taken);
        }
        QCOMPARE(panel->jobs().size(), accepted ? 1 : 0);
    }
};

QTEST_MAIN(TestJobImport)
#include "tst_jobimport.moc"
