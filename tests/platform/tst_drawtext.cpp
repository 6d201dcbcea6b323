#include "platform/DrawText.h"

#include "../support/TestSupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>

#include <functional>
#include <utility>

using namespace platform;

namespace {

const QRgb white = qRgb(255, 255, 255);

QImage blank(int w = 240, int h = 80) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(white);
    return image;
}

// Bounding box of every pixel that is no longer white.
QRect ink(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != white)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

QFont testFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    return font;
}

// Paints with the test font and a black pen and returns DrawText's result.
int paint(QImage& image, const QString& text, QRect& rect, unsigned format, QString* modified = nullptr) {
    QPainter painter(&image);
    painter.setFont(testFont());
    painter.setPen(Qt::black);
    return DrawText(painter, text, rect, format, modified);
}

QFontMetrics metrics() {
    QImage image = blank(1, 1);
    QPainter painter(&image);
    painter.setFont(testFont());
    return painter.fontMetrics();
}

QRect measure(const QString& text, unsigned format, QRect rect = QRect(5, 7, 1000, 3)) {
    QImage image = blank(1, 1);
    paint(image, text, rect, format | DT_CALCRECT);
    return rect;
}

QString shortened(const QString& text, int width, unsigned format) {
    QImage image = blank(400, 40);
    QRect rect(0, 0, width, 30);
    QString modified;
    paint(image, text, rect, format | DT_SINGLELINE | DT_MODIFYSTRING, &modified);
    return modified;
}

} // namespace

