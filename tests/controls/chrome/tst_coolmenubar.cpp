#include "controls/chrome/CoolMenuBar.h"
#include "controls/chrome/MenuXP.h"

#include "platform/Colors.h"

#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace platform;

namespace {

QMenu* openPopup() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QRgb sys(int index) {
    return sysColor(index).rgb();
}

// An editor that takes Alt+F for itself, as a widget with its own use for the key would.
class AltFEdit : public QLineEdit {
public:
    int altFPresses = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride && isAltF(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QLineEdit::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (isAltF(event))
            ++altFPresses;
        QLineEdit::keyPressEvent(event);
    }

private:
    static bool isAltF(const QKeyEvent* key) {
        return key->key() == Qt::Key_F && key->modifiers() == Qt::AltModifier;
    }
};

// A window with the bar over an editor, the way the main window holds it.
struct Fixture {
    explicit Fixture(const QStringList& titles = {QStringLiteral("&File"), QStringLiteral("&Edit"),
                                                  QStringLiteral("&Help")}) {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        bar = new CCoolMenuBar;
        layout->addWidget(bar);
        editor = new AltFEdit;
        layout->addWidget(editor);
        layout->addStretch();
        for (const QString& title : titles)
            menus.append(new QMenu(title, &window));
        menus[0]->addAction(QStringLiteral("&Open File...\tCtrl+O"));
        menus[0]->addAction(QStringLiteral("Open &Directory...\tCtrl+D"));
        menus[0]->addSeparator();
        exit = menus[0]->addAction(QStringLiteral("E&xit"));
        menus[1]->addAction(QStringLiteral("Remove Selected\tDel"));
        marks = menus[1]->addMenu(QStringLiteral("&Marks"));
        marks->addAction(QStringLiteral("&Tick"));
        menus[1]->addAction(QStringLiteral("Remove All\tCtrl+Del"));
        menus[2]->addAction(QStringLiteral("&About Folverin..."));
        bar->SetMenus(menus);
        window.resize(400, 200);
        window.show();
        window.activateWindow();
        editor->setFocus();
    }
    ~Fixture() {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
    QPoint at(int button) const { return bar->mapTo(&window, bar->ButtonRect(button).center()); }
    // Through the window, so that an open popup gets the pointer as under a real grab.
    void click(int button) { QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at(button)); }
    void point(int button) { QTest::mouseMove(window.windowHandle(), at(button)); }
    QRgb barPixel(const QPoint& point) const { return bar->grab().toImage().pixel(point); }
    bool opened(int menu) const {
        return openPopup() == menus[menu] && bar->TrackedMenu() == menus[menu] &&
               menus[menu]->activeAction() == menus[menu]->actions().constFirst();
    }

    QWidget window;
    CCoolMenuBar* bar;
    AltFEdit* editor;
    QList<QMenu*> menus;
    QMenu* marks;
    QAction* exit;
};

} // namespace

class TestCoolMenuBar : public QObject {
    Q_OBJECT

private:
    QFont defaultFont;

private Q_SLOTS:
    void initTestCase() { defaultFont = QApplication::font(); }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() {
        QApplication::setFont(defaultFont);
        testsupport::removeOffscreenNoticeFilter();
    }

    // Flat buttons side by side on the light blue, sized by the system's menu font, which
    // the bar asks for again when the desktop's font changes.
    void buttonsFollowTheMenuFont() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCOMPARE(f.bar->ButtonCount(), 3);
        QCOMPARE(f.bar->ButtonText(1), QStringLiteral("&Edit"));
        for (const QMenu* menu : f.menus)
            QVERIFY(CMenuXP::IsApplied(menu));
        const auto checkSizes = [&f] {
            const QFontMetrics fm(QApplication::font("QMenu"));
            QCOMPARE(f.bar->font(), QApplication::font("QMenu"));
            QCOMPARE(f.bar->sizeHint().height(), fm.height() + 10);
            QCOMPARE(f.bar->height(), f.bar->sizeHint().height());
            for (int i = 0; i < 3; ++i) {
                const QRect button = f.bar->ButtonRect(i);
                QCOMPARE(button.height(), fm.height() + 6);
                QVERIFY(button.width() > fm.size(Qt::TextShowMnemonic, f.bar->ButtonText(i)).width());
                if (i > 0)
                    QCOMPARE(button.left(), f.bar->ButtonRect(i - 1).right() + 1);
            }
            QCOMPARE(f.bar->sizeHint().width(), f.bar->ButtonRect(2).right() + 3);
        };
        checkSizes();
        QCOMPARE(f.barPixel(QPoint(f.bar->ButtonRect(2).right() + 5, 5)), toQColor(LIGHT_BLUE).rgb());
        QCOMPARE(f.barPixel(f.bar->ButtonRect(0).topLeft()), toQColor(LIGHT_BLUE).rgb());

