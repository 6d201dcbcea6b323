#include "MainFrameFixture.h"
#include "MessageBoxWatch.h"
#include "TestSupport.h"
#include "controls/chrome/IconButton.h"
#include "controls/chrome/SummaryEdit.h"
#include "controls/chrome/TextProgressCtrl.h"
#include "controls/grid/GridCtrl.h"
#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeItem.h"
#include "controls/optiontree/OptionTreeList.h"
#include "core/ConverterApp.h"
#include "platform/CommandRouter.h"
#include "platform/QtDialogs.h"
#include "platform/RecordingShell.h"
#include "platform/ScriptedDialogs.h"
#include "resource.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"
#include "ui/RightView.h"
#include "ui/SplashWnd.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QScopeGuard>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

// The program's window: its commands and their enabling, the window's keys next to the panes'
// own, the splitter, Reset All Options, and closing during a batch.
class TestMainFrame : public QObject {
    Q_OBJECT

    using Frame = MainFrameFixture;

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        CSplashWnd::EnableSplashScreen(false);
    }

    // The key that closes the splash goes no further: Ctrl+O asks for no file here.
    void aKeyClosesTheSplashAndIsNotDelivered() {
        CSplashWnd::EnableSplashScreen(true);
        Frame window;
        QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
        QVERIFY(CSplashWnd::Current());
        QTest::keyClick(window.frame.get(), Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(!CSplashWnd::Current());
        window.frame->LeftView()->setFocus();
        QCOMPARE(window.dialogs.requestCount(), 0);
        window.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(window.dialogs.requestCount(), 1);
    }

    // Ctrl pressed closes the splash; the O pressed before Ctrl is let go is no Ctrl+O, and
    // the click that closes it clicks nothing.
    void keysAndButtonsHeldWhenTheSplashClosesAreNotDelivered() {
        CSplashWnd::EnableSplashScreen(true);
        Frame window;
        QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
        QVERIFY(CSplashWnd::Current());
        QWidget* grid = window.panel()->jobGrid();
        QTest::keyPress(grid, Qt::Key_Control);
        QVERIFY(!CSplashWnd::Current()->isVisible());
        QTest::keyClick(grid, Qt::Key_O, Qt::ControlModifier);
        QTest::keyRelease(grid, Qt::Key_Control);
        QTRY_VERIFY(!CSplashWnd::Current());
        QCOMPARE(window.dialogs.requestCount(), 0);
        window.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(window.dialogs.requestCount(), 1);

        CSplashWnd::ShowSplashScreen(window.frame.get());
        QVERIFY(CSplashWnd::Current());
        CIconButton* openButton = window.panel()->button(ID_OPEN_FILE);
        QTest::mouseClick(openButton, Qt::LeftButton);
        QTRY_VERIFY(!CSplashWnd::Current());
        QCOMPARE(window.dialogs.requestCount(), 1);
        QTest::mouseClick(openButton, Qt::LeftButton);
        QCOMPARE(window.dialogs.requestCount(), 2);
    }

    // The keyboard's place shows even where no cell or row has the focus: the empty job list
    // at start, and the option list entered without a row.
    void theFocusIsMarkedWithoutAFocusedCellOrRow() {
        Frame window;
        QVERIFY(QTest::qWaitForWindowActive(window.frame.get()));
        QWidget* grid = window.panel()->jobGrid();
        QWidget* list = window.frame->RightView()->GetTree()->GetListWindow();
        QCOMPARE(QApplication::focusWidget(), grid);
        const auto darkInColumn = [](QWidget* widget, int x) {
            const QImage image = widget->grab().toImage();
            int dark = 0;
            for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y)
                dark += qGray(image.pixel(x, y)) < 96;
            return dark;
        };
        const int gridMarked = darkInColumn(grid, 1);
        const int listUnmarked = darkInColumn(list, 1);
        window.frame->RightView()->GetTree()->SetFocusItem(nullptr);
        list->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), list);
        QVERIFY2(gridMarked > darkInColumn(grid, 1) + 10, qPrintable(QString::number(gridMarked)));
        QVERIFY2(darkInColumn(list, 1) > listUnmarked + 10, qPrintable(QString::number(listUnmarked)));
    }

    // Ctrl+Tab walks from the job list over its buttons, the summary, Start and Stop into the
    // option list and round to the job list; Ctrl+Shift+Tab walks the same way back.
    void controlTabWalksThePanesBothWays() {
        Frame window;
        QVERIFY(QTest::qWaitForWindowActive(window.frame.get()));
        ConvertPanel* panel = window.panel();
        const QList<QWidget*> order{panel->button(ID_OPEN_FILE),
                                    panel->button(ID_IMPORT_DIRECTORY),
                                    panel->button(ID_REMOVE_SELECTED),
                                    panel->button(ID_CLEAR_ALL_SELECTED),
                                    panel->summaryPane(),
                                    panel->button(ID_START_CONVERT),
                                    panel->button(ID_STOP_CONVERT),
                                    window.frame->RightView()->GetTree()->GetListWindow(),
                                    panel->jobGrid()};
        QCOMPARE(QApplication::focusWidget(), panel->jobGrid());
        QList<QWidget*> visited;
        for (qsizetype i = 0; i < order.size(); ++i) {
            window.key(Qt::Key_Tab, Qt::ControlModifier);
            visited.append(QApplication::focusWidget());
        }
        QCOMPARE(visited, order);
        visited.clear();
        for (qsizetype i = 0; i < order.size(); ++i) {
            window.key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
            visited.append(QApplication::focusWidget());
        }
        QList<QWidget*> back(order.rbegin() + 1, order.rend());
        back.append(panel->jobGrid());
        QCOMPARE(visited, back);
    }

    void commandsAreEnabledByJobsAndBatch() {
        Frame window;
        QVERIFY(QTest::qWaitForWindowActive(window.frame.get()));
        // The keys work before any click: the job list has the keyboard.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.panel()->jobGrid()));
        const int jobCommands[] = {ID_REMOVE_SELECTED, ID_REMOVE_ALL,         ID_SELECT_CURRENT_ITEM,
                                   ID_EDIT_SELECT_ALL, ID_CLEAR_ALL_SELECTED, ID_INVERT_SELECT,
                                   ID_START_CONVERT};
        for (int id : jobCommands)
            QVERIFY2(!window.enabled(id), qPrintable(QString::number(id)));
        for (int id : {ID_OPEN_FILE, ID_IMPORT_DIRECTORY, ID_RESET_ALL_OPTIONS, ID_APP_EXIT})
            QVERIFY(window.enabled(id));
        QVERIFY(!window.enabled(ID_STOP_CONVERT));

        window.frame->AddPaths({window.pdf(QStringLiteral("long.pdf"), 2000).toStdString()});
        for (int id : jobCommands)
            QVERIFY(window.enabled(id));
        QVERIFY(window.enabled(ID_STOP_CONVERT));

        // F5 from the option pane is the window's key.
        window.focusOptionRow(CRightView::ID_OUTPUT_MODE);
        window.key(Qt::Key_F5);
        QVERIFY(window.panel()->isRunning());
        for (int id : {ID_OPEN_FILE, ID_IMPORT_DIRECTORY, ID_REMOVE_SELECTED, ID_START_CONVERT})
            QVERIFY(!window.enabled(id));
        for (int id : {ID_STOP_CONVERT, ID_OPEN_FILE_DIRECTORY, ID_OPEN_WITH_ASSOCIATED_APP})
            QVERIFY(window.enabled(id));

        // Stop's key works during a batch, when no other key does.
        window.key(Qt::Key_F5, Qt::ShiftModifier);
        QVERIFY(!window.panel()->isRunning());
        // Start is greyed until the stopped batch has ended, then starts at once.
        window.frame->LeftView()->setFocus();
        QVERIFY(!window.enabled(ID_START_CONVERT));
        window.key(Qt::Key_F5);
        QVERIFY(!window.panel()->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(window.enabled(ID_START_CONVERT), 60000);
        QCOMPARE(window.panel()->totalProgress()->displayText(), QStringLiteral("Convert stopped."));
        window.key(Qt::Key_F5);
        QVERIFY(window.panel()->isRunning());

        // Closing stops the batch and waits for its end, showing why it ended; an F5 pressed
        // while it waits starts nothing.
        QTimer::singleShot(0, window.frame.get(), [&] { window.key(Qt::Key_F5); });
        QVERIFY(window.frame->close());
        QCOMPARE(window.panel()->totalProgress()->displayText(), QStringLiteral("Convert stopped."));
        QVERIFY(!window.panel()->isRunning());
        QTest::qWait(100);
        QVERIFY(!window.panel()->isRunning());
    }

    // The window's close button works while a batch's message is shown (one title written into
    // one folder again and again gives a chain of them): the message closes, the batch ends,
    // no later message comes and the window closes.
    void closeWorksWhileABatchMessageIsShown() {
        Frame window;
        QVERIFY(QTest::qWaitForWindowActive(window.frame.get()));
        const QString out = window.temp.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        window.app.options.outputDirectory = out.toStdString();
        QVERIFY(window.frame->RightView()->BuildTree());
        std::vector<std::string> pdfs;
        for (int i = 1; i <= 6; ++i) {
            QDir().mkpath(window.temp.filePath(QString::number(i)));
            pdfs.push_back(window.pdf(QStringLiteral("%1/same.pdf").arg(i)).toStdString());
        }
        window.frame->AddPaths(pdfs);

        testsupport::installOffscreenNoticeFilter();
        platform::QtDialogs boxes(window.frame.get());
        platform::Dialogs::setInstance(&boxes);
        const auto restore = qScopeGuard([&window] {
            platform::Dialogs::setInstance(&window.dialogs);
            testsupport::removeOffscreenNoticeFilter();
        });
        // As the window system's close button, which a modal window would keep from the window.
        const MessageBoxWatch watch([&window] {
            if (!QApplication::activeModalWidget())
                window.frame->windowHandle()->close();
        });
        window.key(Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(!window.frame->isVisible(), 60000);
        QTest::qWait(200); // a later message would show now
        QCOMPARE(watch.texts.size(), 1);
        QCOMPARE(watch.answeredHere, 0);
        QVERIFY(MessageBoxWatch::shown().isEmpty());
        QVERIFY(!window.panel()->isRunning());
        QCOMPARE(window.panel()->totalProgress()->displayText(), QStringLiteral("Convert stopped."));
    }

    // Delete in the option pane empties the folder row; it does not remove a job.
    void deleteActsWhereTheFocusIs() {
        Frame window;
        QVERIFY(QTest::qWaitForWindowActive(window.frame.get()));
        window.frame->AddPaths({window.pdf(QStringLiteral("a.pdf")).toStdString(),
                                window.pdf(QStringLiteral("b.pdf")).toStdString()});
        window.app.options.outputDirectory = window.temp.path().toStdString();
        QVERIFY(window.frame->RightView()->BuildTree());
        window.focusOptionRow(CRightView::ID_OUTPUT_DIRECTORY);
        window.key(Qt::Key_Delete);
        QCOMPARE(window.panel()->jobs().size(), 2);
        QCOMPARE(window.frame->RightView()->ValueById(CRightView::ID_OUTPUT_DIRECTORY)->text, std::string());
    }

    // The job list's keys act only in the job pane: in the option pane, Space, Ctrl+A and Ctrl+I
    // go to the focused row and tick nothing.
    void jobListKeysStayOutOfTheOptionPane() {
        Frame window;
        QVERIFY(QTest::qWaitForWindowActive(window.frame.get()));
        window.frame->AddPaths({window.pdf(QStringLiteral("a.pdf")).toStdString()});
        const auto tickedJobs = [&] { return window.panel()->checkedJobs().size(); };
        const std::size_t ticked = tickedJobs();
        window.focusOptionRow(CRightView::ID_OUTPUT_MODE);
        window.key(Qt::Key_Space);
        QTest::keyClick(window.frame->RightView()->GetTree()->GetListWindow(), Qt::Key_Escape);
        window.focusOptionRow(CRightView::ID_OUTPUT_MODE);
        window.key(Qt::Key_I, Qt::ControlModifier);
        window.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(tickedJobs(), ticked);
        window.panel()->findChild<grid::CGridCtrl*>()->setFocus();
        window.key(Qt::Key_I, Qt::ControlModifier);
        QVERIFY(tickedJobs() != ticked);
    }

    // At a large scale the screen holds fewer units than the window's first size: it opens
    // within the screen and can be made as small.
    void windowFitsASmallScreen() {
        Frame window;
        const QSize screen(640, 450);
        if (window.frame->isVisible()) // the offscreen platform has no window manager to tell
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
        window.frame->FitInto(screen);
        window.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
        QVERIFY2(window.frame->width() <= screen.width() && window.frame->height() <= screen.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(window.frame->width()).arg(window.frame->height())));
        QVERIFY(window.frame->minimumWidth() <= screen.width());
        QVERIFY(window.frame->minimumHeight() <= screen.height());
        // Both panes stay in sight: the options pane keeps about a third.
        const int options = window.frame->RightView()->width();
        QVERIFY2(options > screen.width() / 4, qPrintable(QString::number(options)));
    }

    void resetAllOptionsAsksAndShowsTheResetAtOnce() {
        Frame window;
        window.app.options.layout = 1;
        window.app.options.textEncoding = 5;
        window.app.options.outputDirectory = window.temp.path().toStdString();
        QVERIFY(window.frame->RightView()->BuildTree());
        window.dialogs.queueAnswer(platform::DialogResult::No);
        window.frame->Router().execute(ID_RESET_ALL_OPTIONS);
        QCOMPARE(window.frame->RightView()->ValueById(CRightView::ID_TEXT_LAYOUT)->number, 1);

        window.dialogs.queueAnswer(platform::DialogResult::Yes);
        window.frame->Router().execute(ID_RESET_ALL_OPTIONS);
        QCOMPARE(testsupport::texts(window.dialogs.messageTexts()),
                 (QStringList{QStringLiteral("Reset all the convert options?"),
                              QStringLiteral("Reset all the convert options?")}));
        QCOMPARE(window.dialogs.messages().front().buttons, platform::MessageButtons::YesNo);
        QCOMPARE(window.frame->RightView()->ValueById(CRightView::ID_TEXT_LAYOUT)->number, 0);
        QCOMPARE(window.frame->RightView()->ValueById(CRightView::ID_TEXT_ENCODING)->number, 5);
        QCOMPARE(window.app.options.outputDirectory, window.temp.path().toStdString());
    }

    // The menu bar's texts in order, and the keys the window binds: the job list's keys only
    // while the job pane has the keyboard, F1 and Alt+F4 shown but bound to nothing here.
    void menusAndKeysAreAsShown() {
        Frame window;
        QStringList shown;
        for (const QMenu* menu : window.frame->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
            shown.append(menu->title());
            for (const QAction* action : menu->actions())
                shown.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QCOMPARE(shown, testsupport::texts(std::vector<std::string>{
                            "&File",
                            "&Open File...\tCtrl+O",
                            "Open &Directory...\tCtrl+D",
                            "-",
                            "&Reset All Options",
                            "-",
                            "E&xit\tAlt+F4",
                            "&Edit",
                            "Open File Directory\tCtrl+E",
                            "Open with Associated App\tCtrl+W",
                            "-",
                            "Remove Selected\tDel",
                            "Remove All\tCtrl+Del",
                            "-",
                            "Select Current Item\tSpace",
                            "Select All Items\tCtrl+A",
                            "Clear All Selected\tCtrl+X",
                            "Invert Select\tCtrl+I",
                            "-",
                            "Start Convert\tF5",
                            "Stop Convert\tShift+F5",
                            "&Help",
                            "&Online Help\tF1",
                            "-",
                            "&Tell to Friend via E-mail...",
                            "&Check New Version...",
                            "&Visit Corvanta...",
                            "-",
                            "Ti&p of the Day...",
                            "&About Folverin...",
                        }));

        const auto keysOf = [](const QWidget* widget, Qt::ShortcutContext context) {
            QStringList keys;
            for (const QAction* action : widget->actions()) {
                if (!action->shortcut().isEmpty() && action->shortcutContext() == context)
                    keys.append(action->shortcut().toString(QKeySequence::PortableText));
            }
            return keys;
        };
        QCOMPARE(keysOf(window.frame.get(), Qt::WindowShortcut),
                 QStringList({QStringLiteral("Ctrl+O"), QStringLiteral("Ctrl+D"), QStringLiteral("Ctrl+E"),
                              QStringLiteral("Ctrl+W"), QStringLiteral("F5"), QStringLiteral("Shift+F5")}));
        QCOMPARE(keysOf(window.frame->LeftView(), Qt::WidgetWithChildrenShortcut),
                 QStringList({QStringLiteral("Del"), QStringLiteral("Ctrl+Del"), QStringLiteral("Space"),
                              QStringLiteral("Ctrl+A"), QStringLiteral("Ctrl+X"), QStringLiteral("Ctrl+I")}));
    }

    void helpCommandsOpenTheirPages() {
        Frame window;
        for (int id : {ID_ONLINE_HELP, ID_CHECK_NEW_VERSION, ID_VISIT_HOME_PAGE, ID_TELL_FRIEND_BY_MAIL})
            QVERIFY(window.frame->Router().execute(id));
        const QList<platform::RecordingShell::Request> requests = window.shell.requests();
        QCOMPARE(requests.size(), 4);
        QVERIFY(requests[2].target.startsWith(QStringLiteral("https://www.corvanta.example/")));
        QVERIFY(requests[3].target.startsWith(QStringLiteral("mailto:")));
    }

    void theLeftPaneKeepsItsWidth() {
        Frame window;
        window.frame->resize(400, 300);
        QCOMPARE(window.frame->size(), QSize(880, 565));
        QVERIFY(window.frame->LeftView()->width() >= 640);
        auto* splitter = window.frame->findChild<QSplitter*>();
        splitter->setSizes({100, 780});
        QVERIFY(window.frame->LeftView()->width() >= 640);
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
