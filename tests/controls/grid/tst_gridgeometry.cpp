#include "GridTestSupport.h"
#include "TestSupport.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

using namespace grid;
using namespace gridtest;
using namespace platform;

namespace {

void sendWheel(QWidget* widget, int delta) {
    const QPointF at(20, 40);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestGridGeometry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void cellRectanglesLeaveTheGridLinePixel() {
        GridFixture f(10, 5, 1, 1);
        QRect rect;
        QVERIFY(f.grid->GetCellRect(0, 0, &rect));
        QCOMPARE(rect, QRect(0, 0, 59, 19));
        QVERIFY(f.grid->GetCellRect(2, 3, &rect));
        QCOMPARE(rect, QRect(180, 40, 59, 19));
        QCOMPARE(f.grid->GetHeaderHeight(), 20);
        QCOMPARE(f.grid->GetHeaderWidth(), 60);
        QCOMPARE(f.grid->GetTotalHeight(), 200);
        QCOMPARE(f.grid->GetTotalWidth(), 300);
    }

    void hitTestingFindsCellsAndRejectsOutside() {
        GridFixture f(30, 5, 1, 1);
        QCOMPARE(f.grid->HitTestCell(QPoint(-1, 30), true), CCellID());
        QCOMPARE(f.grid->HitTestCell(QPoint(10, 10), true), CCellID(0, 0));
        QCOMPARE(f.grid->HitTestCell(QPoint(10, 10), false), CCellID());
        QCOMPARE(f.grid->HitTestCell(QPoint(119, 39), false), CCellID(1, 1));
        QCOMPARE(f.grid->HitTestCell(QPoint(120, 40), false), CCellID(2, 2));
        QCOMPARE(f.grid->HitTestCell(QPoint(301, 40), false), CCellID());
        // After scrolling one row, the first scrollable row is 2.
        f.grid->OnVScroll(SB_LINEDOWN);
        QCOMPARE(f.grid->HitTestCell(QPoint(70, 25), false), CCellID(2, 1));
        QCOMPARE(f.grid->GetFirstScrollCell(), CCellID(2, 1));
        QVERIFY(!f.grid->IsCellVisible(1, 1));
    }

    void emptyGridPaintsBackgroundOnly() {
        RecordingOwner owner;
        owner.resize(200, 150);
        auto* grid = new CGridCtrl(0, 0, 0, 0, &owner);
        grid->setGeometry(owner.rect());
        grid->SetGridBkColor(RGB(255, 0, 0));
        owner.show();
        QVERIFY(!grid->IsScrollBarShown(Qt::Horizontal));
        QVERIFY(!grid->IsScrollBarShown(Qt::Vertical));
        const QImage image = grid->grab().toImage();
        QCOMPARE(image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(199, 149), qRgb(255, 0, 0));
    }

    void paintsCellsLinesAndBackground() {
        GridFixture f(3, 2, 1, 0);
        f.grid->SetGridBkColor(RGB(255, 0, 0));
        f.grid->SetGridLineColor(RGB(0, 0, 255));
        f.grid->SetCellBackColor(1, 0, RGB(0, 255, 0));
        QCOMPARE(f.pixel(30, 30), qRgb(0, 255, 0));   // the coloured cell
        QCOMPARE(f.pixel(59, 30), qRgb(0, 0, 255));   // its vertical grid line
        QCOMPARE(f.pixel(30, 39), qRgb(0, 0, 255));   // its horizontal grid line
        QCOMPARE(f.pixel(300, 100), qRgb(255, 0, 0)); // right of the cells
        QCOMPARE(f.pixel(30, 100), qRgb(255, 0, 0));  // below them
        QCOMPARE(f.pixel(30, 50), sysRgb(platform::COLOR_WINDOW));
        QCOMPARE(f.pixel(55, 4), sysRgb(platform::COLOR_BTNFACE)); // header face
        f.grid->SetGridLines(GGL_NONE);
        QCOMPARE(f.pixel(59, 30), qRgb(0, 255, 0));
    }

    void zeroWidthColumnIsNeitherDrawnNorEntered() {
        GridFixture f(4, 4, 1, 0);
        f.grid->SetCellBackColor(1, 1, RGB(255, 0, 255));
        f.grid->SetCellBackColor(1, 2, RGB(0, 255, 0));
        f.grid->SetColumnWidth(1, 0);
        f.grid->update();
        // Column 2 now starts where column 1 did, and nothing of column 1 shows.
        QCOMPARE(f.pixel(70, 30), qRgb(0, 255, 0));
        const QImage image = f.grid->grab().toImage();
        for (int x = 0; x < 240; ++x)
            QVERIFY(image.pixel(x, 30) != qRgb(255, 0, 255));
        QCOMPARE(f.grid->HitTestCell(QPoint(70, 30)), CCellID(1, 2));
        f.grid->SetFocusCell(1, 0);
        f.key(Qt::Key_Right);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 2));
        f.key(Qt::Key_Left);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 0));
    }

    void scrollBarsAppearWhenTheCellsOverflow() {
        GridFixture f(100, 3, 1, 0, QSize(200, 200));
        QVERIFY(f.grid->IsScrollBarShown(Qt::Vertical));
        QVERIFY(!f.grid->IsScrollBarShown(Qt::Horizontal));
        f.grid->SetColumnWidth(2, 300);
        QVERIFY(f.grid->IsScrollBarShown(Qt::Horizontal));
        f.grid->SetRowCount(2);
        QVERIFY(!f.grid->IsScrollBarShown(Qt::Vertical));
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), 0);
    }

    void lineScrollingSkipsHiddenRows() {
        GridFixture f(100, 3, 1, 0, QSize(200, 200));
        f.grid->SetRowHeight(1, 0);
        f.grid->OnVScroll(SB_LINEDOWN);
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), 20);
        QCOMPARE(f.grid->GetFirstScrollCell(), CCellID(3, 0));
        f.grid->OnVScroll(SB_LINEUP);
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), 0);
        f.grid->OnVScroll(SB_BOTTOM);
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), f.grid->GetScrollMax(Qt::Vertical));
        QVERIFY(f.grid->IsCellVisible(99, 0));
    }

    void wheelScrollsLinesOrPages() {
        GridFixture f(100, 3, 1, 0, QSize(200, 200));
        f.grid->SetMouseWheelLines(3);
        sendWheel(f.grid, -120);
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), 60);
        sendWheel(f.grid, 120);
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), 0);
        f.grid->SetMouseWheelLines(-1);
        sendWheel(f.grid, -120);
        const int page = f.grid->GetClientRect().height() - 20;
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), page);
        sendWheel(f.grid, 120); // one notch forward: one page up
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), 0);
        // A touchpad's fractions of a notch add up instead of being dropped.
        f.grid->SetMouseWheelLines(3);
        for (int i = 0; i < 4; ++i)
            sendWheel(f.grid, -30);
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), 60);
    }

    void ensureVisibleBringsFarCellsIn() {
        GridFixture f(1000, 10, 1, 1, QSize(300, 200));
        f.grid->EnsureVisible(999, 9);
        QVERIFY(f.grid->IsCellVisible(999, 9));
        QRect rect;
        QVERIFY(f.grid->GetCellRect(999, 9, &rect));
        QVERIFY(rect.bottom() < f.grid->GetClientRect().height());
        QVERIFY(rect.right() < f.grid->GetClientRect().width());
        f.grid->EnsureVisible(1, 1);
        QCOMPARE(f.grid->GetFirstScrollCell(), CCellID(1, 1));
    }

    void setRowHeightDoesNotRepaintByItself() {
        GridFixture f(5, 2, 1, 0);
        f.grid->grab();
        QVERIFY(f.grid->SetRowHeight(2, 40));
        QVERIFY(!f.grid->SetRowHeight(2, -1));
        QVERIFY(!f.grid->SetColumnWidth(7, 10));
        QCOMPARE(f.grid->GetRowHeight(2), 40);
        QCOMPARE(f.grid->GetRowHeight(9), -1);
    }

    void autoSizeMeasuresTheWidestCell() {
        GridFixture f(4, 2, 1, 0);
        f.grid->SetCellText(2, 1, QStringLiteral("a rather long cell text to measure"));
        QVERIFY(f.grid->AutoSizeColumn(1));
        const int width = f.grid->GetCell(2, 1)->MeasureCell().width();
        QCOMPARE(f.grid->GetColumnWidth(1), width);
        // Fixed rows only: the header decides.
        QVERIFY(f.grid->AutoSizeColumn(1, GAS_FIXED));
        QCOMPARE(f.grid->GetColumnWidth(1), f.grid->GetCell(0, 1)->MeasureCell().width());
        f.grid->SetColumnWidth(0, 0);
        QVERIFY(!f.grid->AutoSizeColumn(0)); // hidden
        QVERIFY(f.grid->AutoSizeRow(2));
        QCOMPARE(f.grid->GetRowHeight(2), f.grid->GetCell(2, 1)->MeasureCell().height());
    }

    // Empty cells measure as empty: the header, the check box and the margins decide a width.
    void doubleClickOnADividerFitsAColumnOfEmptyCells() {
        GridFixture f;
        f.grid->SetCellText(0, 0, QString());
        for (int row = 1; row < 10; ++row) {
            f.grid->ReplaceCellClass(row, 0, QStringLiteral("CGridCellCheck"));
            f.grid->SetCellText(row, 0, QString());
            f.grid->SetCellText(row, 2, QString());
        }
        const int margin = int(f.grid->GetDefaultCell(false, false)->GetMargin());
        const QFontMetrics metrics(f.grid->GetDefaultCell(true, false)->GetFontObject());
        hover(f.grid, QPoint(179, 10));
        QTest::mouseDClick(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(179, 10));
        QCOMPARE(f.grid->GetColumnWidth(2),
                 metrics.horizontalAdvance(QStringLiteral("r0c2")) + 2 * margin + 2);
        const int box = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        hover(f.grid, QPoint(59, 10));
        QTest::mouseDClick(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(59, 10));
        QCOMPARE(f.grid->GetColumnWidth(0), box + 4 * margin + 1);
        // An empty row is as high as its font and margins.
        QVERIFY(f.grid->AutoSizeRow(3));
        QCOMPARE(f.grid->GetRowHeight(3),
                 std::max(QFontMetrics(f.grid->GetCell(3, 1)->GetFontObject()).height() + 2 * margin + 1,
                          box + 2 * margin));
    }

    // In virtual mode the owner hears the visible range before a paint and an empty one after.
    void virtualPaintSendsCacheHints() {
        RecordingOwner owner;
        owner.resize(300, 200);
        auto* grid = new CGridCtrl(0, 0, 0, 0, &owner);
        grid->setGeometry(owner.rect());
        grid->SetVirtualMode(true);
        grid->SetRowCount(1000);
        grid->SetColumnCount(4);
        grid->SetFixedRowCount(1);
        owner.show();
        owner.log.clear();
        grid->grab();
        QVERIFY(owner.codes().count(LVN_ODCACHEHINT) >= 2);
        QVERIFY(owner.codes().count(LVN_GETDISPINFO) > 0);
        QVERIFY(owner.codes().count(LVN_GETDISPINFO) < 200); // only visible cells are asked for
        QCOMPARE(owner.codes().last(), LVN_ODCACHEHINT);
    }

    void scrollBarArrowScrollsOneRow() {
        GridFixture f(100, 3, 1, 0, QSize(200, 200));
        auto* bar = f.grid->findChildren<QScrollBar*>().last();
        QCOMPARE(bar->orientation(), Qt::Vertical);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), 20);
        QCOMPARE(bar->value(), 20);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(f.grid->GetScrollPos(Qt::Vertical), f.grid->GetScrollMax(Qt::Vertical));
    }

    void sortArrowOnlyInRowZero() {
        GridFixture f(6, 2, 2, 0);
        f.grid->SetColumnWidth(1, 120);
        const QImage before = f.grid->grab().toImage();
        f.grid->SortByColumn(1);
        const QImage after = f.grid->grab().toImage();
        const auto differs = [&](int top, int bottom) {
            for (int y = top; y < bottom; ++y)
                for (int x = 60; x < 180; ++x)
                    if (before.pixel(x, y) != after.pixel(x, y))
                        return true;
            return false;
        };
        QVERIFY(differs(0, 20));
        QVERIFY(!differs(20, 40));
    }

    void focusedSelectedCellUsesHighlightAndFrame() {
        GridFixture f(4, 3, 1, 0);
        f.click(2, 1);
        QVERIFY(f.grid->IsCellSelected(2, 1));
        QRect rect;
        f.grid->GetCellRect(2, 1, &rect);
        const QImage image = f.grid->grab().toImage();
        QCOMPARE(image.pixel(rect.x() + 30, rect.y() + 3), sysRgb(platform::COLOR_HIGHLIGHT));
        QCOMPARE(image.pixel(rect.x(), rect.y() + 5), sysRgb(platform::COLOR_HIGHLIGHTTEXT));
    }
};

QTEST_MAIN(TestGridGeometry)
#include "tst_gridgeometry.moc"