        QFont large = defaultFont;
        large.setPixelSize(24);
        QApplication::setFont(large);
        QTRY_COMPARE(f.bar->font(), QApplication::font("QMenu"));
        QTRY_COMPARE(f.bar->height(), f.bar->sizeHint().height());
        checkSizes();
    }

    // "&&" is an ampersand shown, not a mnemonic.
    void doubledAmpersandIsNoMnemonic() {
        Fixture f({QStringLiteral("&File"), QStringLiteral("R&&D"), QStringLiteral("&Help")});
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        Fixture plain({QStringLiteral("&File"), QStringLiteral("RD"), QStringLiteral("&Help")});
        const QFontMetrics fm(f.bar->font());
        QCOMPARE(f.bar->ButtonRect(1).width() - plain.bar->ButtonRect(1).width(),
                 fm.horizontalAdvance(QLatin1Char('&')));
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.editor->setFocus();
        QTest::keyClick(f.editor, Qt::Key_D, Qt::AltModifier);
        QTest::keyClick(f.editor, Qt::Key_Ampersand, Qt::AltModifier);
        QVERIFY(!openPopup());
        QTest::keyClick(f.editor, Qt::Key_H, Qt::AltModifier);
        QVERIFY(f.opened(2));
    }

    void clickOpensThePopupBelowItsButton() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        // Flat until pointed at.
        f.point(2);
        QCOMPARE(f.bar->HotButton(), 2);
        QCOMPARE(f.barPixel(f.bar->ButtonRect(2).topLeft()), sys(COLOR_BTNHIGHLIGHT));
        const QPoint pastTheButtons(f.bar->ButtonRect(2).right() + 20, f.bar->ButtonRect(2).center().y());
        QTest::mouseMove(f.window.windowHandle(), f.bar->mapTo(&f.window, pastTheButtons));
        QCOMPARE(f.bar->HotButton(), -1);
        f.point(2);
        QTest::mouseMove(f.window.windowHandle(), f.editor->geometry().center());
        QCOMPARE(f.bar->HotButton(), -1);
        QCOMPARE(f.barPixel(f.bar->ButtonRect(2).topLeft()), toQColor(LIGHT_BLUE).rgb());

        f.click(0);
        QVERIFY(f.opened(0));
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::Popup);
        QCOMPARE(f.bar->HotButton(), 0);
        const QRect button = f.bar->ButtonRect(0);
        QCOMPARE(f.menus[0]->pos(), f.bar->mapToGlobal(button.bottomLeft()));
        // Pressed while its popup is open.
        QCOMPARE(f.barPixel(button.topLeft()), sys(COLOR_BTNSHADOW));
        QCOMPARE(f.barPixel(button.bottomRight()), sys(COLOR_BTNHIGHLIGHT));

        // A second click on the button closes the popup, and the click does not open it again.
        f.click(0);
        QVERIFY(!openPopup());
        QTest::qWait(20);
        QVERIFY(!openPopup());
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);

        // Choosing an item closes the popup and lets the bar rest.
        QSignalSpy exits(f.exit, &QAction::triggered);
        f.click(0);
        QVERIFY(f.opened(0));
        QTest::mouseClick(f.menus[0], Qt::LeftButton, {}, f.menus[0]->actionGeometry(f.exit).center());
        QCOMPARE(exits.size(), 1);
        QVERIFY(!openPopup());
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);
    }

    // A menu deleted while its popup is open must not leave the bar waiting for it.
    void menuDeletedWhileOpenLeavesTheBarUsable() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.click(0);
        QVERIFY(f.opened(0));
        delete f.menus[0];
        QVERIFY(!openPopup());
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);
        QVERIFY(!f.bar->TrackedMenu());
        f.click(1);
        QVERIFY(f.opened(1));
        QTest::keyClick(openPopup(), Qt::Key_Escape);
        f.click(0);
        QVERIFY(!openPopup());
    }

    void pointingAtAnotherButtonSwitchesPopups() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.click(0);
        QVERIFY(f.opened(0));
        // The popup's top line lies over the bottom row of the buttons; pointing there is
        // pointing at the popup.
        const QPoint popupTop =
            f.bar->mapTo(&f.window, QPoint(f.bar->ButtonRect(1).center().x(), f.bar->ButtonRect(1).bottom()));
        QVERIFY(f.menus[0]->geometry().contains(f.window.mapToGlobal(popupTop)));
        QTest::mouseMove(f.window.windowHandle(), popupTop);
        QTest::qWait(20);
        QCOMPARE(openPopup(), f.menus[0]);
        f.point(1);
        QTRY_VERIFY(f.opened(1));
        QCOMPARE(f.menus[1]->pos(), f.bar->mapToGlobal(f.bar->ButtonRect(1).bottomLeft()));
        QCOMPARE(f.bar->HotButton(), 1);
        f.point(2);
        QTRY_VERIFY(f.opened(2));
        // Moving inside the popup keeps it.
        const QPoint inside = f.menus[2]->mapToGlobal(QPoint(10, 10));
        QTest::mouseMove(f.window.windowHandle(), f.window.mapFromGlobal(inside));
        QTest::qWait(20);
        QCOMPARE(openPopup(), f.menus[2]);
        // Clicking another button goes there at once.
        f.click(0);
        QTRY_VERIFY(f.opened(0));
    }

    void leftAndRightWalkTheMenusAndWrap() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.click(0);
        QVERIFY(f.opened(0));
        QTest::keyClick(openPopup(), Qt::Key_Left);
        QTRY_VERIFY(f.opened(2));
        QTest::keyClick(openPopup(), Qt::Key_Right);
        QTRY_VERIFY(f.opened(0));
        QTest::keyClick(openPopup(), Qt::Key_Right);
        QTRY_VERIFY(f.opened(1));
        // Right on an item with a submenu opens the submenu; Escape there closes it alone.
        QTest::keyClick(openPopup(), Qt::Key_Down);
        QTest::keyClick(openPopup(), Qt::Key_Right);
        QTRY_COMPARE(openPopup(), f.marks);
        QCOMPARE(f.bar->TrackedMenu(), f.menus[1]);
        QTest::keyClick(f.marks, Qt::Key_Escape);
        QCOMPARE(openPopup(), f.menus[1]);
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::Popup);
        QTest::keyClick(openPopup(), Qt::Key_Right);
        QTRY_COMPARE(openPopup(), f.marks);
        // Right in the submenu on an item without one goes on to the next menu.
        QTest::keyClick(f.marks, Qt::Key_Right);
        QTRY_VERIFY(f.opened(2));
        QVERIFY(!f.marks->isVisible());
    }

    void escapeClosesAndLeavesTheButtonHot() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.click(1);
        QVERIFY(f.opened(1));
        QTest::keyClick(openPopup(), Qt::Key_Escape);
        QVERIFY(!openPopup());
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::Button);
        QCOMPARE(f.bar->HotButton(), 1);
        const QRect button = f.bar->ButtonRect(1);
        QCOMPARE(f.barPixel(button.topLeft()), sys(COLOR_BTNHIGHLIGHT));
        QCOMPARE(f.barPixel(button.bottomRight()), sys(COLOR_BTNSHADOW));
        // The bar has the keyboard now.
        QTest::keyClick(f.bar, Qt::Key_Left);
        QCOMPARE(f.bar->HotButton(), 0);
        QTest::keyClick(f.bar, Qt::Key_Down);
        QVERIFY(f.opened(0));
        QTest::keyClick(openPopup(), Qt::Key_Escape);
        QCOMPARE(f.bar->HotButton(), 0);
        QTest::keyClick(f.bar, Qt::Key_Escape);
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);
        QCOMPARE(f.bar->HotButton(), -1);
        QCOMPARE(QApplication::focusWidget(), f.editor);
    }

    void altAloneOrF10GiveTheBarTheKeyboard() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keyClick(f.editor, Qt::Key_Alt);
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::Button);
        QCOMPARE(f.bar->HotButton(), 0);
        QVERIFY(f.bar->hasFocus());
        QTest::keyClick(f.bar, Qt::Key_Right);
        QTest::keyClick(f.bar, Qt::Key_Right);
        QTest::keyClick(f.bar, Qt::Key_Right);
        QCOMPARE(f.bar->HotButton(), 0);
        QTest::keyClick(f.bar, Qt::Key_Left);
        QCOMPARE(f.bar->HotButton(), 2);
        QTest::keyClick(f.bar, Qt::Key_Alt);
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);
        QCOMPARE(QApplication::focusWidget(), f.editor);

        // Alt with another key in between is no tap, even when Alt comes up first.
        QTest::keyPress(f.editor, Qt::Key_Alt);
        QTest::keyPress(f.editor, Qt::Key_Q, Qt::AltModifier);
        QTest::keyRelease(f.editor, Qt::Key_Alt);
        QTest::keyRelease(f.editor, Qt::Key_Q);
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);

        QTest::keyClick(f.editor, Qt::Key_F10);
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::Button);
        QTest::keyClick(f.bar, Qt::Key_F10);
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);
        QCOMPARE(QApplication::focusWidget(), f.editor);

        // Each opening key opens the hot button's popup; a chosen item gives the keyboard back.
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
            QTest::keyClick(f.editor, Qt::Key_F10);
            QTest::keyClick(f.bar, Qt::Key_Right);
            QTest::keyClick(f.bar, key);
            QVERIFY2(openPopup() == f.menus[1] && f.bar->TrackedMenu() == f.menus[1],
                     qPrintable(QKeySequence(key).toString()));
            QTest::keyClick(openPopup(), Qt::Key_Return);
            QVERIFY(!openPopup());
            QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);
            QCOMPARE(QApplication::focusWidget(), f.editor);
        }
    }

    void altLetterOpensByMnemonic() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keyClick(f.editor, Qt::Key_E, Qt::AltModifier);
        QVERIFY(f.opened(1));
        QTest::keyClick(openPopup(), Qt::Key_Escape);
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::Button);
        QCOMPARE(f.bar->HotButton(), 1);
        // With the keyboard on the bar a letter alone is enough.
        QTest::keyClick(f.bar, Qt::Key_H);
        QVERIFY(f.opened(2));
        // With a popup open, another title's mnemonic goes to its menu.
        QTest::keyClick(openPopup(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(f.opened(0));
    }

    // The bar takes no key that belongs to someone else: a widget that uses Alt+F, a modal
    // dialog, the window's own accelerators outside the bar's keyboard mode.
    void keysOfOthersStayWithThem() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keyClick(f.editor, Qt::Key_F, Qt::AltModifier);
        QVERIFY(!openPopup());
        QCOMPARE(f.editor->altFPresses, 1);

        auto* space = new QAction(&f.window);
        space->setShortcut(Qt::Key_Space);
        f.window.addAction(space);
        QSignalSpy spaces(space, &QAction::triggered);
        auto* plain = new QWidget(&f.window);
        plain->setFocusPolicy(Qt::StrongFocus);
        plain->show();
        plain->setFocus();
        QTest::keyClick(plain, Qt::Key_Space);
        QCOMPARE(spaces.size(), 1);
        QTest::keyClick(plain, Qt::Key_F10);
        QTest::keyClick(f.bar, Qt::Key_Space);
        QCOMPARE(spaces.size(), 1);
        QVERIFY(f.opened(0));
        QTest::keyClick(openPopup(), Qt::Key_Escape);
        QTest::keyClick(f.bar, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), plain);

        QDialog dialog(&f.window);
        auto* field = new QLineEdit(&dialog);
        dialog.open();
        dialog.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &dialog);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_H, Qt::AltModifier);
        QTest::keyClick(field, Qt::Key_Alt);
        QTest::keyClick(field, Qt::Key_F10);
        QVERIFY(!openPopup());
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);
        QCOMPARE(QApplication::focusWidget(), field);
        dialog.close();

        // Nor do the keys of another window.
        QLineEdit other;
        other.show();
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);
        QTest::keyClick(&other, Qt::Key_H, Qt::AltModifier);
        QTest::keyClick(&other, Qt::Key_F10);
        QVERIFY(!openPopup());
        QCOMPARE(f.bar->GetTrackState(), CCoolMenuBar::TrackState::None);
    }
};

QTEST_MAIN(TestCoolMenuBar)
#include "tst_coolmenubar.moc"
