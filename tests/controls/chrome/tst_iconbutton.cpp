#include "controls/chrome/IconButton.h"

#include "platform/RecordingShell.h"

#include "../../support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <memory>

using namespace platform;

namespace {

const QRgb iconColour = qRgb(200, 100, 40);

QPixmap solidIcon(int side = 16) {
    QPixmap pixmap(side, side);
    pixmap.fill(QColor(iconColour));
    return pixmap;
}

QRgb pixelAt(QWidget* widget, const QPoint& point) {
    return widget->grab().toImage().pixel(point) | 0xFF000000u;
}

QRgb sys(int index) {
    return sysColor(index).rgb();
}

// A window with one 32 x 32 flat icon button, as on the job pane.
struct Fixture {
    Fixture() {
        window.resize(100, 60);
        button = new CIconButton(&window);
        button->setGeometry(10, 10, 32, 32);
        button->SetIcon(solidIcon(), CIconButton::DarkerOutIcon);
        button->SetTooltipText(QStringLiteral("Open File (Ctrl+O)"));
        window.show();
        window.activateWindow(); // focus needs an active window, on any display
    }
    // The pointer comes from outside: a move to where it already is would be no move.
    void hover() {
        QTest::mouseMove(&window, QPoint(90, 55));
        QTest::mouseMove(button, QPoint(16, 16));
    }
    QRgb corner(bool bottomRight = false) const {
        return pixelAt(button, bottomRight ? QPoint(31, 31) : QPoint(0, 0));
    }

    QWidget window;
    CIconButton* button;
};

void sendDoubleClick(QWidget* widget, const QPoint& at) {
    QMouseEvent event(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestIconButton : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // The frames are told apart by these colours.
        QVERIFY(sys(COLOR_BTNFACE) != sys(COLOR_BTNHIGHLIGHT));
        QVERIFY(sys(COLOR_BTNFACE) != sys(COLOR_BTNSHADOW));
        QVERIFY(sys(COLOR_BTNHIGHLIGHT) != sys(COLOR_BTNSHADOW));
    }
    // Menus, tips and dialogs shown off screen print a notice that is no fault.
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void flatUntilHoveredAndFlatAgainAfterLeaving() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCOMPARE(f.corner(), sys(COLOR_BTNFACE));
        QCOMPARE(f.corner(true), sys(COLOR_BTNFACE));

        f.hover();
        QTRY_VERIFY(f.button->isHovered());
        QCOMPARE(f.corner(), sys(COLOR_BTNHIGHLIGHT));
        QCOMPARE(f.corner(true), sys(COLOR_BTNSHADOW));

        QTest::mouseMove(&f.window, QPoint(80, 50));
        QTRY_VERIFY(!f.button->isHovered());
        QCOMPARE(f.corner(), sys(COLOR_BTNFACE));
    }

