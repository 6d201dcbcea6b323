#include "controls/chrome/TextProgressCtrl.h"

#include "../../support/TestSupport.h"

#include <QImage>
#include <QTest>

#include <climits>
#include <memory>

using namespace platform;

namespace {

const QRgb barRgb = qRgb(200, 0, 0);
const QRgb backgroundRgb = qRgb(255, 255, 255);

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Two crisp colours only: without antialiasing every text pixel is exactly one of them.
std::unique_ptr<CTextProgressCtrl> makeBar(int width = 200, int height = 20) {
    auto bar = std::make_unique<CTextProgressCtrl>();
    QFont font = bar->font();
    font.setPixelSize(14);
    font.setStyleStrategy(QFont::NoAntialias);
    bar->setFont(font);
    bar->resize(width, height);
    bar->SetBarColor(RGB(200, 0, 0));
    bar->SetBkColor(RGB(255, 255, 255));
    return bar;
}

struct Census {
    int matching = 0; // pixels of the expected fill
    int other = 0;    // pixels of the expected text colour
    int stray = 0;    // anything else
};

Census census(const QImage& image, const QRect& area, QRgb fill, QRgb text) {
    Census result;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xFF000000u;
            if (pixel == fill)
                ++result.matching;
            else if (pixel == text)
                ++result.other;
            else
                ++result.stray;
        }
    }
    return result;
}

