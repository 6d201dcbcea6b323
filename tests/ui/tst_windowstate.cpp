#include "MainFrameFixture.h"
#include "TestSupport.h"
#include "controls/grid/GridCtrl.h"
#include "platform/NativePath.h"
#include "platform/ProfileFile.h"
#include "resource.h"
#include "ui/SplashWnd.h"
#include "ui/WindowState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <sys/stat.h>

// The window as it was left, between runs: place, size, maximised state, splitter, column
// widths and the file dialogs' folders, kept in a state file of its own under
// $XDG_STATE_HOME. The test platform has two screens side by side (two-screens.json): 1280 x 800
// and, to its right, 1024 x 768.
class TestWindowState : public QObject {
    Q_OBJECT

    using Frame = MainFrameFixture;

    static QList<int> splitterSizes(const Frame& window) {
        return window.frame->findChild<QSplitter*>()->sizes();
    }
    static QList<int> columnWidths(const Frame& window) {
        const grid::CGridCtrl* grid = window.panel()->jobGrid();
        QList<int> widths;
        for (int column = 0; column < grid->GetColumnCount(); ++column)
            widths.append(grid->GetColumnWidth(column));
        return widths;
    }
    // The three file dialogs, asked as a user asks them: Ctrl+O, Ctrl+D and Enter on the
    // Output Directory row.
    static void askEveryFileDialog(Frame& window) {
        window.frame->Router().execute(ID_OPEN_FILE);
        window.frame->Router().execute(ID_IMPORT_DIRECTORY);
        window.focusOptionRow(CRightView::ID_OUTPUT_DIRECTORY);
        window.key(Qt::Key_Return);
    }
    static QString folder(const QTemporaryDir& home, const QString& name) {
        QDir().mkpath(home.filePath(name));
        return home.filePath(name) + QLatin1Char('/');
    }
    static unsigned permissions(const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
    }
    static void writeFile(const QString& path, const QByteArray& contents) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(contents), contents.size());
    }