class TestDrawText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }
    void cleanup() { QApplication::setPalette(QPalette()); }

    void calcRectMeasuresWithoutDrawing() {
        const QFontMetrics fm = metrics();
        QImage image = blank();
        QRect rect(5, 7, 1000, 3);
        const int height =
            paint(image, QStringLiteral("Hello"), rect, DT_SINGLELINE | DT_CALCRECT | DT_VCENTER);
        QCOMPARE(rect, QRect(5, 7, fm.horizontalAdvance(QStringLiteral("Hello")), fm.height()));
        QCOMPARE(height, fm.height());
        QVERIFY(ink(image).isNull());
    }

    void calcRectLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("width"); // rectangle width to wrap at, -1 = wide
        QTest::addColumn<QString>("widest");
        QTest::addColumn<int>("lines");

        QTest::newRow("line breaks") << "a\nbb\r\nccc\rdd" << 0 << -1 << "ccc" << 4;
        QTest::newRow("single line ignores breaks") << "a\nbb" << int(DT_SINGLELINE) << -1 << "a bb" << 1;
        QTest::newRow("word break fits")
            << "alpha beta gamma delta" << int(DT_WORDBREAK) << -2 << "alpha beta gamma" << 2;
        QTest::newRow("word break to words")
            << "alpha beta gamma delta" << int(DT_WORDBREAK) << 0 << "gamma" << 4;
        QTest::newRow("long word keeps its line")
            << "tiny supercalifragilistic" << int(DT_WORDBREAK) << 30 << "supercalifragilistic" << 2;
        QTest::newRow("word break keeps paragraphs")
            << "one two\nthree" << int(DT_WORDBREAK) << -1 << "one two" << 2;
        QTest::newRow("empty last line counts") << "ab\n" << 0 << -1 << "ab" << 2;
    }

    void calcRectLines() {
        QFETCH(QString, text);
        QFETCH(int, format);
        QFETCH(int, width);
        QFETCH(QString, widest);
        QFETCH(int, lines);
        const QFontMetrics fm = metrics();
        if (width == -1)
            width = 1000;
        else if (width == -2)
            width = fm.horizontalAdvance(QStringLiteral("alpha beta gamma")) + 1;
        const QRect rect = measure(text, unsigned(format), QRect(0, 0, width, 0));
        QCOMPARE(rect.width(), fm.horizontalAdvance(widest));
        QCOMPARE(rect.height(), lines * fm.height());
    }

    void prefixesAreRemovedUnlessAskedNotTo_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("shown");
        QTest::newRow("mnemonic") << "&File" << 0 << "File";
        QTest::newRow("double ampersand") << "Save && Quit" << 0 << "Save & Quit";
        QTest::newRow("triple") << "a&&&b" << 0 << "a&b";
        QTest::newRow("lone at end") << "ab&" << 0 << "ab";
        QTest::newRow("hidden prefix") << "&File" << int(DT_HIDEPREFIX) << "File";
        QTest::newRow("no prefix") << "&File && Co" << int(DT_NOPREFIX) << "&File && Co";
    }

    void prefixesAreRemovedUnlessAskedNotTo() {
        QFETCH(QString, text);
        QFETCH(int, format);
        QFETCH(QString, shown);
        QCOMPARE(measure(text, DT_SINGLELINE | unsigned(format)).width(), metrics().horizontalAdvance(shown));
    }

    void mnemonicIsUnderlined() {
        QImage plain = blank();
        QImage marked = blank();
        QImage hidden = blank();
        QImage only = blank();
        QRect rect(10, 10, 200, 40);
        QRect r1 = rect, r2 = rect, r3 = rect, r4 = rect;
        paint(plain, QStringLiteral("W"), r1, DT_SINGLELINE);
        paint(marked, QStringLiteral("&W"), r2, DT_SINGLELINE);
        paint(hidden, QStringLiteral("&W"), r3, DT_SINGLELINE | DT_HIDEPREFIX);
        paint(only, QStringLiteral("&W"), r4, DT_SINGLELINE | DT_PREFIXONLY);
        QVERIFY(ink(marked).bottom() > ink(plain).bottom());
        QCOMPARE(hidden, plain);
        // Only the underline: a thin bar under where the W stands.
        const QRect bar = ink(only);
        QVERIFY(!bar.isNull());
        QVERIFY(bar.height() <= 2);
        QVERIFY(bar.top() > ink(plain).bottom());
        QVERIFY(qAbs(bar.left() - ink(plain).left()) <= 2);
    }

    void alignment_data() {
        QTest::addColumn<int>("format");
        QTest::newRow("left top") << int(DT_LEFT | DT_TOP);
        QTest::newRow("center") << int(DT_CENTER);
        QTest::newRow("right") << int(DT_RIGHT);
        QTest::newRow("vcenter single") << int(DT_VCENTER | DT_SINGLELINE);
        QTest::newRow("bottom single") << int(DT_BOTTOM | DT_SINGLELINE);
        QTest::newRow("vcenter needs single line") << int(DT_VCENTER);
        QTest::newRow("right bottom") << int(DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    }

    void alignment() {
        QFETCH(int, format);
        const QFontMetrics fm = metrics();
        const QString text = QStringLiteral("Mm");
        const QRect rect(20, 10, 200, 50);
        QImage image = blank();
        QRect r = rect;
        const int result = paint(image, text, r, unsigned(format));
        QCOMPARE(r, rect); // drawing leaves the rectangle alone
        const QRect bounds = ink(image);
        const int width = fm.horizontalAdvance(text);

        int left = rect.left();
        if (format & DT_CENTER)
            left += (rect.width() - width) / 2;
        else if (format & DT_RIGHT)
            left += rect.width() - width;
        QVERIFY2(bounds.left() >= left - 1 && bounds.right() <= left + width + 1,
                 qPrintable(QStringLiteral("ink %1..%2, text box %3..%4")
                                .arg(bounds.left())
                                .arg(bounds.right())
                                .arg(left)
                                .arg(left + width)));

        int top = rect.top();
        if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
            top += (rect.height() - fm.height()) / 2;
        else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
            top += rect.height() - fm.height();
        QVERIFY(bounds.top() >= top && bounds.bottom() < top + fm.height());
        QCOMPARE(result, top - rect.top() + fm.height());
    }

    void clipsToRectUnlessNoClip() {
        const QString text = QStringLiteral("Wide text that overflows");
        QImage clipped = blank();
        QRect rect(10, 10, 40, 30);
        paint(clipped, text, rect, DT_SINGLELINE);
        QVERIFY(rect.contains(ink(clipped)));

        QImage free = blank();
        paint(free, text, rect, DT_SINGLELINE | DT_NOCLIP);
        QVERIFY(ink(free).right() > rect.right() + 20);
    }

    void editControlDropsPartlyVisibleLine() {
        const QFontMetrics fm = metrics();
        QImage image = blank();
        QRect rect(10, 10, 100, fm.height() + fm.height() / 2);
        paint(image, QStringLiteral("A\nB"), rect, DT_EDITCONTROL);
        QVERIFY(ink(image).bottom() < rect.top() + fm.height());

        QImage plain = blank();
        paint(plain, QStringLiteral("A\nB"), rect, 0);
        QVERIFY(ink(plain).bottom() >= rect.top() + fm.height());
    }

    void endEllipsisFitsTheWidth() {
        const QFontMetrics fm = metrics();
        const QString text = QStringLiteral("A fairly long file name.pdf");
        const int width = fm.horizontalAdvance(text) / 2;
        const QString shown = shortened(text, width, DT_END_ELLIPSIS);
        QVERIFY(shown.endsWith(QLatin1String("...")));
        QVERIFY(text.startsWith(shown.chopped(3)));
        QVERIFY(fm.horizontalAdvance(shown) <= width);
        // One more character would not have fitted.
        QVERIFY(fm.horizontalAdvance(text.left(shown.size() - 2) + QStringLiteral("...")) > width);
        // Measuring gives the shortened width, never more than the rectangle.
        QVERIFY(measure(text, DT_SINGLELINE | DT_END_ELLIPSIS, QRect(0, 0, width, 0)).width() <= width);
        // Text that fits is left alone.
        QCOMPARE(shortened(text, 1000, DT_END_ELLIPSIS), text);
        QCOMPARE(shortened(text, width, 0), text);
    }

    void wordAndPathEllipsis() {
        const QFontMetrics fm = metrics();
        const int width = fm.horizontalAdvance(QStringLiteral("alpha beta ga...")) + 1;
        QCOMPARE(shortened(QStringLiteral("alpha beta gamma"), width, DT_WORD_ELLIPSIS),
                 QStringLiteral("alpha beta..."));
        QCOMPARE(shortened(QStringLiteral("alpha beta gamma"), width, DT_END_ELLIPSIS),
                 QStringLiteral("alpha beta ga..."));

        const QString path = QStringLiteral("/home/user/documents/reports/annual-report.pdf");
        const int pathWidth = fm.horizontalAdvance(QStringLiteral("/home/u.../annual-report.pdf"));
        const QString shown = shortened(path, pathWidth, DT_PATH_ELLIPSIS);
        QVERIFY2(shown.startsWith(QLatin1String("/home")) &&
                     shown.endsWith(QLatin1String(".../annual-report.pdf")),
                 qPrintable(shown));
        QVERIFY(fm.horizontalAdvance(shown) <= pathWidth);
    }

    void ellipsisKeepsMnemonicBeforeTheCut() {
        const QFontMetrics fm = metrics();
        const int width = fm.horizontalAdvance(QStringLiteral("Over th..."));
        QImage marked = blank();
        QImage plain = blank();
        QRect r1(10, 10, width, 30), r2 = r1;
        paint(marked, QStringLiteral("&Over the hill"), r1, DT_SINGLELINE | DT_END_ELLIPSIS);
        paint(plain, QStringLiteral("Over the hill"), r2, DT_SINGLELINE | DT_END_ELLIPSIS);
        QVERIFY(ink(marked).bottom() > ink(plain).bottom());
    }

    void tabs() {
        const QFontMetrics fm = metrics();
        QCOMPARE(measure(QStringLiteral("a\tb"), DT_SINGLELINE | DT_EXPANDTABS).width(),
                 8 * fm.averageCharWidth() + fm.horizontalAdvance(QLatin1Char('b')));
        QCOMPARE(measure(QStringLiteral("a\tb"), DT_SINGLELINE).width(),
                 fm.horizontalAdvance(QStringLiteral("a b")));
    }

    void emptyTextMeasuresNothing() {
        QImage image = blank();
        QRect rect(3, 4, 50, 20);
        QCOMPARE(paint(image, QString(), rect, DT_CALCRECT), 0);
        QCOMPARE(rect, QRect(3, 4, 0, 0));
        QVERIFY(ink(image).isNull());
    }

    void multiLineReturnsTotalHeight() {
        const QFontMetrics fm = metrics();
        QImage image = blank();
        QRect rect(0, 0, 200, 80);
        QCOMPARE(paint(image, QStringLiteral("one\ntwo\nthree"), rect, DT_VCENTER), 3 * fm.height());
    }
};

