#include "controls/chrome/TextLabel.h"

#include "../../support/TestSupport.h"

#include <QFontMetrics>
#include <QImage>
#include <QScopeGuard>
#include <QTest>
#include <QVBoxLayout>

#include <climits>

using namespace platform;

namespace {

const QRgb lightBlue = qRgb(227, 246, 253);

// Pixels clearly darker than the light-blue background: the text.
bool isInk(QRgb pixel) {
    return qGray(pixel) < 150;
}

QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace

class TestTextLabel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void paintsDarkTextOnLightBlue() {
        CTextLabel label(QStringLiteral("Current"));
        label.resize(80, 16);
        const QImage image = label.grab().toImage();
        QCOMPARE(image.pixel(0, 0) | 0xFF000000u, lightBlue);
        QCOMPARE(image.pixel(79, 15) | 0xFF000000u, lightBlue);
        const QRect ink = inkBounds(image);
        QVERIFY(!ink.isEmpty());
        QVERIFY(ink.left() < 5); // left-aligned by default
        QCOMPARE(label.accessibleName(), QStringLiteral("Current"));
    }

    void coloursAndAlignmentChangeThePainting() {
        CTextLabel label(QStringLiteral("Total"));
        label.resize(120, 16);
        label.SetBkColor(RGB(255, 255, 0));
        label.SetTextColor(RGB(0, 0, 200));
        QImage image = label.grab().toImage();
        QCOMPARE(image.pixel(0, 0) | 0xFF000000u, qRgb(255, 255, 0));
        bool blueInk = false;
        for (int y = 0; y < image.height() && !blueInk; ++y)
            for (int x = 0; x < image.width() && !blueInk; ++x)
                blueInk = qBlue(image.pixel(x, y)) > 150 && qRed(image.pixel(x, y)) < 80;
        QVERIFY(blueInk);

        label.SetBkColor(LIGHT_BLUE);
        label.SetTextColor(RGB(0, 0, 0));
        const QRect left = inkBounds(label.grab().toImage());
        label.SetCentered(true);
        const QRect centred = inkBounds(label.grab().toImage());
        label.SetCentered(false);
        label.SetRightAligned(true);
        const QRect right = inkBounds(label.grab().toImage());
        QVERIFY(left.left() < centred.left() && centred.left() < right.left());
        QVERIFY(qAbs(centred.center().x() - 60) <= 2);
        QVERIFY(right.right() >= 115);
    }

    // Without prefix processing a lone '&' is a character, not a mnemonic mark.
    void ampersandIsShownAsIs() {
        CTextLabel label(QStringLiteral("&"));
        label.resize(40, 16);
        QVERIFY(!inkBounds(label.grab().toImage()).isEmpty());
    }

    void wrapsAtWordBoundariesInALayout() {
        testsupport::installOffscreenNoticeFilter();
        const auto restore = qScopeGuard(testsupport::removeOffscreenNoticeFilter);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* label = new CTextLabel(QStringLiteral("alpha beta gamma delta epsilon"));
        layout->addWidget(label);
        layout->addStretch();
        const int singleLine = label->sizeHint().height();
        const int oneWordWide = label->minimumSizeHint().width();
        QVERIFY(oneWordWide < label->sizeHint().width());
        window.resize(oneWordWide * 2, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(label->height() >= 2 * singleLine);
        const QRect ink = inkBounds(label->grab().toImage());
        QVERIFY(ink.height() > singleLine);
        QVERIFY(ink.right() < label->width());
    }

    void fontSettingsReachTheFont() {
        CTextLabel label(QStringLiteral("Folverin"));
        const QSize small = label.sizeHint();
        label.SetFontSize(24);
        QVERIFY(label.sizeHint().height() > small.height());
        label.SetFontBold(true);
        QCOMPARE(label.labelFont().weight(), QFont::Black);
        label.SetFontItalic(true);
        label.SetFontUnderline(true);
        label.SetFontStrikeOut(true);
        const QFont font = label.labelFont();
        QVERIFY(font.italic() && font.underline() && font.strikeOut());
        // The Windows face falls back to the application's family.
        QCOMPARE(font.family(), QApplication::font().family());
    }

    // The fallback family follows a later change of the application font.
    void applicationFontChangeReachesTheFont() {
        CTextLabel label(QStringLiteral("Total"));
        const QFont original = QApplication::font();
        QCOMPARE(label.labelFont().family(), original.family());
        const auto restore = qScopeGuard([&original] { QApplication::setFont(original); });
        QFont other = original;
        other.setFamily(original.family() + QStringLiteral(" Other"));
        QApplication::setFont(other);
        QCoreApplication::processEvents();
        QCOMPARE(label.labelFont().family(), other.family());
    }

    // The default 8 is drawn at the bitmap face's smallest size, as it always looked; other
    // faces take the height as given.
    void defaultSizeIsTheSmallestBitmapSize() {
        CTextLabel label(QStringLiteral("Total"));
        // Cell heights convert to whole pixel sizes, so allow a pixel either way.
        QVERIFY(qAbs(QFontMetrics(label.labelFont()).height() - 13) <= 1);
        label.SetFontName(QApplication::font().family());
        QVERIFY(qAbs(QFontMetrics(label.labelFont()).height() - 8) <= 1);
    }
};

QTEST_MAIN(TestTextLabel)
#include "tst_textlabel.moc"
