#include "platform/Colors.h"

#include "../support/TestSupport.h"

#include <QApplication>
#include <QPalette>
#include <QTest>

using namespace platform;

class TestColors : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }
    void cleanup() { QApplication::setPalette(QPalette()); }

    void byteLayoutMatchesStoredValues() {
        static_assert(RGB(0x12, 0x34, 0x56) == 0x00563412u);
        static_assert(LIGHT_BLUE == 0x00FDF6E3u);
        static_assert(GetRValue(LIGHT_BLUE) == 227 && GetGValue(LIGHT_BLUE) == 246 &&
                      GetBValue(LIGHT_BLUE) == 253);
        // Out-of-range components are cut to a byte, never bleed into the next one.
        static_assert(RGB(256 + 1, 0, 0) == 0x00000001u);
        static_assert(CLR_DEFAULT == 0xFF000000u && CLR_NONE == 0xFFFFFFFFu);
    }

    void convertsToAndFromQColor() {
        QCOMPARE(toQColor(RGB(227, 246, 253)), QColor(227, 246, 253));
        QCOMPARE(fromQColor(QColor(1, 2, 3)), RGB(1, 2, 3));
        QVERIFY(!toQColor(CLR_DEFAULT).isValid());
        QCOMPARE(toQColor(CLR_NONE).alpha(), 0);
        QCOMPARE(fromQColor(QColor()), CLR_DEFAULT);
        QCOMPARE(fromQColor(QColor(Qt::transparent)), CLR_NONE);
        // A colour given in another model still lands on its RGB bytes.
        QCOMPARE(fromQColor(QColor::fromHsv(0, 255, 255)), RGB(255, 0, 0));
        // Black and white are ordinary colours, not the special values.
        QCOMPARE(toQColor(RGB(0, 0, 0)), QColor(Qt::black));
        QCOMPARE(toQColor(RGB(255, 255, 255)), QColor(Qt::white));
    }

    void systemColorsFollowThePaletteAtCallTime_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("role");
        QTest::newRow("window") << COLOR_WINDOW << int(QPalette::Active) << int(QPalette::Base);
        QTest::newRow("window text") << COLOR_WINDOWTEXT << int(QPalette::Active) << int(QPalette::Text);
        QTest::newRow("highlight") << COLOR_HIGHLIGHT << int(QPalette::Active) << int(QPalette::Highlight);
        QTest::newRow("highlight text")
            << COLOR_HIGHLIGHTTEXT << int(QPalette::Active) << int(QPalette::HighlightedText);
        QTest::newRow("button face") << COLOR_BTNFACE << int(QPalette::Active) << int(QPalette::Button);
        QTest::newRow("button text") << COLOR_BTNTEXT << int(QPalette::Active) << int(QPalette::ButtonText);
        QTest::newRow("button shadow") << COLOR_BTNSHADOW << int(QPalette::Active) << int(QPalette::Dark);
        QTest::newRow("button highlight")
            << COLOR_BTNHIGHLIGHT << int(QPalette::Active) << int(QPalette::Light);
        QTest::newRow("3d dark shadow") << COLOR_3DDKSHADOW << int(QPalette::Active) << int(QPalette::Shadow);
        QTest::newRow("3d light") << COLOR_3DLIGHT << int(QPalette::Active) << int(QPalette::Midlight);
        QTest::newRow("gray text") << COLOR_GRAYTEXT << int(QPalette::Disabled) << int(QPalette::Text);
        QTest::newRow("menu") << COLOR_MENU << int(QPalette::Active) << int(QPalette::Window);
        QTest::newRow("menu text") << COLOR_MENUTEXT << int(QPalette::Active) << int(QPalette::WindowText);
        QTest::newRow("info text") << COLOR_INFOTEXT << int(QPalette::Active) << int(QPalette::ToolTipText);
        QTest::newRow("info background")
            << COLOR_INFOBK << int(QPalette::Active) << int(QPalette::ToolTipBase);
        QTest::newRow("hot light") << COLOR_HOTLIGHT << int(QPalette::Active) << int(QPalette::Link);
    }

    void systemColorsFollowThePaletteAtCallTime() {
        QFETCH(int, index);
        QFETCH(int, group);
        QFETCH(int, role);
        const auto g = QPalette::ColorGroup(group);
        const auto r = QPalette::ColorRole(role);
        QCOMPARE(GetSysColor(index), fromQColor(QApplication::palette().color(g, r)));

        // A palette change shows at the next call, not at some cached value.
        QPalette palette = QApplication::palette();
        const QColor marker(11, 22, 33);
        palette.setColor(g, r, marker);
        QApplication::setPalette(palette);
        QCOMPARE(GetSysColor(index), RGB(11, 22, 33));
        QCOMPARE(sysColor(index), marker);
    }

    void aliasesShareValuesAndUnknownIsBlack() {
        static_assert(COLOR_3DFACE == COLOR_BTNFACE && COLOR_3DSHADOW == COLOR_BTNSHADOW);
        static_assert(COLOR_3DHIGHLIGHT == COLOR_BTNHIGHLIGHT && COLOR_DESKTOP == COLOR_BACKGROUND);
        static_assert(COLOR_SCROLLBAR == 0 && COLOR_WINDOWFRAME == 6 && COLOR_INFOBK == 24 &&
                      COLOR_MENUBAR == 30);
        QCOMPARE(GetSysColor(25), RGB(0, 0, 0));
        QCOMPARE(GetSysColor(-1), RGB(0, 0, 0));
    }
};

QTEST_MAIN(TestColors)
#include "tst_colors.moc"
