#include "controls/chrome/MenuXP.h"
#include "controls/chrome/MenuXPColors.h"
#include "controls/chrome/MenuXPStyle.h"

#include "TestSupport.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace platform;

namespace {

constexpr int openFileId = 32770;
constexpr int stopConvertId = 32782;
const QColor openFileColour(200, 30, 30);
const QColor stopConvertColour(30, 30, 200);

QIcon solidIcon(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QRgb rgb(COLORREF color) {
    return toQColor(color).rgb();
}

// The columns of row y between left and right whose pixels differ from background.
struct Ink {
    int left = -1;
    int right = -1;
    int count = 0;
};

Ink inkIn(const QImage& image, const QRect& area, QRgb background) {
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == background)
                continue;
            ++ink.count;
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}

bool holdsColour(const QImage& image, const QRect& area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == colour)
                return true;
        }
    }
    return false;
}

// A menu with one item of each kind, in the flat style.
struct MenuFixture {
    MenuFixture() {
        CMenuXP::SetCommandImage(openFileId, solidIcon(openFileColour));
        CMenuXP::SetCommandImage(stopConvertId, solidIcon(stopConvertColour));
        open = menu.addAction(QStringLiteral("&Open File...\tCtrl+O"));
        open->setData(openFileId);
        separator = menu.addSeparator();
        removeAll = menu.addAction(QStringLiteral("Remove &All"));
        removeAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        keepLayout = menu.addAction(QStringLiteral("Keep &Layout"));
        keepLayout->setCheckable(true);
        keepLayout->setChecked(true);
        auto* group = new QActionGroup(&menu);
        textOutput = group->addAction(menu.addAction(QStringLiteral("&Text Output")));
        textOutput->setCheckable(true);
        textOutput->setChecked(true);
        fish = menu.addAction(QStringLiteral("Fish && &Chips"));
        stop = menu.addAction(QStringLiteral("Stop Convert\tShift+F5"));
        stop->setData(stopConvertId);
        stop->setEnabled(false);
        CMenuXP::Apply(&menu);
    }
    ~MenuFixture() {
        CMenuXP::SetCommandImage(openFileId, QIcon());
        CMenuXP::SetCommandImage(stopConvertId, QIcon());
    }
    void show() {
        menu.popup(QPoint(40, 40));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
    }
    QImage image() { return menu.grab().toImage(); }
    QRect item(const QAction* action) const { return menu.actionGeometry(const_cast<QAction*>(action)); }
    // Where an unselected item's 16 x 16 image rests: centred in the 22-pixel column.
    QPoint imageAt(const QAction* action) const {
        const QRect r = item(action);
        return QPoint(r.left() + 3, r.top() + (r.height() - 16) / 2);
    }

    QMenu menu;
    QAction* open;
    QAction* separator;
    QAction* removeAll;
    QAction* keepLayout;
    QAction* textOutput;
    QAction* fish;
    QAction* stop;
};

} // namespace

class TestMenuXP : public QObject {
    Q_OBJECT

private:
    QPalette defaultPalette;
    QFont defaultFont;

private Q_SLOTS:
    void initTestCase() {
        defaultPalette = QApplication::palette();
        defaultFont = QApplication::font();
    }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() {
        QApplication::setPalette(defaultPalette);
        QApplication::setFont(defaultFont);
        testsupport::removeOffscreenNoticeFilter();
    }