// Columns that hold text pixels (a colour other than the fill of that part).
std::pair<int, int> textColumns(const QImage& image, int split) {
    int first = INT_MAX;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb fill = x < split ? barRgb : backgroundRgb;
        for (int y = 0; y < image.height(); ++y) {
            if ((image.pixel(x, y) | 0xFF000000u) != fill) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

} // namespace

class TestTextProgressCtrl : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void halfwayShowsPercentageHalfInEachColour() {
        auto bar = makeBar();
        bar->SetPos(50);
        QCOMPARE(bar->displayText(), QStringLiteral("50%"));
        QCOMPARE(bar->filledRect(), QRect(0, 0, 100, 20));
        const QImage image = bar->grab().toImage();

        // On the bar the text shows in the background colour, beside it in the bar colour.
        const Census onBar = census(image, QRect(0, 0, 100, 20), barRgb, backgroundRgb);
        const Census onBackground = census(image, QRect(100, 0, 100, 20), backgroundRgb, barRgb);
        QCOMPARE(onBar.stray, 0);
        QCOMPARE(onBackground.stray, 0);
        QVERIFY(onBar.other > 10);
        QVERIFY(onBackground.other > 10);

        // Centred: the text straddles the middle evenly.
        const auto [first, last] = textColumns(image, 100);
        QVERIFY(first < 100 && last >= 100);
        QVERIFY(qAbs((first + last) / 2 - 100) <= 2);
    }

    // Floating point put 29 of 100 at 28.999...: "28%" and a bar one pixel short.
    void percentageAndBarAreExactAtEveryStep() {
        auto bar = makeBar(100, 10);
        for (int position = 0; position <= 100; ++position) {
            bar->SetPos(position);
            QCOMPARE(bar->displayText(), QStringLiteral("%1%").arg(position));
            QCOMPARE(bar->barLength(), position);
        }
        bar->SetRange32(0, 3);
        bar->SetPos(2);
        QCOMPARE(bar->displayText(), QStringLiteral("66%"));
        QCOMPARE(bar->barLength(), 66);
        bar->SetPos(-1);
        QCOMPARE(bar->displayText(), QStringLiteral("-33%"));
    }

    void setTextColourPaintsBothHalves() {
        auto bar = makeBar();
        bar->SetPos(50);
        QCOMPARE(bar->SetTextColor(RGB(0, 0, 255)), CLR_DEFAULT);
        const QImage image = bar->grab().toImage();
        const QRgb blue = qRgb(0, 0, 255);
        const Census onBar = census(image, QRect(0, 0, 100, 20), barRgb, blue);
        const Census onBackground = census(image, QRect(100, 0, 100, 20), backgroundRgb, blue);
        QCOMPARE(onBar.stray + onBackground.stray, 0);
        QVERIFY(onBar.other > 10 && onBackground.other > 10);
    }

    void captionReplacesPercentageUntilCleared() {
        auto bar = makeBar();
        bar->SetPos(30);
        const QImage percentage = bar->grab().toImage();

        bar->SetWindowText(QStringLiteral("Convert Finished"));
        QCOMPARE(bar->GetWindowText(), QStringLiteral("Convert Finished"));
        QCOMPARE(bar->displayText(), QStringLiteral("Convert Finished"));
        const QImage captioned = bar->grab().toImage();
        QVERIFY(captioned != percentage);
        // The caption is longer than "30%": text reaches further to the left.
        QVERIFY(textColumns(captioned, 60).first < textColumns(percentage, 60).first);

        bar->SetWindowText(QString());
        QCOMPARE(bar->displayText(), QStringLiteral("30%"));
        QCOMPARE(bar->grab().toImage(), percentage);
    }

    void hiddenTextLeavesPlainBar() {
        auto bar = makeBar();
        bar->SetPos(25);
        QCOMPARE(bar->SetShowText(false), true);
        const QImage image = bar->grab().toImage();
        QCOMPARE(census(image, QRect(0, 0, 50, 20), barRgb, 0).matching, 50 * 20);
        QCOMPARE(census(image, QRect(50, 0, 150, 20), backgroundRgb, 0).matching, 150 * 20);
    }

    void unsetColoursFollowThePalette() {
        CTextProgressCtrl bar;
        bar.resize(100, 10);
        bar.SetShowText(false);
        bar.SetPos(50);
        const QImage image = bar.grab().toImage();
        QCOMPARE(QColor(image.pixel(10, 5)), sysColor(COLOR_HIGHLIGHT));
        QCOMPARE(QColor(image.pixel(90, 5)), sysColor(COLOR_WINDOW));
    }

    void messagesReturnPreviousValues() {
        CTextProgressCtrl bar;
        int low = -1, high = -1;
        bar.GetRange(low, high);
        QCOMPARE(low, 0);
        QCOMPARE(high, 100);
        bar.SetRange32(-5, 70000);
        QCOMPARE(bar.GetRange(true), -5);
        QCOMPARE(bar.GetRange(false), 70000);
        bar.SetRange(short(10), short(20));
        bar.GetRange(low, high);
        QCOMPARE(low, 10);
        QCOMPARE(high, 20);

        QCOMPARE(bar.SetPos(12), 0);
        QCOMPARE(bar.OffsetPos(3), 12);
        QCOMPARE(bar.GetPos(), 15);
        QCOMPARE(bar.SetStep(4), 1);
        QCOMPARE(bar.StepIt(), 15);
        QCOMPARE(bar.GetPos(), 19);
        // No wrap-around past the upper bound.
        QCOMPARE(bar.StepIt(), 19);
        QCOMPARE(bar.GetPos(), 23);

        QCOMPARE(bar.SetBarColor(RGB(1, 2, 3)), CLR_DEFAULT);
        QCOMPARE(bar.SetBarColor(CLR_DEFAULT), RGB(1, 2, 3));
        QCOMPARE(bar.SetBkColor(RGB(4, 5, 6)), CLR_DEFAULT);
        QCOMPARE(bar.SetShowText(false), true);
        QCOMPARE(bar.SetShowText(false), false);
    }

    // Positions beyond the range are kept; the bar is then full or empty.
    void positionsOutsideTheRangeAreKept() {
        auto bar = makeBar(100, 10);
        bar->SetShowText(false);
        bar->SetPos(150);
        QCOMPARE(bar->GetPos(), 150);
        QCOMPARE(bar->displayText(), QStringLiteral("150%"));
        QCOMPARE(census(bar->grab().toImage(), QRect(0, 0, 100, 10), barRgb, 0).matching, 1000);
        bar->SetPos(-20);
        QCOMPARE(bar->displayText(), QStringLiteral("-20%"));
        QCOMPARE(census(bar->grab().toImage(), QRect(0, 0, 100, 10), backgroundRgb, 0).matching, 1000);
        // A far-off position must not overflow the length computation.
        bar->SetRange32(0, 1);
        bar->SetPos(INT_MAX);
        QCOMPARE(bar->filledRect().width(), 100);
    }

    void repaintsOnlyForAVisibleChange() {
        QWidget window;
        auto bar = makeBar(50, 12);
        bar->setParent(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PaintCounter counter;
        bar->installEventFilter(&counter);

        bar->SetRange32(0, 1000);
        bar->SetPos(500);
        QCoreApplication::processEvents();
        counter.count = 0;
        bar->SetPos(505); // same pixel, same percentage
        QCoreApplication::processEvents();
        QCOMPARE(counter.count, 0);
        bar->SetPos(530); // one pixel further: drawn at once, without waiting for the loop
        QCOMPARE(counter.count, 1);

        // A narrow bar whose percentage changes within one pixel still shows the new number.
        bar->SetRange32(0, 100);
        QCoreApplication::processEvents();
        counter.count = 0;
        bar->SetPos(50);
        const int before = counter.count;
        bar->SetPos(51);
        QCOMPARE(bar->barLength(), 25);
        QCOMPARE(counter.count, before + 1);
    }

    void emptyOrInvertedRangeDrawsNothing_data() {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::newRow("empty") << 40 << 40;
        QTest::newRow("inverted") << 100 << 0;
    }

    void emptyOrInvertedRangeDrawsNothing() {
        QFETCH(int, lower);
        QFETCH(int, upper);
        QWidget window;
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(0, 160, 0));
        window.setPalette(palette);
        window.resize(120, 30);
        auto bar = makeBar(100, 20);
        bar->setParent(&window);
        bar->SetRange32(lower, upper);
        bar->SetPos(40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QImage image = window.grab(bar->geometry()).toImage();
        QCOMPARE(census(image, image.rect(), qRgb(0, 160, 0), 0).matching, 100 * 20);
        QVERIFY(bar->filledRect().isEmpty());

        // Painting must settle: no paint event asks for another.
        PaintCounter counter;
        bar->installEventFilter(&counter);
        QTest::qWait(60);
        QCOMPARE(counter.count, 0);
    }

    void verticalBarFillsFromTheBottomWithoutText() {
        auto bar = makeBar(20, 100);
        bar->setOrientation(Qt::Vertical);
        bar->SetPos(25);
        QCOMPARE(bar->filledRect(), QRect(0, 75, 20, 25));
        const QImage image = bar->grab().toImage();
        QCOMPARE(census(image, QRect(0, 75, 20, 25), barRgb, 0).matching, 20 * 25);
        QCOMPARE(census(image, QRect(0, 0, 20, 75), backgroundRgb, 0).matching, 20 * 75);
    }
};

QTEST_MAIN(TestTextProgressCtrl)
#include "tst_textprogressctrl.moc"
