#include "GridTestSupport.h"
#include "TestSupport.h"

#include "controls/grid/GridDefaultCell.h"

using namespace grid;
using namespace gridtest;
using platform::CLR_DEFAULT;
using platform::RGB;

namespace {

// Answers every display-info request with the cell's position as text.
bool positionAsText(GRIDDISPINFO* info, LPARAM userValue) {
    info->item.strText = QStringLiteral("%1:%2/%3").arg(info->item.row).arg(info->item.col).arg(userValue);
    return true;
}

// Makes the cells of column 1 bold and leaves the others in the default font.
bool boldSecondColumn(GRIDDISPINFO* info, LPARAM) {
    if (info->item.col == 1)
        info->item.lfFont.weight = LOGFONT::FW_BOLD;
    return true;
}

} // namespace

class TestGridStorage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void fixedRowCountAboveRowCountRaisesIt() {
        CGridCtrl grid;
        QVERIFY(grid.SetFixedRowCount(3));
        QCOMPARE(grid.GetRowCount(), 3);
        QVERIFY(grid.SetFixedColumnCount(2));
        QCOMPARE(grid.GetColumnCount(), 2);
        QCOMPARE(grid.GetCellState(2, 1), GCS_FIXED | GCS_FIXEDROW | GCS_FIXEDCOL);
        // Lowering the row count lowers the fixed count with it.
        grid.SetRowCount(1);
        QCOMPARE(grid.GetFixedRowCount(), 1);
    }

    void newRowsAndColumnsTakeTheirDefaultSizes() {
        QWidget parent;
        CGridCtrl& grid = *new CGridCtrl;
        grid.GetDefaultCell(false, false)->SetHeight(21);
        grid.GetDefaultCell(false, false)->SetWidth(77);
        grid.GetDefaultCell(false, true)->SetWidth(33);
        grid.SetRowCount(2);
        grid.SetColumnCount(2);
        QCOMPARE(grid.GetRowHeight(1), 21);
        QCOMPARE(grid.GetColumnWidth(1), 33);
        QCOMPARE(grid.GetRowHeight(2), -1);
        QVERIFY(grid.Create(QRect(0, 0, 200, 100), &parent, 1021));
        QCOMPARE(grid.GetColumnWidth(0), 77);
        QCOMPARE(grid.GetDlgCtrlID(), 1021);
    }

    void settingTextMarksModifiedAndClearsTheSortArrowOfItsColumn() {
        CGridCtrl grid(5, 3, 1);
        grid.MarkModified(false);
        QVERIFY(grid.SortByColumn(1));
        QVERIFY(grid.SetCellText(2, 2, QStringLiteral("x")));
        QVERIFY(grid.GetModified());
        QVERIFY(grid.GetCellState(2, 2) & GCS_MODIFIED);
        QCOMPARE(grid.GetSortColumn(), 1);
        grid.SetCellText(3, 1, QStringLiteral("y"));
        QCOMPARE(grid.GetSortColumn(), -1);
        // Clearing the grid flag clears every cell's flag.
        grid.MarkModified(false);
        QCOMPARE(grid.GetCellState(2, 2) & GCS_MODIFIED, 0u);
        QVERIFY(!grid.SetCellText(9, 9, QStringLiteral("z")));
        QCOMPARE(grid.GetCellText(9, 9), QString());
    }

    void structuralChangesMarkTheGridAndDropTheArrow() {
        CGridCtrl grid(5, 3, 1);
        const auto sortedThen = [&grid](auto change) {
            grid.SortByColumn(0);
            grid.MarkModified(false);
            change();
            return grid.GetModified() && grid.GetSortColumn() == -1;
        };
        QVERIFY(sortedThen([&] { grid.SetRowCount(7); }));
        QVERIFY(sortedThen([&] { grid.SetColumnCount(4); }));
        QVERIFY(sortedThen([&] { grid.DeleteRow(2); }));
        QVERIFY(sortedThen([&] { grid.ClearGrid(); }));
        QCOMPARE(grid.GetRowCount(), 0);
        QCOMPARE(grid.GetFixedRowCount(), 0);
    }

    void deleteRowLeavesNoFocusAndNoSelection() {
        for (int deleted : {1, 3, 5}) {
            CGridCtrl grid(6, 3, 1);
            grid.SetCellText(4, 0, QStringLiteral("below"));
            grid.SetFocusCell(3, 1);
            grid.SelectRange(2, 0, 4, 2);
            QVERIFY(grid.DeleteRow(deleted));
            QVERIFY(!grid.GetFocusCell().IsValid());
            QCOMPARE(grid.GetSelectedCount(), 0);
            QVERIFY(!grid.GetSelectionBounds().IsValid());
            QCOMPARE(grid.GetRowCount(), 5);
            QCOMPARE(grid.GetCellText(deleted < 4 ? 3 : 4, 0), QStringLiteral("below"));
        }
        CGridCtrl grid(3, 2, 2);
        QVERIFY(grid.DeleteRow(0));
        QCOMPARE(grid.GetFixedRowCount(), 1);
        QVERIFY(!grid.DeleteRow(5));
    }

    void shrinkingDropsSelectedCellsFromTheSelection() {
        CGridCtrl grid(10, 4, 1);
        grid.SelectRange(1, 0, 9, 3);
        QCOMPARE(grid.GetSelectedCount(), 36);
        grid.SetRowCount(5);
        QCOMPARE(grid.GetSelectedCount(), 16);
        grid.SetColumnCount(2);
        QCOMPARE(grid.GetSelectedCount(), 8);
        QCOMPARE(grid.GetSelectionBounds(), CCellRange(1, 0, 4, 1));
    }

    void selectionBeyondSixtyFiveThousandRowsKeepsRowsApart() {
        CGridCtrl grid(70000, 1, 1);
        grid.SetCellState(65537, 0, GCS_SELECTED);
        QVERIFY(grid.IsCellSelected(65537, 0));
        QVERIFY(!grid.IsCellSelected(1, 0));
        QCOMPARE(grid.GetSelectionBounds(), CCellRange(65537, 0, 65537, 0));
    }

    void cellItemAppliesOnlyMaskedFields() {
        CGridCtrl grid(3, 3, 1);
        GRIDITEM item;
        item.row = 1;
        item.col = 2;
        item.mask = GIF_TEXT | GIF_BKCLR | GIF_STATE;
        item.strText = QStringLiteral("item");
        item.crBkClr = RGB(10, 20, 30);
        item.crFgClr = RGB(1, 1, 1);
        item.nState = GCS_READONLY | GCS_SELECTED;
        QVERIFY(grid.SetCellItem(&item));
        QCOMPARE(grid.GetCellText(1, 2), QStringLiteral("item"));
        QCOMPARE(grid.GetCell(1, 2)->GetBackColor(), RGB(10, 20, 30));
        QCOMPARE(grid.GetCell(1, 2)->GetTextColor(), CLR_DEFAULT);
        QVERIFY(grid.IsCellSelected(1, 2));
        QCOMPARE(grid.GetSelectedCount(), 1);
        QVERIFY(!grid.IsCellEditable(1, 2));
        QVERIFY(!grid.SetCellItem(nullptr));
        item.row = 7;
        QVERIFY(!grid.SetCellItem(&item));
    }

    void virtualModeAsksForEveryCell() {
        CGridCtrl grid;
        grid.SetVirtualMode(true);
        grid.SetRowCount(100000);
        grid.SetColumnCount(3);
        grid.SetFixedRowCount(1);
        grid.SetCallbackFunc(positionAsText, 7);
        QCOMPARE(grid.GetCellText(99999, 2), QStringLiteral("99999:2/7"));
        QVERIFY(grid.GetCell(0, 1)->IsFixedRow());

        GRIDITEM item;
        item.row = 1;
        item.col = 1;
        item.mask = GIF_TEXT;
        item.strText = QStringLiteral("stored?");
        QVERIFY(!grid.SetCellItem(&item));
        QVERIFY(!grid.SetCellText(1, 1, QStringLiteral("stored?")));
        QCOMPARE(grid.GetCellText(1, 1), QStringLiteral("1:1/7"));

        // Selection lives in the grid's own bookkeeping and reaches the cell's state.
        grid.SelectRange(5, 0, 6, 2);
        QVERIFY(grid.IsCellSelected(6, 2));
        QVERIFY(grid.GetCell(6, 2)->IsSelected());
        QVERIFY(!grid.SortByColumn(0));
    }

    void virtualCellsTakeTheFontTheOwnerGives() {
        CGridCtrl grid;
        grid.SetVirtualMode(true);
        grid.SetRowCount(3);
        grid.SetColumnCount(2);
        grid.SetCallbackFunc(boldSecondColumn, 0);
        QVERIFY(grid.GetCell(1, 1)->GetFontObject().bold());
        QCOMPARE(grid.GetCell(1, 1)->GetFont()->weight, LOGFONT::FW_BOLD);
        // The next cell asked for reuses the same object: the bold font must not stay.
        QVERIFY(!grid.GetCell(1, 0)->GetFontObject().bold());
        QCOMPARE(grid.GetCell(1, 0)->GetFontObject(), grid.GetDefaultCell(false, false)->GetFontObject());
    }

    void virtualModeWithoutCallbackAsksTheOwner() {
        RecordingOwner owner;
        CGridCtrl grid(0, 0, 0, 0, &owner);
        grid.SetVirtualMode(true);
        grid.SetRowCount(3);
        grid.SetColumnCount(2);
        owner.log.clear();
        grid.GetCell(2, 1);
        QCOMPARE(owner.codes(), QList<int>{platform::LVN_GETDISPINFO});
    }

    void colourChangesFollowTheSystemOnlyWhereUnchanged() {
        CGridCtrl grid(2, 2, 1);
        grid.GetDefaultCell(true, false)->SetBackColor(RGB(1, 2, 3));
        QPalette palette = grid.palette();
        palette.setColor(QPalette::Base, QColor(10, 20, 30));
        QApplication::setPalette(palette);
        // Qt tells widgets only once the event loop runs; a test has none.
        QEvent change(QEvent::ApplicationPaletteChange);
        QApplication::sendEvent(&grid, &change);
        QCOMPARE(grid.GetDefaultCell(false, false)->GetBackColor(), RGB(10, 20, 30));
        QCOMPARE(grid.GetDefaultCell(true, false)->GetBackColor(), RGB(1, 2, 3));
        QApplication::setPalette(QPalette());
    }
};

QTEST_MAIN(TestGridStorage)
#include "tst_gridstorage.moc"
