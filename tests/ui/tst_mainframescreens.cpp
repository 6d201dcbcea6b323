#include "MainFrameFixture.h"

#include "../controls/optiontree/PopupScreenshot.h"
#include "controls/chrome/CoolMenuBar.h"
#include "controls/chrome/SummaryEdit.h"
#include "controls/chrome/TextProgressCtrl.h"
#include "controls/grid/GridCtrl.h"
#include "ui/SplashWnd.h"

#include <QMenu>

// The main window as a user sees it, at the default and a large font: empty, with an option's
// description, with jobs and a summary, each menu open, during a batch, and the splash. Run
// with QT_FONT_DPI set, the pictures carry that resolution in their names.
class TestMainFrameScreens : public QObject {
    Q_OBJECT

    static QString suffix(int pixelSize) {
        const QString dpi = qEnvironmentVariable("QT_FONT_DPI");
        return screenshotSuffix(pixelSize) + (dpi.isEmpty() ? QString() : QStringLiteral("-dpi") + dpi);
    }

    static void save(QWidget* widget, const QString& state, int pixelSize) {
        QVERIFY(
            !testsupport::saveScreenshot(widget, QStringLiteral("app"), state + suffix(pixelSize)).isEmpty());
    }

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
        CSplashWnd::EnableSplashScreen(false);
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void mainWindow_data() { addScreenshotFontRows(); }
    void mainWindow() {
        QFETCH(int, pixelSize);
        MainFrameFixture window(pixelSize);
        QVERIFY(QTest::qWaitForWindowActive(window.frame.get()));
        save(window.frame.get(), QStringLiteral("mainframe-empty"), pixelSize);
        window.focusOptionRow(CRightView::ID_TEXT_ENCODING);
        save(window.frame.get(), QStringLiteral("mainframe-description"), pixelSize);

        std::vector<std::string> pdfs;
        for (const QString& name : {QStringLiteral("Annual report 2025.pdf"),
                                    QStringLiteral("invoice-0001.pdf"), QStringLiteral("long.pdf")})
            pdfs.push_back(window.pdf(name, name == QStringLiteral("long.pdf") ? 2000 : 3).toStdString());
        window.frame->AddPaths(pdfs);
        grid::CGridCtrl* grid = window.panel()->jobGrid();
        QRect cell;
        QVERIFY(grid->GetCellRect(1, 1, &cell));
        QTest::mouseClick(grid, Qt::LeftButton, {}, cell.center());
        // The summary comes from a worker process, at once or a moment later.
        const auto* summary = window.panel()->findChild<CSummaryEdit*>();
        QTRY_VERIFY(summary->toPlainText().contains(QStringLiteral("PDF Security:")));
        save(window.frame.get(), QStringLiteral("mainframe-jobs-summary"), pixelSize);

        auto* bar = window.frame->findChild<CCoolMenuBar*>();
        for (int button = 0; button < bar->ButtonCount(); ++button) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->ButtonRect(button).center());
            QMenu* menu = bar->TrackedMenu();
            QVERIFY(menu && QTest::qWaitForWindowExposed(menu));
            const QString state = QStringLiteral("mainframe-menu-") +
                                  bar->ButtonText(button).remove(QLatin1Char('&')).toLower();
            QVERIFY(!saveWithPopupWindow(window.frame.get(), menu, QStringLiteral("app"),
                                         state + suffix(pixelSize))
                         .isEmpty());
            menu->close();
        }

        window.frame->LeftView()->setFocus();
        window.key(Qt::Key_F5);
        QVERIFY(QTest::qWaitFor([&] { return window.panel()->totalProgress()->GetPos() >= 1; }, 60000));
        save(window.frame.get(), QStringLiteral("mainframe-batch"), pixelSize);
        window.frame->close();
    }

    void splash() {
        CSplashWnd::EnableSplashScreen(true);
        MainFrameFixture window;
        QVERIFY(QTest::qWaitForWindowExposed(window.frame.get()));
        QVERIFY(CSplashWnd::Current());
        save(CSplashWnd::Current(), QStringLiteral("splash"), 0);
    }
};

QTEST_MAIN(TestMainFrameScreens)
#include "tst_mainframescreens.moc"
