#include "controls/chrome/CoolMenuBar.h"

#include "MenusDemoPage.h"
#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include <memory>

namespace {

// The window and its open popups as they stand on the screen, in one picture.
QPixmap onScreen(QWidget* window, const QList<QWidget*>& popups) {
    const QRect windowArea(window->mapToGlobal(QPoint(0, 0)), window->size());
    QRect all = windowArea;
    for (const QWidget* popup : popups)
        all = all.united(popup->geometry());
    QPixmap canvas(all.size());
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawPixmap(windowArea.topLeft() - all.topLeft(), window->grab());
    for (QWidget* popup : popups)
        painter.drawPixmap(popup->geometry().topLeft() - all.topLeft(), popup->grab());
    return canvas;
}

QMenu* openPopup() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

} // namespace

// Saves the menu bar and its popups in their states for a person to look at, at the default
// font and at a large one.
class TestMenusScreenshots : public QObject {
    Q_OBJECT

private:
    QFont defaultFont;
    std::unique_ptr<QWidget> page;
    CCoolMenuBar* bar = nullptr;

    void save(const QString& state, const QList<QWidget*>& popups) {
        QLabel picture;
        picture.setPixmap(onScreen(page.get(), popups));
        picture.resize(picture.pixmap().size());
        QVERIFY(!testsupport::saveScreenshot(&picture, QStringLiteral("chrome"), state).isEmpty());
    }

    void openByClick(int button) {
        QTest::mouseClick(page->windowHandle(), Qt::LeftButton, {},
                          bar->mapTo(page.get(), bar->ButtonRect(button).center()));
        QTRY_VERIFY(openPopup() && openPopup() == bar->TrackedMenu());
    }

    void closeAll() {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

private Q_SLOTS:
    void initTestCase() { defaultFont = QApplication::font(); }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() {
        closeAll();
        page.reset();
        QApplication::setFont(defaultFont);
        testsupport::removeOffscreenNoticeFilter();
    }

    void screens_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("pointSize"); // 0: the default font
        QTest::newRow("default") << QString() << 0;
        QTest::newRow("large font") << QStringLiteral("-largefont") << 16;
    }

    void screens() {
        QFETCH(QString, suffix);
        QFETCH(int, pointSize);
        if (pointSize) {
            QFont large = defaultFont;
            large.setPointSize(pointSize);
            QApplication::setFont(large);
        }
        page.reset(createMenusDemoPage());
        bar = page->findChild<CCoolMenuBar*>();
        QVERIFY(bar);
        page->resize(pointSize ? 760 : 520, pointSize ? 560 : 400);
        page->show();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        save(QStringLiteral("menubar") + suffix, {});

        QTest::keyClick(page.get(), Qt::Key_Alt);
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->HotButton(), 1);
        save(QStringLiteral("menubar-keyboard") + suffix, {});
        QTest::keyClick(bar, Qt::Key_Escape);

        openByClick(0);
        save(QStringLiteral("menu-file") + suffix, {openPopup()});

        // Images, accelerators and the disabled Stop Convert, with an image item selected.
        openByClick(1);
        QTest::keyClick(openPopup(), Qt::Key_Down);
        QTest::keyClick(openPopup(), Qt::Key_Down);
        save(QStringLiteral("menu-edit") + suffix, {openPopup()});

        // Check and radio marks, a checked image, a submenu, the disabled last item selected.
        openByClick(2);
        QTest::keyClick(openPopup(), Qt::Key_Up);
        save(QStringLiteral("menu-options") + suffix, {openPopup()});
        QTest::keyClick(openPopup(), Qt::Key_Up);
        QTest::keyClick(openPopup(), Qt::Key_Up);
        QTest::keyClick(openPopup(), Qt::Key_Right);
        QTRY_VERIFY(openPopup() != bar->TrackedMenu());
        save(QStringLiteral("menu-submenu") + suffix, {bar->TrackedMenu(), openPopup()});
        closeAll();

        // The job list's context menu, flat as well.
        const QWidget* area = page->findChild<QWidget*>(QStringLiteral("contextArea"));
        QVERIFY(area);
        QTest::mouseClick(page->windowHandle(), Qt::RightButton, {}, area->mapTo(page.get(), QPoint(60, 30)));
        QTRY_VERIFY(openPopup());
        QTest::keyClick(openPopup(), Qt::Key_Down);
        save(QStringLiteral("menu-context") + suffix, {openPopup()});
    }
};

QTEST_MAIN(TestMenusScreenshots)
#include "tst_menus_screenshots.moc"