private Q_SLOTS:
    void initTestCase() {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        testsupport::installOffscreenNoticeFilter();
    }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        CSplashWnd::EnableSplashScreen(false);
    }

    // Closed and opened again, the window is where and as it was: on the second screen, its
    // splitter and columns as the user left them, each file dialog in its own last folder, then
    // maximised over its old place. Nothing of it reaches Settings.ini. Once the second screen
    // is gone, the window opens at its first size centred on the first screen again.
    void theWindowComesBackAsItWasLeft() {
        QTemporaryDir home;
        const QByteArray userHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_STATE_HOME", "relative/state"); // not absolute: not to be used
        QCOMPARE(QString::fromStdString(WindowState::defaultPath()),
                 home.filePath(QStringLiteral(".local/state/folverin/state.ini")));
        qputenv("HOME", userHome);
        qputenv("XDG_STATE_HOME", QFile::encodeName(home.filePath(QStringLiteral("state"))));
        const std::string stateFile = WindowState::defaultPath();
        QCOMPARE(QString::fromStdString(stateFile),
                 home.filePath(QStringLiteral("state/folverin/state.ini")));
        const QString opened = folder(home, QStringLiteral("opened"));
        const QString imported = folder(home, QStringLiteral("imported"));
        const QString output = folder(home, QStringLiteral("output"));
        const QRect onSecondScreen(1400, 60, 900, 640);
        QRect firstFit;
        QList<int> fittedColumns;
        QList<int> splitter;
        QList<int> columns;
        QByteArray options;
        {
            Frame window(0, stateFile);
            QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
            firstFit = window.frame->geometry();
            fittedColumns = columnWidths(window);
            QCOMPARE(firstFit.size(), QSize(1000, 680));
            const QPoint offCentre = window.frame->frameGeometry().center() -
                                     QGuiApplication::primaryScreen()->availableGeometry().center();
            QVERIFY2(std::abs(offCentre.x()) <= 2 && std::abs(offCentre.y()) <= 2,
                     qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));

            window.frame->setGeometry(onSecondScreen);
            window.frame->findChild<QSplitter*>()->setSizes({700, 200});
            window.panel()->jobGrid()->SetColumnWidth(1, 222);
            window.panel()->jobGrid()->SetColumnWidth(4, 61);
            splitter = splitterSizes(window);
            columns = columnWidths(window);
            QCOMPARE(splitter.first(), 700);
            window.dialogs.queueFiles({platform::toNativePath(opened + QStringLiteral("a.pdf"))});
            window.dialogs.queueFolder(platform::toNativePath(imported));
            window.dialogs.queueFolder(platform::toNativePath(output));
            askEveryFileDialog(window);
            QCOMPARE(window.dialogs.startFolders(), (std::vector<std::string>{"", "", ""}));
            QVERIFY(window.frame->close());
            // As the program saves its options once the window has closed.
            window.app.saveSettings();
            QFile settings(QString::fromStdString(window.app.settingsPath));
            QVERIFY(settings.open(QIODevice::ReadOnly));
            options = settings.readAll();
            QVERIFY(options.contains("Page Range="));
        }
        // Folders made for the state are the user's alone.
        QCOMPARE(permissions(home.filePath(QStringLiteral("state"))), 0700u);
        QCOMPARE(permissions(home.filePath(QStringLiteral("state/folverin"))), 0700u);
        for (const char* key : {"[Window]", "[Folders]", "Width=", "Maximized", "Splitter", "Columns",
                                "OpenFiles", "ImportFolder", "OutputFolder"})
            QVERIFY2(!options.contains(key), key);

        {
            Frame window(0, stateFile);
            QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
            QCOMPARE(window.frame->geometry(), onSecondScreen);
            QCOMPARE(splitterSizes(window), splitter);
            QCOMPARE(columnWidths(window), columns);
            // The output folder chosen last time is no option now: its chooser starts there all
            // the same.
            QCOMPARE(window.app.options.outputDirectory, std::string());
            askEveryFileDialog(window);
            QCOMPARE(
                window.dialogs.startFolders(),
                (std::vector<std::string>{platform::toNativePath(opened), platform::toNativePath(imported),
                                          platform::toNativePath(output)}));
            window.frame->showMaximized();
            QTRY_VERIFY(window.frame->isMaximized());
            QVERIFY(window.frame->close());
        }
        {
            Frame window(0, stateFile);
            QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
            QVERIFY(window.frame->isMaximized());
            QCOMPARE(window.frame->normalGeometry(), onSecondScreen);
            window.frame->showNormal();
            QTRY_COMPARE(window.frame->geometry(), onSecondScreen);
            QVERIFY(window.frame->close());
        }

        // The second screen unplugged: its place is gone, and with it the splitter it was left at.
        QVERIFY(platform::ProfileFile::writeString(stateFile, "Window", "X", "2400"));
        {
            Frame window(0, stateFile);
            QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
            QCOMPARE(window.frame->geometry(), firstFit);
            QVERIFY(!window.frame->isMaximized());
            QVERIFY(splitterSizes(window) != splitter);
            QCOMPARE(columnWidths(window), columns);
            QVERIFY(window.frame->close());
        }

        // Widths kept for fewer or more columns than the job list has now: those it shares.
        QVERIFY(platform::ProfileFile::writeString(stateFile, "Window", "Columns", "30,250"));
        QList<int> shared;
        {
            Frame window(0, stateFile);
            shared = columnWidths(window);
        }
        QCOMPARE(shared.mid(0, 2), (QList<int>{30, 250}));
        QCOMPARE(shared.size(), fittedColumns.size());
        // The others keep their own widths: shown, or hidden as the result column before a batch.
        for (qsizetype column = 2; column < shared.size(); ++column)
            QCOMPARE(shared[column] > 0, fittedColumns[column] > 0);
        QVERIFY(
            platform::ProfileFile::writeString(stateFile, "Window", "Columns", "1,2,3,4,5,6,7,8,9,10,11,12"));
        Frame window(0, stateFile);
        const QList<int> widths = columnWidths(window);
        QCOMPARE(widths, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).mid(0, widths.size()));
    }

    // A state file that is damaged, hostile or tells of a place no screen shows opens the window
    // as a first start does, and the folders it names are not started in.
    void aStateThatCannotBeUsedOpensTheWindowAsAtFirst_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("larger than any screen") << QByteArray("[Window]\nX=0\nY=0\nWidth=2400\nHeight=900\n");
        QTest::newRow("above the screens") << QByteArray("[Window]\nX=100\nY=-700\nWidth=900\nHeight=600\n");
        QTest::newRow("smaller than the window may be")
            << QByteArray("[Window]\nX=100\nY=100\nWidth=20\nHeight=10\n");
        QTest::newRow("numbers with units")
            << QByteArray("[Window]\nX=10px\nY=10\nWidth=900px\nHeight=600\n");
        QTest::newRow("numbers beyond int")
            << QByteArray("[Window]\nX=4294967396\nY=0\nWidth=99999999999999999999\nHeight=-0\n");
        QTest::newRow("lists out of bounds")
            << QByteArray("[Window]\nSplitter=-5,99999999\nColumns=1,2,,3\nMaximized=2\n");
        QTest::newRow("folders not absolute")
            << QByteArray("[Folders]\nOpenFiles=relative/\nImportFolder=../\nOutputFolder=~/\n");
        QTest::newRow("binary junk") << QByteArray("\xff\xfe[\0W\x01=\n\n=\r\r\x80\x80", 14).repeated(1000);
        QTest::newRow("a folder in its place") << QByteArray();
    }
    void aStateThatCannotBeUsedOpensTheWindowAsAtFirst() {
        QFETCH(QByteArray, contents);
        QTemporaryDir home;
        const QString path = home.filePath(QStringLiteral("folverin/state.ini"));
        QRect firstFit;
        QList<int> fittedColumns;
        {
            Frame window(0, home.filePath(QStringLiteral("none.ini")).toStdString());
            firstFit = window.frame->geometry();
            fittedColumns = columnWidths(window);
        }
        if (contents.isEmpty())
            QVERIFY(QDir().mkpath(path));
        else
            writeFile(path, contents);
        Frame window(0, path.toStdString());
        QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
        QCOMPARE(window.frame->geometry(), firstFit);
        QVERIFY(!window.frame->isMaximized());
        QCOMPARE(columnWidths(window), fittedColumns);
        askEveryFileDialog(window);
        QCOMPARE(window.dialogs.startFolders(), (std::vector<std::string>{"", "", ""}));
    }
};

QTEST_MAIN(TestWindowState)
#include "tst_windowstate.moc"
