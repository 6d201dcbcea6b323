#include "controls/chrome/JobPaneIcons.h"
#include "resource.h"

#include "../../support/TestSupport.h"

#include <QImage>
#include <QSet>
#include <QTest>

namespace {

// How many visible pixels of an icon fall in each colour family.
struct Palette {
    int visible = 0;
    int green = 0;
    int red = 0;
    int amber = 0;
    int blue = 0;
};

Palette paletteOf(const QImage& image) {
    Palette palette;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = QColor::fromRgba(image.pixel(x, y));
            if (colour.alpha() < 128)
                continue;
            ++palette.visible;
            const int r = colour.red(), g = colour.green(), b = colour.blue();
            palette.green += g > r + 40 && g > b + 40;
            palette.red += r > g + 60 && r > b + 60 && g < 160;
            palette.amber += r > 200 && g > 140 && b < 110;
            palette.blue += b > r + 60 && b > g + 20;
        }
    }
    return palette;
}

QImage rendered(int id, int side) {
    return jobPaneIcon(id).pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
}

const QList<int> allIds = {IDI_OPEN_FILE,          IDI_IMPORT_DIRECTORY, IDI_REMOVE_SELECTED,
                           IDI_CLEAR_ALL_SELECTED, IDI_START_CONVERT,    IDI_STOP_CONVERT};

} // namespace

class TestJobPaneIcons : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    // Missing resources or a missing SVG engine would give blank buttons.
    void everyIdDrawsAtButtonSizeAndLarger() {
        for (const int id : allIds) {
            for (const int side : {32, 64}) {
                const QImage image = rendered(id, side);
                QCOMPARE(image.size(), QSize(side, side));
                const Palette palette = paletteOf(image);
                QVERIFY2(palette.visible > side * side / 5, qPrintable(QString::number(id)));
                QVERIFY2(palette.visible < side * side,
                         qPrintable(QString::number(id))); // a shape, not a block
            }
        }
        QVERIFY(jobPaneIcon(IDR_MAINFRAME).isNull());
    }

    void eachButtonHasItsOwnPicture() {
        QSet<QByteArray> pictures;
        for (const int id : allIds) {
            const QImage image = rendered(id, 32);
            pictures.insert(
                QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        }
        QCOMPARE(pictures.size(), allIds.size());
    }

    // Start is green, Stop red; adding is green, removing red; a folder is amber, the eraser
    // that clears the ticks pink and blue.
    void coloursMatchTheRoles() {
        const Palette start = paletteOf(rendered(IDI_START_CONVERT, 32));
        QVERIFY(start.green > start.visible / 2);
        QCOMPARE(start.red, 0);
        const Palette stop = paletteOf(rendered(IDI_STOP_CONVERT, 32));
        QVERIFY(stop.red > stop.visible / 2);
        QCOMPARE(stop.green, 0);
        const Palette open = paletteOf(rendered(IDI_OPEN_FILE, 32));
        QVERIFY(open.green > 50);
        const Palette remove = paletteOf(rendered(IDI_REMOVE_SELECTED, 32));
        QCOMPARE(remove.green, 0);
        QVERIFY(remove.red > open.red + 50);
        const Palette folder = paletteOf(rendered(IDI_IMPORT_DIRECTORY, 32));
        QVERIFY(folder.amber > folder.visible / 3);
        const Palette clear = paletteOf(rendered(IDI_CLEAR_ALL_SELECTED, 32));
        QVERIFY(clear.blue > 30);
        QCOMPARE(clear.amber, 0);
    }
};

QTEST_MAIN(TestJobPaneIcons)
#include "tst_jobpaneicons.moc"
