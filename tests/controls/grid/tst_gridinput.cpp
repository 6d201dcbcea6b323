#include "GridTestSupport.h"
#include "TestSupport.h"

#include "controls/grid/GridCellEdit.h"

#include <QLineEdit>
#include <QSignalSpy>

using namespace grid;
using namespace gridtest;
using namespace platform;

namespace {

// Records the keys (modifier keys aside) that reach a widget after its children let them pass.
class KeyRecorder : public QObject {
public:
    explicit KeyRecorder(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        const int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
        if (key != 0 && key != Qt::Key_Alt)
            keys.append(key);
        return false;
    }
    QList<int> keys;
};

} // namespace

class TestGridInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void clickSelectsAndNotifiesInOrder() {
        GridFixture f;
        f.click(2, 1);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 1));
        QCOMPARE(f.grid->GetSelectedCount(), 1);
        const QList<Heard> expected{{LVN_ITEMCHANGING, 2, 1}, {LVN_ITEMCHANGED, 2, 1}, {NM_CLICK, 2, 1}};
        QCOMPARE(f.owner.log, expected);
    }

    void clickOnFocusCellTextEditsOnReleaseNotOnPress() {
        GridFixture f;
        f.click(2, 1);
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, f.centre(2, 1));
        QVERIFY(!f.grid->IsCellEditing(2, 1));
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, f.centre(2, 1));
        QVERIFY(f.grid->IsCellEditing(2, 1));
        QVERIFY(f.owner.heardCode(LVN_BEGINLABELEDIT));
        // A read-only cell never opens.
        f.grid->FinishEditing();
        f.grid->SetCellState(3, 1, GCS_READONLY);
        f.click(3, 1);
        f.click(3, 1);
        QVERIFY(!f.grid->IsCellEditing(3, 1));
    }

    void ctrlClickDeselectsOneCellAndKeepsTheRest() {
        GridFixture f;
        f.click(1, 0);
        QTest::mouseClick(f.grid, Qt::LeftButton, Qt::ShiftModifier, f.centre(3, 2));
        QCOMPARE(f.grid->GetSelectedCount(), 9);
        f.click(2, 1, Qt::ControlModifier);
        QCOMPARE(f.grid->GetSelectedCount(), 8);
        QVERIFY(!f.grid->IsCellSelected(2, 1));
        QVERIFY(f.grid->IsCellSelected(3, 2));
        // Ctrl+click on an unselected cell adds it to the earlier selection.
        f.click(5, 4, Qt::ControlModifier);
        QCOMPARE(f.grid->GetSelectedCount(), 9);
    }

    void listModeSelectsAndDeselectsWholeRows() {
        GridFixture f;
        f.grid->SetListMode(true);
        f.click(2, 1);
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(2, 0, 2, 4));
        f.click(4, 3, Qt::ControlModifier);
        QCOMPARE(f.grid->GetSelectedCount(), 10);
        f.click(2, 3, Qt::ControlModifier);
        QCOMPARE(f.grid->GetSelectedCount(), 5);
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(4, 0, 4, 4));
    }

    void singleRowListModeDropsEarlierSelectionsEvenWithCtrl() {
        GridFixture f;
        f.grid->SetListMode(true);
        f.grid->SetSingleRowSelection(true);
        f.click(2, 1);
        f.click(5, 1, Qt::ControlModifier);
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(5, 0, 5, 4));
        QCOMPARE(f.grid->GetSelectedCount(), 5);
        // A drag selects the row under the pointer only.
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, f.centre(2, 1));
        QTest::mouseMove(f.grid, f.centre(4, 1));
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, f.centre(4, 1));
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(4, 0, 4, 4));
    }

    void dragSelectsARectangle() {
        GridFixture f;
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, f.centre(1, 1));
        QTest::mouseMove(f.grid, f.centre(3, 3));
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, f.centre(3, 3));
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(1, 1, 3, 3));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(3, 3));
    }

    void headerClickSelectsAColumnAndDropsTheFocus() {
        GridFixture f;
        f.click(2, 2);
        f.click(0, 3);
        QVERIFY(!f.grid->GetFocusCell().IsValid());
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(1, 3, 9, 3));
    }

    void headerClickSortsWhenAskedAndTogglesDirection() {
        GridFixture f;
        f.grid->SetHeaderSort(true);
        f.grid->SetCellText(1, 1, QStringLiteral("b"));
        f.grid->SetCellText(2, 1, QStringLiteral("c"));
        f.grid->SetCellText(3, 1, QStringLiteral("a"));
        f.click(0, 1);
        QCOMPARE(f.grid->GetSortColumn(), 1);
        QVERIFY(f.grid->GetSortAscending());
        QCOMPARE(f.grid->GetCellText(1, 1), QStringLiteral("a"));
        QCOMPARE(f.grid->GetCellText(1, 0), QStringLiteral("r3c0")); // the whole row moved
        f.click(0, 1);
        QVERIFY(!f.grid->GetSortAscending());
        QCOMPARE(f.grid->GetCellText(1, 1), QStringLiteral("r9c1"));
    }

    void sortingClearsFocusAndSelection() {
        GridFixture f;
        f.click(3, 3);
        QVERIFY(f.grid->SortByColumn(2, false));
        QVERIFY(!f.grid->GetFocusCell().IsValid());
        QCOMPARE(f.grid->GetSelectedCount(), 0);
        QCOMPARE(f.grid->GetSortColumn(), 2);
        QVERIFY(!f.grid->SortByColumn(9));
        // Rows of equal keys and a custom comparison.
        for (int row = 1; row < 10; ++row)
            f.grid->SetCellText(row, 0, QString::number((row * 7) % 10));
        f.grid->SetCompareFunction([](const CGridCellBase* a, const CGridCellBase* b, LPARAM) {
            return a->GetText().toInt() - b->GetText().toInt();
        });
        QVERIFY(f.grid->SortByColumn(0));
        for (int row = 2; row < 10; ++row)
            QVERIFY(f.grid->GetCellText(row - 1, 0).toInt() <= f.grid->GetCellText(row, 0).toInt());
    }

    // Many rows, few distinct keys, both directions: every row ends in order and whole.
    void sortOrdersLargeGridsAndKeepsRowsWhole() {
        GridFixture f(3001, 2);
        QHash<QString, QString> keyOfRow;
        for (int row = 1; row <= 3000; ++row) {
            const QString key = QString::number((row * 7919) % 53).rightJustified(2, QLatin1Char('0'));
            f.grid->SetCellText(row, 0, key);
            keyOfRow.insert(f.grid->GetCellText(row, 1), key);
        }
        for (const bool ascending : {true, false}) {
            QVERIFY(f.grid->SortByColumn(0, ascending));
            for (int row = 1; row <= 3000; ++row) {
                QCOMPARE(keyOfRow.value(f.grid->GetCellText(row, 1)), f.grid->GetCellText(row, 0));
                if (row > 1) {
                    const int order = f.grid->GetCellText(row - 1, 0).compare(f.grid->GetCellText(row, 0));
                    QVERIFY(ascending ? order <= 0 : order >= 0);
                }
            }
        }
    }

    void arrowKeysMoveAndShiftExtends() {
        GridFixture f;
        f.click(2, 1);
        f.owner.log.clear();
        f.key(Qt::Key_Down);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(3, 1));
        QCOMPARE(f.owner.codes(), (QList<int>{LVN_ITEMCHANGING, LVN_ITEMCHANGED}));
        f.key(Qt::Key_Right, Qt::ShiftModifier);
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(3, 1, 4, 2));
        f.key(Qt::Key_Up);
        f.key(Qt::Key_Up);
        f.key(Qt::Key_Up);
        f.key(Qt::Key_Up);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 2)); // never into the header
        f.key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(9, 4));
        f.key(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 0));
    }

    void pageKeysMoveByTheScrolledRows() {
        GridFixture f(100, 3, 1, 0, QSize(200, 200));
        f.click(2, 1);
        const int firstTop = f.grid->GetFirstScrollCell().row;
        f.key(Qt::Key_PageDown);
        const int moved = f.grid->GetFirstScrollCell().row - firstTop;
        QVERIFY(moved > 0);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2 + moved, 1));
        QVERIFY(f.grid->IsCellVisible(2 + moved, 1));
        f.key(Qt::Key_PageUp);
        f.key(Qt::Key_PageUp); // the top does not move any more: to the first row
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 1));
        f.key(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(99, 2));
        f.key(Qt::Key_PageDown);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(99, 2));
        QVERIFY(f.grid->IsCellVisible(99, 2));
    }

    void listModeDropsSortAndFixedColumnSelection() {
        GridFixture f(5, 3, 1, 1);
        f.grid->SortByColumn(1);
        f.click(2, 2);
        f.grid->SetListMode(true);
        QCOMPARE(f.grid->GetSortColumn(), -1);
        QVERIFY(!f.grid->GetFixedColumnSelection());
        QCOMPARE(f.grid->GetSelectedCount(), 0);
        QVERIFY(!f.grid->GetFocusCell().IsValid());
        f.click(3, 0); // a fixed-column cell no longer selects its row
        QCOMPARE(f.grid->GetSelectedCount(), 0);
    }

    void fixedColumnClickSelectsTheRow() {
        GridFixture f(5, 3, 1, 1);
        f.click(3, 0);
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(3, 1, 3, 2));
        f.click(0, 0); // the corner selects everything
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(1, 1, 4, 2));
    }

    void tabWrapsAndLeavesAtTheEnds() {
        GridFixture f(3, 2, 1, 0);
        auto* other = new QLineEdit(&f.owner);
        other->move(0, 220);
        other->show();
        f.click(1, 1);
        f.key(Qt::Key_Tab);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 0));
        f.key(Qt::Key_Tab);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 1));
        f.key(Qt::Key_Tab); // last cell: the focus leaves the grid
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 1));
        QVERIFY(!f.grid->hasFocus());

        f.grid->setFocus();
        f.grid->SetFocusCell(1, 0);
        f.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 0));
        QVERIFY(!f.grid->hasFocus());
        f.grid->setFocus();
        f.grid->SetFocusCell(2, 0);
        f.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 1));

        // With Ctrl down the grid takes no Tab: Ctrl+Tab and Ctrl+Shift+Tab leave it at once.
        for (const auto& [key, modifiers] :
             {std::pair{Qt::Key_Tab, Qt::KeyboardModifiers(Qt::ControlModifier)},
              std::pair{Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}}) {
            f.grid->setFocus();
            f.grid->SetFocusCell(1, 0);
            f.key(key, modifiers);
            QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 0));
            QVERIFY(!f.grid->hasFocus());
        }
    }

    void escapeAndTabTypedOnTheGridStartNoEdit() {
        GridFixture f;
        f.click(2, 1);
        f.key(Qt::Key_Escape);
        QVERIFY(!f.grid->IsCellEditing(2, 1));
        f.grid->SetHandleTabKey(true);
        QTest::keyClick(f.grid, Qt::Key_Tab);
        QVERIFY(!f.grid->IsCellEditing(2, 2));
        QTest::keyClick(f.grid, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(!f.grid->IsCellEditing(2, 2));
        QCOMPARE(f.grid->GetSelectedCount(), 45); // Ctrl+A selects all
    }

    void columnDraggedLeftOfItsStartIsHiddenOrOnePixel() {
        for (const bool allowHide : {true, false}) {
            GridFixture f;
            f.grid->EnableColumnHide(allowHide);
            const QPoint divider(119, 10); // right edge of column 1 in the header
            QTest::mouseMove(f.grid, divider);
            QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, divider);
            QTest::mouseMove(f.grid, QPoint(30, 10));
            QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
            QCOMPARE(f.grid->GetColumnWidth(1), allowHide ? 0 : 1);
        }
    }

    void columnDividerDragSetsTheWidth() {
        GridFixture f;
        hover(f.grid, QPoint(119, 10));
        QCOMPARE(f.grid->cursor().shape(), Qt::SplitHCursor);
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(119, 10));
        QTest::mouseMove(f.grid, QPoint(150, 10));
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
        QCOMPARE(f.grid->GetColumnWidth(1), 90);
        QVERIFY(!f.owner.heardCode(NM_CLICK));
        QCOMPARE(f.grid->cursor().shape(), Qt::SplitHCursor); // still over the moved divider
        // Double click on the divider fits the column to its cells, with no move in between:
        // the release alone must leave the pointer over the divider again.
        QTest::mouseDClick(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(149, 10));
        int widest = 0;
        for (int row = 0; row < 10; ++row)
            widest = std::max(widest, f.grid->GetCell(row, 1)->MeasureCell().width());
        QCOMPARE(f.grid->GetColumnWidth(1), widest);
        // Dragged far past the window, the column grows no wider than the view.
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(60 + widest - 1, 10));
        QTest::mouseMove(f.grid, QPoint(2000, 10));
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(2000, 10));
        QCOMPARE(f.grid->GetColumnWidth(1), f.grid->GetClientRect().width());
    }

    void sizingBandShowsWhileDragging() {
        GridFixture f;
        const QRgb before = f.pixel(150, 100);
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(119, 10));
        QTest::mouseMove(f.grid, QPoint(150, 10));
        QVERIFY(f.pixel(150, 100) != before); // the inverted band
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
        QCOMPARE(f.pixel(150, 100), before); // the band is gone
        QCOMPARE(f.grid->GetColumnWidth(1), 90);
    }

    // A hidden row next to a divider is dragged open when unhiding is on, skipped when off.
    void rowDividerDragUnhidesOnlyWhenAllowed() {
        for (const bool unhide : {true, false}) {
            GridFixture f(10, 3, 1, 1);
            f.grid->SetRowUnhide(unhide);
            f.grid->SetRowHeight(2, 0);
            const QPoint divider(30, 41); // top edge of row 3, below the hidden row 2
            hover(f.grid, divider);
            QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, divider);
            QTest::mouseMove(f.grid, QPoint(30, 60));
            QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(30, 60));
            if (unhide) {
                QCOMPARE(f.grid->GetRowHeight(2), 20);
                QCOMPARE(f.grid->GetRowHeight(1), 20);
            } else {
                QCOMPARE(f.grid->GetRowHeight(2), 0);
                QCOMPARE(f.grid->GetRowHeight(1), 40);
            }
        }
    }

    void rightClickMovesTheFocusAndNotifies() {
        GridFixture f;
        QTest::mouseClick(f.grid, Qt::RightButton, Qt::NoModifier, f.centre(4, 2));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(4, 2));
        QCOMPARE(f.owner.log.last(), (Heard{NM_RCLICK, 4, 2}));
        QTest::mouseClick(f.grid, Qt::RightButton, Qt::NoModifier, QPoint(310, 230));
        QCOMPARE(f.owner.log.last(), (Heard{NM_RCLICK, -1, -1}));
    }

    void doubleClickNotifiesAndEditsTheCell() {
        GridFixture f;
        f.click(3, 3);
        f.grid->FinishEditing();
        QTest::mouseDClick(f.grid, Qt::LeftButton, Qt::NoModifier, f.centre(5, 2));
        QCOMPARE(f.owner.log.last(), (Heard{NM_DBLCLK, 5, 2}));
        QVERIFY(f.grid->IsCellEditing(5, 2));
    }

    void releasePostsTheCommand() {
        GridFixture f;
        f.grid->SetDlgCtrlID(1021);
        QSignalSpy commands(f.grid, &CGridCtrl::command);
        f.click(2, 2);
        QVERIFY(commands.wait(1000));
        QCOMPARE(commands.first().first().toInt(), 1021);
    }

    // The focus frame and the selection end on the same cell, however far the drag scrolled.
    void autoScrollTimerExtendsPastTheBottom() {
        GridFixture f(60, 3, 1, 0, QSize(200, 150));
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, f.centre(2, 1));
        QTest::mouseMove(f.grid, QPoint(f.centre(2, 1).x(), 160));
        QTRY_VERIFY(f.grid->GetScrollPos(Qt::Vertical) > 100);
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(f.centre(2, 1).x(), 160));
        const CCellRange selection = f.grid->GetSelectionBounds();
        QVERIFY(selection.maxRow > 6);
        QCOMPARE(CCellID(selection.maxRow, selection.maxCol), f.grid->GetFocusCell());
        QVERIFY(f.grid->IsCellVisible(selection.maxRow, 1));

        // Rows dragged up over the header row scroll back up the same way.
        f.grid->SetListMode(true);
        f.grid->EnsureVisible(40, 1);
        const int scrolled = f.grid->GetScrollPos(Qt::Vertical);
        const QPoint start = f.centre(f.grid->GetFirstScrollCell().row + 2, 1);
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseMove(f.grid, QPoint(start.x(), 10));
        QTRY_VERIFY(f.grid->GetScrollPos(Qt::Vertical) < scrolled - 100);
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(start.x(), 10));
        QCOMPARE(f.grid->GetSelectionBounds().minRow, f.grid->GetFocusCell().row);
        QVERIFY(f.grid->IsCellVisible(f.grid->GetFocusCell().row, 1));
    }

    // Alt combinations belong to the window's menus: the grid neither types, edits nor moves
    // on them and lets them pass on to its parent.
    void altKeysAreLeftToTheWindow() {
        GridFixture f;
        KeyRecorder parentKeys(&f.owner);
        f.grid->SetCellText(2, 1, QStringLiteral("abc"));
        f.click(2, 1);
        f.key(Qt::Key_Q, Qt::AltModifier);
        QVERIFY(!f.grid->IsCellEditing(2, 1));
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("abc"));
        f.key(Qt::Key_Down, Qt::AltModifier);
        f.key(Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 1));
        QCOMPARE(parentKeys.keys, (QList<int>{Qt::Key_Q, Qt::Key_Down, Qt::Key_Right}));

        // An edit opened by typing ends on arrows, but not on Alt+arrows, and takes no Alt+letter.
        f.key(Qt::Key_Z);
        QVERIFY(f.grid->IsCellEditing(2, 1));
        f.key(Qt::Key_X, Qt::AltModifier);
        f.key(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(f.grid->IsCellEditing(2, 1));
        f.key(Qt::Key_Return);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("z"));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 1));
    }

    // A pointer resting on a divider changes the cursor only, not what the keys do.
    void keysActTheSameWithThePointerOnADivider() {
        GridFixture f;
        f.click(2, 1);
        hover(f.grid, QPoint(119, 10));
        QCOMPARE(f.grid->cursor().shape(), Qt::SplitHCursor);
        f.key(Qt::Key_Down);
        f.key(Qt::Key_Down);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(4, 1));
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(4, 1, 4, 1));
        f.key(Qt::Key_Q);
        QVERIFY(f.grid->IsCellEditing(4, 1));
        f.key(Qt::Key_Return);
        QCOMPARE(f.grid->GetCellText(4, 1), QStringLiteral("q"));
        // The divider still sizes its column afterwards.
        QTest::mousePress(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(119, 10));
        QTest::mouseMove(f.grid, QPoint(150, 10));
        QTest::mouseRelease(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
        QCOMPARE(f.grid->GetColumnWidth(1), 90);
    }

    // Without a focus cell the first movement key, or Tab into the grid, starts at the first
    // cell below the header, so the grid can be used without a mouse.
    void keyboardAloneFindsTheFirstCell() {
        {
            GridFixture f;
            f.grid->SetListMode(true);
            QVERIFY(!f.grid->GetFocusCell().IsValid());
            f.key(Qt::Key_Down);
            QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 0));
            QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(1, 0, 1, 4));
            QCOMPARE(f.owner.codes(), (QList<int>{LVN_ITEMCHANGING, LVN_ITEMCHANGED}));
            f.key(Qt::Key_Down);
            QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 0));
        }
        GridFixture f(10, 5, 1, 1);
        f.grid->SetColumnWidth(1, 0); // hidden: the first shown column takes the focus
        auto* before = new QLineEdit(&f.owner);
        before->move(0, 220);
        before->show();
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(f.grid->hasFocus());
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 2));
        QVERIFY(f.grid->IsCellSelected(1, 2));
        // Focus coming back from elsewhere keeps the cell the user left.
        f.key(Qt::Key_Down);
        before->setFocus();
        f.grid->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 2));
    }

    // A right click on a header reports the first cell of its row or column below the header.
    void rightClickOnAHeaderReportsTheRaisedCell() {
        GridFixture f(10, 5, 1, 1);
        QTest::mouseClick(f.grid, Qt::RightButton, Qt::NoModifier, f.centre(0, 3));
        QCOMPARE(f.owner.log.last(), (Heard{NM_RCLICK, 1, 3}));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 3));
        QTest::mouseClick(f.grid, Qt::RightButton, Qt::NoModifier, f.centre(4, 0));
        QCOMPARE(f.owner.log.last(), (Heard{NM_RCLICK, 4, 1}));
        QTest::mouseClick(f.grid, Qt::RightButton, Qt::NoModifier, f.centre(0, 0));
        QCOMPARE(f.owner.log.last(), (Heard{NM_RCLICK, 1, 1}));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 1));
    }
};

QTEST_MAIN(TestGridInput)
#include "tst_gridinput.moc"