    void losingApplicationActivationFlattens() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.hover();
        QTRY_VERIFY(f.button->isHovered());
        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
        QVERIFY(!f.button->isHovered());
        QCOMPARE(f.corner(), sys(COLOR_BTNFACE));
    }

    void pressSinksAndShiftsTheIcon_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QPoint>("offset");
        QTest::newRow("diagonal") << 0 << QPoint(1, 1);
        QTest::newRow("down") << 1 << QPoint(0, 2);
    }

    void pressSinksAndShiftsTheIcon() {
        QFETCH(int, style);
        QFETCH(QPoint, offset);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.button->SetPressedStyle(style);
        const QRect resting = f.button->iconRect();
        QCOMPARE(resting, QRect(8, 8, 16, 16));
        QSignalSpy clicked(f.button, &QAbstractButton::clicked);

        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(16, 16));
        QCOMPARE(f.button->iconRect(), resting.translated(offset));
        QCOMPARE(f.corner(), sys(COLOR_BTNSHADOW));
        QCOMPARE(f.corner(true), sys(COLOR_BTNHIGHLIGHT));
        QCOMPARE(pixelAt(f.button, resting.bottomRight() + offset), iconColour);
        QCOMPARE(pixelAt(f.button, resting.topLeft()), sys(COLOR_BTNFACE));
        QCOMPARE(clicked.size(), 0);

        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(16, 16));
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(f.button->iconRect(), resting);
        QVERIFY(f.button->hasFocus()); // a click takes the focus
    }

    void disabledShowsDarkerIconAndNoHoverFrame() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.hover();
        QTRY_VERIFY(f.button->isHovered());
        f.button->setEnabled(false);
        QVERIFY(!f.button->isHovered());
        QCOMPARE(pixelAt(f.button, QPoint(16, 16)), qRgb(150, 75, 30));
        QCOMPARE(f.corner(), sys(COLOR_BTNFACE));
        QTest::mouseMove(f.button, QPoint(20, 20));
        QCOMPARE(f.corner(), sys(COLOR_BTNFACE));

        f.button->setEnabled(true);
        QCOMPARE(pixelAt(f.button, QPoint(16, 16)), iconColour);
    }

    void outIconChoices() {
        Fixture f;
        f.button->setEnabled(false);
        f.button->SetIcon(solidIcon(), CIconButton::GrayscaleOutIcon);
        const int gray = qGray(iconColour);
        QCOMPARE(pixelAt(f.button, QPoint(16, 16)), qRgb(gray, gray, gray));
        f.button->SetIcon(solidIcon(), CIconButton::NoOutIcon);
        QCOMPARE(pixelAt(f.button, QPoint(16, 16)), iconColour);
        QPixmap other(16, 16);
        other.fill(Qt::blue);
        f.button->SetIcon(solidIcon(), other);
        QCOMPARE(pixelAt(f.button, QPoint(16, 16)), qRgb(0, 0, 255));
    }

    // The transparent colour is cut out of a bitmap, and the disabled copy keeps the cut.
    void bitmapTransparentColourShowsTheFace() {
        QImage bitmap(16, 16, QImage::Format_RGB32);
        bitmap.fill(qRgb(255, 0, 255));
        QPainter(&bitmap).fillRect(4, 4, 8, 8, QColor(iconColour));
        Fixture f;
        f.button->SetBitmaps(bitmap, RGB(255, 0, 255), CIconButton::DarkerOutIcon);
        const QPoint cut = f.button->iconRect().topLeft();
        const QPoint inside = f.button->iconRect().center();
        QCOMPARE(pixelAt(f.button, cut), sys(COLOR_BTNFACE));
        QCOMPARE(pixelAt(f.button, inside), iconColour);
        f.button->setEnabled(false);
        QCOMPARE(pixelAt(f.button, cut), sys(COLOR_BTNFACE));
        QCOMPARE(pixelAt(f.button, inside), qRgb(150, 75, 30));
    }

    // Transparent pixels stay transparent and partly transparent ones keep their alpha.
    void darkerCopyKeepsTransparency() {
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0, 0, 0, 0));
        image.setPixel(1, 0, qRgba(100, 40, 8, 128));
        const QImage dark = CIconButton::darkerCopy(QPixmap::fromImage(image))
                                .toImage()
                                .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(dark.pixel(0, 0), qRgba(0, 0, 0, 0));
        QCOMPARE(qAlpha(dark.pixel(1, 0)), 128);
        QVERIFY(qAbs(qRed(dark.pixel(1, 0)) - 75) <= 1);
        QVERIFY(qAbs(qGreen(dark.pixel(1, 0)) - 30) <= 1);
    }

    // Press, release, double click, release: what the window system sends for two quick clicks.
    void doubleClickCountsAsTwoClicks() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QSignalSpy clicked(f.button, &QAbstractButton::clicked);
        const QPoint centre(16, 16);
        QTest::mousePress(f.button, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, centre);
        sendDoubleClick(f.button, centre);
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, centre);
        QCOMPARE(clicked.size(), 2);
    }

    void checkBoxModeStaysSunkenWhileChecked() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.button->SetCheck(1);
        QCOMPARE(f.button->GetCheck(), 0); // only check boxes keep a check

        f.button->setCheckable(true);
        QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(16, 16));
        QCOMPARE(f.button->GetCheck(), 1);
        QTest::mouseMove(&f.window, QPoint(80, 50));
        QTRY_VERIFY(!f.button->isHovered());
        QCOMPARE(f.corner(), sys(COLOR_BTNSHADOW));
        // A check box does not move its icon while down.
        QCOMPARE(f.button->iconRect(), QRect(8, 8, 16, 16));

        QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(16, 16));
        QCOMPARE(f.button->GetCheck(), 0);
        QTest::mouseMove(&f.window, QPoint(80, 50));
        QTRY_COMPARE(f.corner(), sys(COLOR_BTNFACE));

        f.button->SetCheck(2);
        QCOMPARE(f.button->GetCheck(), 1);
        f.button->SetCheck(3);
        QCOMPARE(f.button->GetCheck(), 0);
    }

    void iconAndTextPlacement() {
        CIconButton button;
        button.SetIcon(solidIcon());
        button.resize(120, 60);
        QCOMPARE(button.iconRect(), QRect(52, 22, 16, 16)); // no text: centred

        button.setText(QStringLiteral("Start"));
        QCOMPARE(button.iconRect(), QRect(3, 22, 16, 16));
        QCOMPARE(button.textRect().left(), 19);
        QCOMPARE(pixelAt(&button, QPoint(10, 30)), iconColour);

        button.SetAlign(CIconButton::IconAboveText);
        QCOMPARE(button.iconRect(), QRect(52, 3, 16, 16));
        QCOMPARE(button.textRect().top(), 19);

        button.SetAlign(CIconButton::IconRightOfText);
        QCOMPARE(button.iconRect(), QRect(101, 22, 16, 16));
        QCOMPARE(button.textRect().right(), 100);
        QCOMPARE(pixelAt(&button, QPoint(108, 30)), iconColour);
    }

    void textIsEmbossedWhenDisabled() {
        CIconButton button;
        button.setText(QStringLiteral("Stop"));
        button.resize(80, 30);
        button.setEnabled(false);
        const QImage image = button.grab().toImage();
        bool highlight = false;
        bool shadow = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                highlight |= (image.pixel(x, y) | 0xFF000000u) == sys(COLOR_BTNHIGHLIGHT);
                shadow |= (image.pixel(x, y) | 0xFF000000u) == sys(COLOR_BTNSHADOW);
            }
        }
        QVERIFY(highlight && shadow);
    }

    void tooltipAndKeyboard() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCOMPARE(f.button->toolTip(), QStringLiteral("Open File (Ctrl+O)"));
        QCOMPARE(f.button->accessibleName(), QStringLiteral("Open File (Ctrl+O)"));
        f.button->SetTooltipText(QStringLiteral("Stop Convert (Shift+F5)"), false);
        QVERIFY(f.button->toolTip().isEmpty());

        QSignalSpy clicked(f.button, &QAbstractButton::clicked);
        f.button->setFocus();
        QTest::keyClick(f.button, Qt::Key_Space);
        QCOMPARE(clicked.size(), 1);
        // Flat buttons draw no focus rectangle unless asked to.
        QCOMPARE(pixelAt(f.button, QPoint(3, 3)), sys(COLOR_BTNFACE));
        f.button->DrawFlatFocus(true);
        QCOMPARE(pixelAt(f.button, QPoint(3, 3)), sys(COLOR_BTNTEXT));
    }

    // A flat button still shows where the focus is once the keyboard brought it there; a
    // click gives the focus without the rectangle.
    void tabbingToAFlatButtonShowsTheFocus() {
        Fixture f;
        auto* edit = new QLineEdit(&f.window);
        edit->setGeometry(50, 10, 40, 20);
        QWidget::setTabOrder(f.button, edit);
        edit->show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY(f.button->hasFocus());
        QCOMPARE(pixelAt(f.button, QPoint(3, 3)), sys(COLOR_BTNTEXT));

        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(16, 16));
        QVERIFY(f.button->hasFocus());
        QTest::mouseMove(&f.window, QPoint(45, 55));
        QTRY_VERIFY(!f.button->isHovered());
        QCOMPARE(pixelAt(f.button, QPoint(3, 3)), sys(COLOR_BTNFACE));

        QTest::keyClick(f.button, Qt::Key_Tab);
        QVERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(f.button->hasFocus());
        QCOMPARE(pixelAt(f.button, QPoint(3, 3)), sys(COLOR_BTNTEXT));
    }

    void longTipWrapsAtMaxWidth() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QStringList words;
        for (int i = 0; i < 60; ++i)
            words << QStringLiteral("convert%1").arg(i);
        const QString tip = words.join(QLatin1Char(' '));
        f.button->SetTooltipText(tip);
        QHelpEvent help(QEvent::ToolTip, QPoint(16, 16), f.button->mapToGlobal(QPoint(16, 16)));
        QApplication::sendEvent(f.button, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        const QStringList lines = QToolTip::text().split(QLatin1Char('\n'));
        QToolTip::hideText();
        QVERIFY(lines.size() > 1);
        const QFontMetrics metrics(QToolTip::font());
        for (const QString& line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= CIconButton::MaxTipWidth, qPrintable(line));
        QCOMPARE(lines.join(QLatin1Char(' ')), tip); // no word lost or split
    }

    // A default button answers Enter from anywhere in its dialog and, when not flat, wears a
    // black frame; it hands both over while another push button has the focus.
    void defaultButtonAnswersEnterAndWearsTheBlackFrame() {
        QDialog dialog;
        dialog.resize(200, 60);
        auto* edit = new QLineEdit(&dialog);
        edit->setGeometry(0, 0, 80, 24);
        auto* button = new CIconButton(&dialog);
        button->setGeometry(100, 10, 32, 32);
        button->SetIcon(solidIcon());
        button->SetFlat(false);
        button->setDefault(true);
        auto* other = new QPushButton(QStringLiteral("Other"), &dialog);
        other->setGeometry(140, 10, 50, 32);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        edit->setFocus();
        QCOMPARE(pixelAt(button, QPoint(0, 0)), qRgb(0, 0, 0));
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(clicked.size(), 1);

        other->setFocus();
        QVERIFY(!button->isDefault());
        QCOMPARE(pixelAt(button, QPoint(0, 0)), sys(COLOR_BTNHIGHLIGHT));
        edit->setFocus();
        QVERIFY(button->isDefault());
        button->SetFlat(true);
        QCOMPARE(pixelAt(button, QPoint(0, 0)), sys(COLOR_BTNFACE));
    }

    void transparentButtonShowsTheParent() {
        Fixture f;
        f.window.setAutoFillBackground(true);
        QPalette palette = f.window.palette();
        palette.setColor(QPalette::Window, QColor(0, 160, 0));
        f.window.setPalette(palette);
        f.button->DrawTransparent(true);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        const QImage image = f.window.grab(f.button->geometry()).toImage();
        QCOMPARE(image.pixel(0, 0) | 0xFF000000u, qRgb(0, 160, 0));
        QCOMPARE(image.pixel(16, 16) | 0xFF000000u, iconColour);
    }

    void linkOpensThroughTheShellWithoutComplaint() {
        RecordingShell shell;
        Shell::setInstance(&shell);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.button->SetURL(QStringLiteral("https://www.corvanta.example/"));
        shell.setFailure(QStringLiteral("no browser"));
        QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(16, 16));
        QCOMPARE(shell.requests().size(), 1);
        QCOMPARE(shell.requests().at(0).target, QStringLiteral("https://www.corvanta.example/"));
        // A check box only toggles.
        f.button->setCheckable(true);
        QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(16, 16));
        QCOMPARE(shell.requests().size(), 1);
    }

    // The menu drops from the bottom-left corner, the button stays down meanwhile, and the
    // chosen action triggers.
    void menuDropsBelowAndTriggersTheChoice() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QMenu menu;
        QAction* first = menu.addAction(QStringLiteral("Open File"));
        QAction* second = menu.addAction(QStringLiteral("Import Directory"));
        QSignalSpy chosen(second, &QAction::triggered);
        f.button->SetMenu(&menu);
        QPoint shownAt;
        QRgb cornerWhileOpen = 0;
        QTimer::singleShot(50, &menu, [&] {
            shownAt = menu.pos();
            cornerWhileOpen = f.corner();
            menu.setActiveAction(first);
            QTest::keyClick(&menu, Qt::Key_Down);
            QTest::keyClick(&menu, Qt::Key_Return);
        });
        QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(16, 16));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(shownAt, f.button->mapToGlobal(QPoint(0, 32)));
        QCOMPARE(cornerWhileOpen, sys(COLOR_BTNSHADOW));
        QCOMPARE(f.corner(), sys(COLOR_BTNFACE));
    }

    void raisedBorderWhenNotFlat() {
        Fixture f;
        f.button->SetFlat(false);
        QCOMPARE(f.corner(), sys(COLOR_BTNHIGHLIGHT));
        QCOMPARE(f.corner(true), sys(COLOR_3DDKSHADOW));
        f.button->SetColor(CIconButton::BkColorOut, RGB(10, 200, 10));
        // A parent of its own colours is no change of the system colours.
        QWidget tinted;
        tinted.setPalette(QPalette(QColor(90, 90, 200)));
        f.button->setParent(&tinted);
        f.button->show();
        QCoreApplication::processEvents();
        QCOMPARE(pixelAt(f.button, QPoint(4, 4)), qRgb(10, 200, 10));
        f.button->setParent(&f.window);
        // New system colours replace the custom ones; default colours follow the palette.
        QPalette changed = f.button->palette();
        changed.setColor(QPalette::Button, QColor(250, 240, 200));
        const QPalette original = QApplication::palette();
        QApplication::setPalette(changed);
        QTRY_COMPARE(f.button->GetColor(CIconButton::BkColorOut), CLR_DEFAULT);
        QCOMPARE(pixelAt(f.button, QPoint(4, 4)), qRgb(250, 240, 200));
        QApplication::setPalette(original);
    }
};

QTEST_MAIN(TestIconButton)
#include "tst_iconbutton.moc"