// Frames, edges and fills, checked pixel by pixel against a palette with distinct 3D colours.
class TestDrawFrames : public QObject {
    Q_OBJECT

private:
    static QRgb rgb(int index) { return sysColor(index).rgb(); }

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        QPalette palette;
        palette.setColor(QPalette::Light, QColor(250, 0, 0));
        palette.setColor(QPalette::Midlight, QColor(0, 250, 0));
        palette.setColor(QPalette::Dark, QColor(0, 0, 250));
        palette.setColor(QPalette::Shadow, QColor(10, 10, 10));
        palette.setColor(QPalette::Button, QColor(200, 200, 0));
        palette.setColor(QPalette::Base, QColor(0, 200, 200));
        palette.setColor(QPalette::Text, QColor(100, 0, 100));
        palette.setColor(QPalette::ButtonText, QColor(50, 0, 0));
        palette.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
        QApplication::setPalette(palette);
    }
    void cleanup() { QApplication::setPalette(QPalette()); }

    void edges_data() {
        QTest::addColumn<int>("edge");
        QTest::addColumn<int>("outerTopLeft");
        QTest::addColumn<int>("innerTopLeft");
        QTest::addColumn<int>("outerBottomRight");
        QTest::addColumn<int>("innerBottomRight");
        QTest::newRow("raised") << int(EDGE_RAISED) << COLOR_3DLIGHT << COLOR_BTNHIGHLIGHT << COLOR_3DDKSHADOW
                                << COLOR_BTNSHADOW;
        QTest::newRow("sunken") << int(EDGE_SUNKEN) << COLOR_BTNSHADOW << COLOR_3DDKSHADOW
                                << COLOR_BTNHIGHLIGHT << COLOR_3DLIGHT;
        QTest::newRow("etched") << int(EDGE_ETCHED) << COLOR_BTNSHADOW << COLOR_BTNHIGHLIGHT
                                << COLOR_BTNHIGHLIGHT << COLOR_BTNSHADOW;
    }

    void edges() {
        QFETCH(int, edge);
        QImage image = blank(40, 40);
        QRect rect(10, 10, 20, 20);
        {
            QPainter painter(&image);
            QVERIFY(DrawEdge(painter, rect, unsigned(edge), BF_RECT | BF_ADJUST));
        }
        QCOMPARE(rect, QRect(12, 12, 16, 16));
        QFETCH(int, outerTopLeft);
        QFETCH(int, innerTopLeft);
        QFETCH(int, outerBottomRight);
        QFETCH(int, innerBottomRight);
        QCOMPARE(image.pixel(10, 20), rgb(outerTopLeft));
        QCOMPARE(image.pixel(20, 10), rgb(outerTopLeft));
        QCOMPARE(image.pixel(11, 20), rgb(innerTopLeft));
        QCOMPARE(image.pixel(20, 11), rgb(innerTopLeft));
        QCOMPARE(image.pixel(29, 20), rgb(outerBottomRight));
        QCOMPARE(image.pixel(20, 29), rgb(outerBottomRight));
        QCOMPARE(image.pixel(28, 20), rgb(innerBottomRight));
        QCOMPARE(image.pixel(20, 28), rgb(innerBottomRight));
        // The bottom-right colour owns the top-right and bottom-left corners.
        QCOMPARE(image.pixel(29, 10), rgb(outerBottomRight));
        QCOMPARE(image.pixel(10, 29), rgb(outerBottomRight));
        QCOMPARE(image.pixel(10, 10), rgb(outerTopLeft));
        // Nothing outside the rectangle, nothing inside the rings.
        QCOMPARE(image.pixel(9, 20), white);
        QCOMPARE(image.pixel(30, 20), white);
        QCOMPARE(image.pixel(20, 20), white);
    }

    void edgeSidesMiddleAndFlat() {
        QImage image = blank(40, 40);
        QRect rect(10, 10, 20, 20);
        {
            QPainter painter(&image);
            DrawEdge(painter, rect, BDR_SUNKENOUTER, BF_LEFT | BF_BOTTOM | BF_MIDDLE | BF_ADJUST);
        }
        // One ring, on two sides; the adjusted rectangle loses only those sides.
        QCOMPARE(rect, QRect(11, 10, 19, 19));
        QCOMPARE(image.pixel(10, 20), rgb(COLOR_BTNSHADOW));
        QCOMPARE(image.pixel(20, 29), rgb(COLOR_BTNHIGHLIGHT));
        QCOMPARE(image.pixel(29, 20), rgb(COLOR_BTNFACE)); // middle reaches the undrawn side
        QCOMPARE(image.pixel(20, 10), rgb(COLOR_BTNFACE));
        QCOMPARE(image.pixel(11, 20), rgb(COLOR_BTNFACE));

        QImage flat = blank(40, 40);
        {
            QPainter painter(&flat);
            DrawEdge(painter, QRect(10, 10, 20, 20), EDGE_RAISED, BF_RECT | BF_FLAT);
        }
        QCOMPARE(flat.pixel(10, 20), rgb(COLOR_BTNSHADOW));
        QCOMPARE(flat.pixel(29, 20), rgb(COLOR_BTNSHADOW));
        QCOMPARE(flat.pixel(11, 20), rgb(COLOR_BTNFACE));
    }

    void frameFillAnd3dRect() {
        QImage image = blank(40, 40);
        {
            QPainter painter(&image);
            FillSolidRect(painter, QRect(5, 5, 30, 30), LIGHT_BLUE);
            FrameRect(painter, QRect(10, 10, 10, 10), QColor(Qt::red));
            Draw3dRect(painter, QRect(25, 25, 5, 5), RGB(0, 255, 0), RGB(0, 0, 255));
        }
        QCOMPARE(image.pixel(4, 4), white);
        QCOMPARE(image.pixel(5, 5), toQColor(LIGHT_BLUE).rgb());
        QCOMPARE(image.pixel(34, 34), toQColor(LIGHT_BLUE).rgb());
        QCOMPARE(image.pixel(35, 35), white);
        QCOMPARE(image.pixel(10, 10), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(19, 19), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(20, 20), toQColor(LIGHT_BLUE).rgb());
        QCOMPARE(image.pixel(11, 11), toQColor(LIGHT_BLUE).rgb());
        QCOMPARE(image.pixel(25, 25), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(29, 25), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(25, 29), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(27, 27), toQColor(LIGHT_BLUE).rgb());
    }

    void patInvertTwiceRestores() {
        QImage image = blank(40, 20);
        {
            QPainter painter(&image);
            painter.fillRect(QRect(0, 0, 20, 20), QColor(10, 100, 200));
        }
        const QImage before = image;
        const QRect band(8, 0, 4, 20);
        {
            QPainter painter(&image);
            QVERIFY(PatBlt(painter, band, halftoneBrush(), PATINVERT));
        }
        // The checkerboard inverts every other pixel and leaves the rest.
        QCOMPARE(image.pixel(8, 0), qRgb(245, 155, 55));
        QCOMPARE(image.pixel(9, 0), before.pixel(9, 0));
        QCOMPARE(image.pixel(9, 1), qRgb(245, 155, 55));
        QCOMPARE(image.pixel(12, 0), before.pixel(12, 0));
        {
            QPainter painter(&image);
            QVERIFY(PatBlt(painter, band, halftoneBrush(), PATINVERT));
        }
        QCOMPARE(image, before);
        {
            QPainter painter(&image);
            QVERIFY(PatBlt(painter, QRect(0, 0, 2, 2), QBrush(), DSTINVERT));
            QVERIFY(PatBlt(painter, QRect(30, 0, 2, 2), QBrush(Qt::green), PATCOPY));
            QVERIFY(!PatBlt(painter, QRect(0, 0, 2, 2), QBrush(), 0x00CC0020));
        }
        QCOMPARE(image.pixel(0, 0), qRgb(245, 155, 55));
        QCOMPARE(image.pixel(30, 0), qRgb(0, 255, 0));
    }

    void checkBoxStates() {
        auto draw = [](unsigned state) {
            QImage image = blank(20, 20);
            QPainter painter(&image);
            DrawFrameControl(painter, QRect(2, 2, 13, 13), DFC_BUTTON, DFCS_BUTTONCHECK | state);
            return image;
        };
        const QImage unchecked = draw(0);
        const QImage checked = draw(DFCS_CHECKED);
        const QImage inactive = draw(DFCS_CHECKED | DFCS_INACTIVE);
        // Sunken box with a window-coloured inside; a mark only when checked.
        QCOMPARE(unchecked.pixel(2, 8), rgb(COLOR_BTNSHADOW));
        QCOMPARE(unchecked.pixel(3, 8), rgb(COLOR_3DDKSHADOW));
        QCOMPARE(unchecked.pixel(8, 8), rgb(COLOR_WINDOW));
        QVERIFY(checked != unchecked);
        int markPixels = 0;
        for (int y = 4; y < 13; ++y) {
            for (int x = 4; x < 13; ++x)
                markPixels += checked.pixel(x, y) != rgb(COLOR_WINDOW) ? 1 : 0;
        }
        QVERIFY(markPixels >= 8);
        // Disabled: grey mark on the button face.
        QCOMPARE(inactive.pixel(5, 5), rgb(COLOR_BTNFACE));
        QImage other = blank(20, 20);
        QPainter painter(&other);
        QVERIFY(!DrawFrameControl(painter, QRect(2, 2, 13, 13), DFC_BUTTON, 0x4)); // radio: not offered
    }

    void scrollArrowsPointTheirWay() {
        auto arrowInk = [](unsigned direction) {
            QImage image = blank(17, 17);
            {
                QPainter painter(&image);
                DrawFrameControl(painter, QRect(0, 0, 17, 17), DFC_SCROLL, direction);
            }
            QRect bounds;
            for (int y = 0; y < 17; ++y) {
                for (int x = 0; x < 17; ++x) {
                    if (image.pixel(x, y) == sysColor(COLOR_BTNTEXT).rgb())
                        bounds |= QRect(x, y, 1, 1);
                }
            }
            // Widest row of the triangle: it lies on the side opposite the tip.
            int widestRow = -1, widest = 0;
            for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
                int count = 0;
                for (int x = 0; x < 17; ++x)
                    count += image.pixel(x, y) == sysColor(COLOR_BTNTEXT).rgb() ? 1 : 0;
                if (count > widest) {
                    widest = count;
                    widestRow = y;
                }
            }
            return std::make_pair(bounds, widestRow);
        };
        const auto [up, upBase] = arrowInk(DFCS_SCROLLUP);
        const auto [down, downBase] = arrowInk(DFCS_SCROLLDOWN);
        QVERIFY(!up.isNull() && !down.isNull());
        QCOMPARE(upBase, up.bottom());
        QCOMPARE(downBase, down.top());
        const auto [left, leftBase] = arrowInk(DFCS_SCROLLLEFT);
        QVERIFY(left.height() > left.width());
        Q_UNUSED(leftBase);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        TestDrawText test;
        status |= QTest::qExec(&test, argc, argv);
    }
    {
        TestDrawFrames test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_drawtext.moc"