    // Expected values from the standard conversions (Python's colorsys), rounded at the end.
    void hlsTransform_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("lightness");
        QTest::addColumn<int>("saturation");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("lighter black") << QColor(0, 0, 0) << 50 << 0 << QColor(128, 128, 128);
        QTest::newRow("darker white") << QColor(255, 255, 255) << -50 << 0 << QColor(128, 128, 128);
        QTest::newRow("paler red keeps its hue") << QColor(255, 0, 0) << 0 << -50 << QColor(191, 64, 64);
        QTest::newRow("no change is exact") << QColor(10, 200, 90) << 0 << 0 << QColor(10, 200, 90);
        QTest::newRow("face +75") << QColor(236, 233, 216) << 75 << 0 << QColor(250, 250, 245);
        QTest::newRow("face -18") << QColor(236, 233, 216) << -18 << 0 << QColor(209, 202, 161);
        QTest::newRow("highlight +70 -57") << QColor(49, 106, 197) << 70 << -57 << QColor(205, 213, 226);
        QTest::newRow("highlight +50 -66") << QColor(49, 106, 197) << 50 << -66 << QColor(175, 186, 203);
    }

    void hlsTransform() {
        QFETCH(QColor, colour);
        QFETCH(int, lightness);
        QFETCH(int, saturation);
        QFETCH(QColor, expected);
        QCOMPARE(toQColor(HLSTransform(fromQColor(colour), lightness, saturation)), expected);
    }

    // The colours come from the desktop's scheme at the moment they are asked for.
    void namedColoursFollowTheDesktopScheme() {
        QPalette xp = defaultPalette;
        xp.setColor(QPalette::Button, QColor(236, 233, 216));
        xp.setColor(QPalette::Highlight, QColor(49, 106, 197));
        QApplication::setPalette(xp);
        QCOMPARE(rgb(menuxp::menuFace()), qRgb(250, 250, 245));
        QCOMPARE(rgb(menuxp::imageColumn()), qRgb(240, 237, 224));
        QCOMPARE(rgb(menuxp::separator()), qRgb(209, 202, 161));
        QCOMPARE(rgb(menuxp::disabledText()), qRgb(209, 202, 161));
        QCOMPARE(rgb(menuxp::selectionFill(false)), qRgb(205, 213, 226));
        QCOMPARE(rgb(menuxp::selectionFill(true)), qRgb(250, 249, 244));
        QCOMPARE(rgb(menuxp::selectionFrame()), qRgb(49, 106, 197));
        QCOMPARE(rgb(menuxp::checkFill(false, false)), qRgb(205, 213, 226));
        QCOMPARE(rgb(menuxp::checkFill(true, false)), qRgb(169, 184, 209));
        QCOMPARE(rgb(menuxp::checkFill(true, true)), qRgb(250, 249, 244));
        QCOMPARE(rgb(menuxp::imageShadow(false)), qRgb(175, 186, 203));
        QCOMPARE(rgb(menuxp::imageShadow(true)), qRgb(196, 187, 134));

        xp.setColor(QPalette::Button, QColor(239, 239, 239));
        QApplication::setPalette(xp);
        QCOMPARE(rgb(menuxp::menuFace()), qRgb(251, 251, 251));
    }

    void borderColumnSeparatorAndImages() {
        MenuFixture f;
        f.show();
        const QImage image = f.image();
        const QRgb face = rgb(menuxp::menuFace());
        const QRgb column = rgb(menuxp::imageColumn());
        // One dark line, then two of the face, and no shadow of its own.
        QCOMPARE(image.pixel(0, 0), rgb(menuxp::border()));
        QCOMPARE(image.pixel(image.width() - 1, image.height() - 1), rgb(menuxp::border()));
        QCOMPARE(image.pixel(1, 1), face);
        QCOMPARE(image.pixel(2, 2), face);
        QCOMPARE(f.item(f.open).topLeft(), QPoint(3, 3));

        const QRect plain = f.item(f.removeAll);
        QCOMPARE(image.pixel(plain.left() + 1, plain.top() + 1), column);
        QCOMPARE(image.pixel(plain.left() + 21, plain.bottom()), column);
        QCOMPARE(image.pixel(plain.left() + 22, plain.top() + 1), face);
        QCOMPARE(image.pixel(plain.right(), plain.bottom()), face);

        const QRect separator = f.item(f.separator);
        const int middle = separator.top() + separator.height() / 2;
        QCOMPARE(image.pixel(separator.left() + 30, middle), rgb(menuxp::separator()));
        QCOMPARE(image.pixel(separator.right(), middle), rgb(menuxp::separator()));
        QCOMPARE(image.pixel(separator.left() + 29, middle), face);
        QCOMPARE(image.pixel(separator.left() + 30, middle - 1), face);
        QCOMPARE(image.pixel(separator.left() + 10, middle), column);

        // The command's picture beside its item, a silhouette for the disabled one, nothing
        // for the others.
        const QPoint openImage = f.imageAt(f.open);
        QCOMPARE(image.pixel(openImage), openFileColour.rgb());
        QCOMPARE(image.pixel(openImage + QPoint(15, 15)), openFileColour.rgb());
        QCOMPARE(image.pixel(openImage - QPoint(1, 0)), column);
        QCOMPARE(image.pixel(f.imageAt(f.stop) + QPoint(8, 8)), rgb(menuxp::imageShadow(true)));
        QCOMPARE(image.pixel(f.imageAt(f.fish) + QPoint(8, 8)), column);
    }

    // The selection: a frame in the highlight colour around a pale fill, the image lifted
    // by a pixel over its shadow; a disabled item can be selected and shows it in grey.
    void selectionFrameAndRaisedImage() {
        MenuFixture f;
        f.show();
        QTest::keyClick(&f.menu, Qt::Key_Down);
        QCOMPARE(f.menu.activeAction(), f.open);
        QImage image = f.image();
        const QRect open = f.item(f.open);
        const QRgb frame = rgb(menuxp::selectionFrame());
        QCOMPARE(image.pixel(open.topLeft()), frame);
        QCOMPARE(image.pixel(open.bottomRight()), frame);
        QCOMPARE(image.pixel(open.left() + 1, open.top() + 1), rgb(menuxp::selectionFill(false)));
        QCOMPARE(image.pixel(open.right() - 1, open.bottom() - 1), rgb(menuxp::selectionFill(false)));
        const QPoint resting = f.imageAt(f.open);
        QCOMPARE(image.pixel(resting - QPoint(1, 1)), openFileColour.rgb());
        QCOMPARE(image.pixel(resting + QPoint(16, 16)), rgb(menuxp::imageShadow(false)));

        QTest::keyClick(&f.menu, Qt::Key_Up);
        QCOMPARE(f.menu.activeAction(), f.stop);
        image = f.image();
        const QRect stop = f.item(f.stop);
        QCOMPARE(image.pixel(stop.topLeft()), frame);
        QCOMPARE(image.pixel(stop.right() - 1, stop.bottom() - 1), rgb(menuxp::selectionFill(true)));
        QCOMPARE(image.pixel(open.left() + 1, open.top() + 1), rgb(menuxp::imageColumn()));
    }

    // A tick for a check item, a dot for a radio item, each in a framed box.
    void checkAndRadioMarks() {
        MenuFixture f;
        f.show();
        const QImage image = f.image();
        const QRgb fill = rgb(menuxp::checkFill(false, false));
        for (const QAction* action : {f.keepLayout, f.textOutput}) {
            const QRect r = f.item(action);
            const QRect box(r.left() + 1, r.top() + 1, 20, r.height() - 2);
            QCOMPARE(image.pixel(box.topLeft()), rgb(menuxp::selectionFrame()));
            QCOMPARE(image.pixel(box.bottomRight()), rgb(menuxp::selectionFrame()));
            QCOMPARE(image.pixel(box.left() + 1, box.top() + 1), fill);
        }
        auto marks = [&](const QAction* action) {
            const QRect r = f.item(action);
            return inkIn(image, QRect(r.left() + 2, r.top() + 2, 18, r.height() - 4), fill);
        };
        const Ink tick = marks(f.keepLayout);
        QVERIFY2(tick.count >= 18 && tick.count <= 24, qPrintable(QString::number(tick.count)));
        QCOMPARE(tick.right - tick.left + 1, 7);
        const Ink dot = marks(f.textOutput);
        QVERIFY2(dot.count >= 40 && dot.count <= 46, qPrintable(QString::number(dot.count)));
        QCOMPARE(dot.right - dot.left + 1, 7);
    }

    // Labels start 30 pixels in, accelerators end 12 pixels before the edge, whether they
    // come after a tab or from the shortcut; "&&" shows one ampersand; disabled text is grey.
    void textsAndAccelerators() {
        MenuFixture f;
        f.show();
        const QImage image = f.image();
        const QRgb face = rgb(menuxp::menuFace());
        const QFontMetrics fm(f.menu.font());
        for (const QAction* action : {f.open, f.removeAll, f.stop}) {
            const QRect r = f.item(action);
            const Ink label = inkIn(image, QRect(r.left() + 22, r.top(), 60, r.height()), face);
            QVERIFY2(label.left >= r.left() + 30 && label.left <= r.left() + 32, qPrintable(action->text()));
            const Ink accelerator = inkIn(image, QRect(r.right() - 40, r.top(), 40, r.height()), face);
            QVERIFY2(accelerator.right <= r.right() - 12 && accelerator.right >= r.right() - 15,
                     qPrintable(action->text()));
        }
        const QRect fish = f.item(f.fish);
        const Ink label =
            inkIn(image, QRect(fish.left() + 22, fish.top(), fish.width() - 22, fish.height()), face);
        const int shown = fm.horizontalAdvance(QStringLiteral("Fish & Chips"));
        QVERIFY2(qAbs(label.right - label.left + 1 - shown) <= 2,
                 qPrintable(QString::number(label.right - label.left)));

        const QRect stopText(f.item(f.stop).left() + 30, f.item(f.stop).top(), 60, f.item(f.stop).height());
        QVERIFY(holdsColour(image, stopText, rgb(menuxp::disabledText())));
        QVERIFY(!holdsColour(image, stopText, rgb(menuxp::normalText())));
        const QRect fishText(fish.left() + 30, fish.top(), 60, fish.height());
        QVERIFY(holdsColour(image, fishText, rgb(menuxp::normalText())));

        QSignalSpy chosen(f.fish, &QAction::triggered);
        QTest::keyClick(&f.menu, Qt::Key_C);
        QCOMPARE(chosen.size(), 1);
    }

    void geometryFollowsTheMenuFont_data() {
        QTest::addColumn<int>("pixelSize"); // 0: the default font
        QTest::newRow("default") << 0;
        QTest::newRow("large") << 24;
    }

    void geometryFollowsTheMenuFont() {
        QFETCH(int, pixelSize);
        if (pixelSize) {
            QFont large = defaultFont;
            large.setPixelSize(pixelSize);
            QApplication::setFont(large);
        }
        MenuFixture f;
        f.show();
        const QFontMetrics fm(f.menu.font());
        QCOMPARE(fm.height(), QFontMetrics(QApplication::font()).height());
        const int height = fm.height() + 2 > 16 ? fm.height() + 6 : 20;
        QCOMPARE(CMenuXPStyle::itemHeight(fm), height);
        QCOMPARE(f.item(f.open).height(), height);
        QCOMPARE(f.item(f.stop).height(), height);
        QCOMPARE(f.item(f.separator).height(), fm.height() / 2 + 2);
        // Every item as wide as the widest label and accelerator with their margins.
        int widestLabel = 0;
        for (const char* label : {"&Open File...", "Remove &All", "Keep &Layout", "&Text Output",
                                  "Fish && &Chips", "Stop Convert"})
            widestLabel = std::max(widestLabel, fm.size(Qt::TextShowMnemonic, QLatin1String(label)).width());
        int widestAccelerator = 0;
        for (const QString& accelerator :
             {QStringLiteral("Ctrl+O"),
              QKeySequence(Qt::CTRL | Qt::Key_Delete).toString(QKeySequence::NativeText),
              QStringLiteral("Shift+F5")})
            widestAccelerator = std::max(widestAccelerator, fm.horizontalAdvance(accelerator));
        QCOMPARE(f.item(f.fish).width(), 30 + widestLabel + 12 + widestAccelerator + 12);
        QCOMPARE(f.menu.width(), f.item(f.fish).width() + 6);
    }

    // Submenus there now and added later take the style; a loop among menus does not hang.
    void submenusTakeTheStyle() {
        QMenu top;
        QMenu* breaks = top.addMenu(QStringLiteral("Page &Breaks"));
        CMenuXP::Apply(&top);
        QVERIFY(CMenuXP::IsApplied(&top));
        QVERIFY(CMenuXP::IsApplied(breaks));
        QMenu* later = breaks->addMenu(QStringLiteral("&Later"));
        QVERIFY(!CMenuXP::IsApplied(later));
        breaks->popup(QPoint(10, 10));
        QVERIFY(CMenuXP::IsApplied(later));
        breaks->close();

        QMenu first;
        QMenu second;
        first.addMenu(&second);
        second.addMenu(&first);
        CMenuXP::Apply(&first);
        QVERIFY(CMenuXP::IsApplied(&second));
    }

    // A context menu opened on a right click draws flat as well.
    void contextMenuDrawsFlat() {
        MenuFixture f;
        QWidget window;
        window.resize(200, 100);
        window.setContextMenuPolicy(Qt::CustomContextMenu);
        connect(&window, &QWidget::customContextMenuRequested, &f.menu,
                [&](const QPoint& at) { f.menu.exec(window.mapToGlobal(at)); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QRgb corner = 0;
        QRgb image = 0;
        QTimer::singleShot(0, &f.menu, [&] {
            const QImage shown = f.image();
            corner = shown.pixel(0, 0);
            image = shown.pixel(f.imageAt(f.open));
            f.menu.close();
        });
        QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, QPoint(50, 50));
        QCOMPARE(corner, rgb(menuxp::border()));
        QCOMPARE(image, openFileColour.rgb());
    }
};

QTEST_MAIN(TestMenuXP)
#include "tst_menuxp.moc"
