#include "GridTestSupport.h"
#include "TestSupport.h"

#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridCellEdit.h"

#include "resource.h"

#include <QClipboard>

using namespace grid;
using namespace gridtest;
using namespace platform;

namespace {

CGridCellEdit* editorOf(CGridCtrl* grid) {
    for (CGridCellEdit* editor : grid->findChildren<CGridCellEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

} // namespace

class TestGridEditing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void escapeRestoresTheTextAndStays() {
        GridFixture f;
        f.click(2, 1);
        f.grid->MarkModified(false);
        f.key(Qt::Key_F2);
        CGridCellEdit* editor = editorOf(f.grid);
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("changed"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("r2c1"));
        QVERIFY(!f.grid->GetModified());
        QVERIFY(!f.grid->IsCellEditing(2, 1));
        QVERIFY(!f.owner.heardCode(LVN_ENDLABELEDIT));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 1));
        QVERIFY(!editorOf(f.grid));
    }

    void returnStoresWithoutMoving() {
        GridFixture f;
        f.click(2, 1);
        f.key(Qt::Key_F2);
        QCOMPARE(editorOf(f.grid)->cursorPosition(), 4); // caret at the end, text kept
        QTest::keyClicks(editorOf(f.grid), QStringLiteral("x"));
        f.key(Qt::Key_Return);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("r2c1x"));
        QVERIFY(f.grid->GetCellState(2, 1) & GCS_MODIFIED);
        QVERIFY(f.owner.heardCode(LVN_ENDLABELEDIT));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 1));
        QVERIFY(!editorOf(f.grid));
        QVERIFY(f.grid->hasFocus());
    }

    void tabStoresAndOpensTheNextCellWrappingRows() {
        GridFixture f(4, 3, 1, 0);
        f.click(1, 1);
        f.key(Qt::Key_F2);
        QTest::keyClicks(editorOf(f.grid), QStringLiteral("1"));
        f.key(Qt::Key_Tab);
        QCOMPARE(f.grid->GetCellText(1, 1), QStringLiteral("r1c11"));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 2));
        QVERIFY(f.grid->IsCellEditing(1, 2));
        QCOMPARE(editorOf(f.grid)->selectedText(), QStringLiteral("r1c2")); // opened with all selected
        f.key(Qt::Key_Tab);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(2, 0));
        QVERIFY(f.grid->IsCellEditing(2, 0));
        f.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(1, 2));
        QVERIFY(f.grid->IsCellEditing(1, 2));
    }

    void typedEditEndsOnArrowsButMouseEditKeepsThem() {
        GridFixture f;
        f.click(2, 1);
        QTest::keyClicks(f.grid, QStringLiteral("q"));
        CGridCellEdit* editor = editorOf(f.grid);
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("q"));
        f.key(Qt::Key_Down);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("q"));
        QCOMPARE(f.grid->GetFocusCell(), CCellID(3, 1));
        QVERIFY(f.grid->IsCellEditing(3, 1));
        f.key(Qt::Key_Return);

        f.key(Qt::Key_F2);
        f.key(Qt::Key_Left); // moves the caret only
        QVERIFY(f.grid->IsCellEditing(3, 1));
        QCOMPARE(editorOf(f.grid)->cursorPosition(), 3);
        f.key(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(f.grid->GetFocusCell(), CCellID(3, 0));
    }

    void blankAndPunctuationOpenWithTextSelectedWithoutTyping() {
        for (const QChar character : {QLatin1Char(' '), QLatin1Char('!'), QLatin1Char('(')}) {
            GridFixture f;
            f.click(2, 1);
            QTest::keyClick(f.grid, character.toLatin1());
            CGridCellEdit* editor = editorOf(f.grid);
            QVERIFY(editor);
            QCOMPARE(editor->text(), QStringLiteral("r2c1"));
            QCOMPARE(editor->selectedText(), QStringLiteral("r2c1"));
        }
    }

    void backspaceAsFirstKeyDeletesTheLastCharacter() {
        GridFixture f;
        f.click(2, 1);
        QTest::keyClick(f.grid, Qt::Key_Backspace);
        CGridCellEdit* editor = editorOf(f.grid);
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("r2c"));
    }

    void rejectedEditRestoresTheTextButStaysModified() {
        GridFixture f;
        f.owner.answers.insert(LVN_ENDLABELEDIT, -1);
        f.click(2, 1);
        f.grid->MarkModified(false);
        f.key(Qt::Key_F2);
        QTest::keyClicks(editorOf(f.grid), QStringLiteral("zz"));
        f.key(Qt::Key_Return);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("r2c1"));
        QVERIFY(f.grid->GetCellState(2, 1) & GCS_MODIFIED);
    }

    void ownerCanRefuseToStartAnEdit() {
        GridFixture f;
        f.owner.answers.insert(LVN_BEGINLABELEDIT, -1);
        f.click(2, 1);
        f.key(Qt::Key_F2);
        QVERIFY(!editorOf(f.grid));
        QTest::keyClick(f.grid, Qt::Key_Delete);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("r2c1"));
    }

    void editorGrowsWhileTypingUpToTheGridEdge() {
        GridFixture f;
        f.click(2, 1);
        f.key(Qt::Key_F2);
        CGridCellEdit* editor = editorOf(f.grid);
        const int before = editor->width();
        QTest::keyClicks(editor, QStringLiteral(" a much longer text than fits"));
        QVERIFY(editor->width() > before);
        QVERIFY(editor->geometry().right() <= f.grid->GetClientRect().right());
    }

    void numericCellTakesDigitsOnly() {
        GridFixture f;
        f.grid->ReplaceCellClass(2, 1, QStringLiteral("CGridCellNumeric"));
        f.grid->SetCellText(2, 1, QStringLiteral("12"));
        f.click(2, 1);
        f.key(Qt::Key_F2);
        QTest::keyClicks(editorOf(f.grid), QStringLiteral("3a4"));
        f.key(Qt::Key_Return);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("1234"));
    }

    void clickingElsewhereEndsTheEdit() {
        GridFixture f;
        f.click(2, 1);
        f.key(Qt::Key_F2);
        QTest::keyClicks(editorOf(f.grid), QStringLiteral("!"));
        f.click(5, 3);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("r2c1!"));
        QVERIFY(!f.grid->IsCellEditing(2, 1));
    }

    void deletingTheEditedRowClosesTheEditorFirst() {
        GridFixture f;
        f.click(2, 1);
        f.key(Qt::Key_F2);
        QTest::keyClicks(editorOf(f.grid), QStringLiteral("?"));
        f.grid->DeleteRow(2);
        QVERIFY(!editorOf(f.grid));
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("r3c1"));
    }

    // An owner that removes the edited row when it is asked about the edit, or told of it,
    // must not leave the grid touching a freed cell.
    void ownerMayDeleteTheRowDuringTheEdit_data() {
        QTest::addColumn<int>("code");
        QTest::newRow("begin") << LVN_BEGINLABELEDIT;
        QTest::newRow("end") << LVN_ENDLABELEDIT;
    }

    void ownerMayDeleteTheRowDuringTheEdit() {
        QFETCH(int, code);
        struct DeletingOwner : RecordingOwner {
            platform::LRESULT notify(const platform::NMHDR& header) override {
                if (header.code == code)
                    grid->DeleteRow(reinterpret_cast<const GRIDNOTIFY&>(header).iRow);
                return RecordingOwner::notify(header);
            }
            CGridCtrl* grid = nullptr;
            int code = 0;
        };
        DeletingOwner owner;
        owner.code = code;
        owner.resize(320, 240);
        owner.grid = new CGridCtrl(5, 3, 1, 0, &owner);
        owner.grid->setGeometry(owner.rect());
        owner.show();
        owner.activateWindow(); // focus needs an active window, on any display
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        owner.grid->SetFocusCell(4, 1);
        owner.grid->setFocus();
        QTest::keyClick(owner.grid, Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(owner.grid->GetRowCount(), 4);
        QVERIFY(!owner.grid->IsCellEditing(3, 1));
    }

    void pasteFillsFieldsAndSelectsThem() {
        GridFixture f;
        f.click(2, 1);
        QGuiApplication::clipboard()->setText(QStringLiteral("a,b\r\nc"));
        QTest::keyClick(f.grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("a"));
        QCOMPARE(f.grid->GetCellText(2, 2), QStringLiteral("b"));
        QCOMPARE(f.grid->GetCellText(3, 1), QStringLiteral("c"));
        QCOMPARE(f.grid->GetCellText(3, 2), QStringLiteral("r3c2"));
        QCOMPARE(f.grid->GetSelectionBounds(), CCellRange(2, 1, 3, 2));
    }

    void pasteSkipsHiddenRowsAndColumnsAndDropsOverflow() {
        GridFixture f(4, 4, 1, 0);
        f.grid->SetColumnWidth(2, 0);
        f.grid->SetRowHeight(2, 0);
        QVERIFY(f.grid->PasteText(CCellID(1, 1), QStringLiteral("a\tb\tc\td\nx"), false));
        QCOMPARE(f.grid->GetCellText(1, 1), QStringLiteral("a"));
        QCOMPARE(f.grid->GetCellText(1, 2), QStringLiteral("r1c2"));
        QCOMPARE(f.grid->GetCellText(1, 3), QStringLiteral("b"));
        QCOMPARE(f.grid->GetCellText(3, 1), QStringLiteral("x"));
        QCOMPARE(f.grid->GetCellText(2, 1), QStringLiteral("r2c1"));
        QCOMPARE(f.grid->GetSelectedCount(), 0);
    }

    void copyGivesEmptyFieldsForUnselectedCells() {
        GridFixture f;
        f.click(1, 1);
        f.click(2, 2, Qt::ControlModifier);
        QTest::keyClick(f.grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("r1c1\t\r\n\tr2c2"));
        QVERIFY(f.grid->IsCommandEnabled(ID_EDIT_COPY));
        f.grid->ClearSelection();
        QVERIFY(!f.grid->IsCommandEnabled(ID_EDIT_COPY));
        QVERIFY(!f.grid->CopySelection().has_value());
    }

    void cutCopiesAndClearsDeleteClears() {
        GridFixture f;
        f.click(1, 1);
        QTest::mouseClick(f.grid, Qt::LeftButton, Qt::ShiftModifier, f.centre(1, 2));
        QVERIFY(f.grid->OnCommand(ID_EDIT_CUT));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("r1c1\tr1c2"));
        QCOMPARE(f.grid->GetCellText(1, 1), QString());
        QCOMPARE(f.grid->GetCellText(1, 2), QString());
        f.click(3, 3);
        QTest::keyClick(f.grid, Qt::Key_Delete);
        QCOMPARE(f.grid->GetCellText(3, 3), QString());
        f.grid->SetEditable(false);
        QVERIFY(!f.grid->IsCommandEnabled(ID_EDIT_CUT));
        QVERIFY(!f.grid->IsCommandEnabled(ID_EDIT_PASTE));
    }

    void checkBoxTogglesOnlyInsideItsBox() {
        GridFixture f;
        f.grid->ReplaceCellClass(2, 0, QStringLiteral("CGridCellCheck"));
        auto* check = dynamic_cast<CGridCellCheck*>(f.grid->GetCell(2, 0));
        QVERIFY(check);
        f.grid->grab(); // the box is placed by painting
        const QRect box = check->CheckRect();
        QVERIFY(!box.isEmpty());
        QTest::mouseClick(f.grid, Qt::LeftButton, Qt::NoModifier, box.center());
        QVERIFY(check->GetCheck());
        QTest::mouseClick(f.grid, Qt::LeftButton, Qt::NoModifier, QPoint(box.right() + 10, box.center().y()));
        QVERIFY(check->GetCheck());
        QTest::mouseClick(f.grid, Qt::LeftButton, Qt::NoModifier, box.center());
        QVERIFY(!check->GetCheck());
        // The painted box follows the state, and the grid's enabled state.
        const QImage unchecked = f.grid->grab().toImage().copy(box);
        check->SetCheck(true);
        const QImage checked = f.grid->grab().toImage().copy(box);
        QVERIFY(checked != unchecked);
        f.grid->setEnabled(false);
        QVERIFY(f.grid->grab().toImage().copy(box) != checked);
    }
};

QTEST_MAIN(TestGridEditing)
#include "tst_gridediting.moc"
