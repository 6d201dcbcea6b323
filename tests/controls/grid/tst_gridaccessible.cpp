#include "GridTestSupport.h"
#include "TestSupport.h"

#include "controls/grid/CellFactory.h"
#include "controls/grid/GridCell.h"
#include "controls/grid/GridCellCheck.h"

#include <QAccessible>
#include <QTest>

using namespace grid;
using gridtest::GridFixture;

namespace {

// A cell that keeps a secret and shows only bullets for it, as a password cell does.
class SecretCell : public CGridCell {
public:
    QString GetRuntimeClassName() const override { return QStringLiteral("SecretCell"); }
    QString GetShownText() const override { return QString(GetText().size(), QChar(0x2022)); }
};

} // namespace

class TestGridAccessible : public QObject {
    Q_OBJECT

    // A job-list-like grid: a header row, check boxes in column 0, a secret column 2.
    static void prepare(GridFixture& f) {
        for (int row = 1; row < f.grid->GetRowCount(); ++row) {
            f.grid->ReplaceCellClass(row, 0, QStringLiteral("CGridCellCheck"));
            f.grid->ReplaceCellClass(row, 2, QStringLiteral("SecretCell"));
            f.grid->SetCellText(row, 2, QStringLiteral("hunter%1").arg(row));
        }
        static_cast<CGridCellCheck*>(f.grid->GetCell(1, 0))->SetCheck(true);
    }

private Q_SLOTS:
    void initTestCase() {
        CellFactory::Register(QStringLiteral("SecretCell"), [] { return std::make_unique<SecretCell>(); });
    }
    void init() { testsupport::failOnUnexpectedWarnings(); }

    // The table reads what the grid paints: headers, texts, bullets for a secret, check
    // boxes; and a cell's interface never outlives its row.
    void theTableReadsWhatTheGridShows() {
        GridFixture f(4, 3);
        prepare(f);
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(f.grid);
        QVERIFY(grid);
        QCOMPARE(grid->role(), QAccessible::Table);
        QAccessibleTableInterface* table = grid->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 3);
        QCOMPARE(table->columnDescription(1), QStringLiteral("r0c1"));
        QCOMPARE(grid->childCount(), 4 * 3 + 2); // the cells, then the two scroll bars

        QAccessibleInterface* name = table->cellAt(1, 1);
        QCOMPARE(name->text(QAccessible::Name), QStringLiteral("r2c1"));
        QCOMPARE(name->role(), QAccessible::Cell);
        QCOMPARE(grid->indexOfChild(name), 2 * 3 + 1);
        QCOMPARE(grid->child(2 * 3 + 1), name);
        QCOMPARE(name->tableCellInterface()->columnHeaderCells().first()->text(QAccessible::Name),
                 QStringLiteral("r0c1"));
        QCOMPARE(name->tableCellInterface()->columnHeaderCells().first()->role(), QAccessible::ColumnHeader);
        QCOMPARE(name->parent(), grid);
        QCOMPARE(grid->childAt(name->rect().center().x(), name->rect().center().y()), name);

        const QString secret = table->cellAt(0, 2)->text(QAccessible::Name);
        QCOMPARE(secret, QString(7, QChar(0x2022)));
        QCOMPARE(table->columnDescription(2), QStringLiteral("r0c2"));

        QAccessibleInterface* check = table->cellAt(0, 0);
        QCOMPARE(check->role(), QAccessible::CheckBox);
        QVERIFY(check->state().checkable);
        QVERIFY(check->state().checked);
        QVERIFY(!table->cellAt(1, 0)->state().checked);
        QVERIFY(!name->state().checkable);
        check->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!static_cast<CGridCellCheck*>(f.grid->GetCell(1, 0))->GetCheck());
        QVERIFY(!check->state().checked);

        QAccessibleInterface* last = table->cellAt(2, 1);
        QCOMPARE(last->text(QAccessible::Name), QStringLiteral("r3c1"));
        QVERIFY(f.grid->DeleteRow(3));
        QCOMPARE(table->rowCount(), 2);
        QVERIFY(!last->isValid());
        QCOMPARE(last->text(QAccessible::Name), QString());
        QVERIFY(last->state().invalid);
        f.grid->SetColumnCount(0);
        QCOMPARE(table->cellAt(0, 0), nullptr);
        QCOMPARE(grid->childCount(), 2);
    }

    // The focus cell the keys move to is the table's focus child, an open editor is named by
    // its column and is a child too; a click on a box checks it.
    void theKeysAndTheMouseShowInTheCells() {
        GridFixture f(4, 3);
        prepare(f);
        f.grid->SetFocusCell(2, 1);
        f.key(Qt::Key_Down);
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(f.grid);
        QAccessibleInterface* focus = grid->focusChild();
        QCOMPARE(focus->text(QAccessible::Name), QStringLiteral("r3c1"));
        QVERIFY(focus->state().focused);
        QCOMPARE(focus, grid->tableInterface()->cellAt(2, 1));
        f.key(Qt::Key_F2);
        auto* editor = f.grid->findChild<QWidget*>(QStringLiteral("GridCellEdit"));
        QVERIFY(editor);
        QCOMPARE(editor->accessibleName(), QStringLiteral("r0c1"));
        QCOMPARE(grid->indexOfChild(QAccessible::queryAccessibleInterface(editor)), grid->childCount() - 1);
        f.key(Qt::Key_Escape);
        f.grid->clearFocus();
        QVERIFY(!focus->state().focused);

        QAccessibleInterface* box = grid->tableInterface()->cellAt(1, 0);
        QVERIFY(!box->state().checked);
        f.grid->grab(); // lays the boxes out
        const QPoint inBox = static_cast<CGridCellCheck*>(f.grid->GetCell(2, 0))->CheckRect().center();
        QTest::mouseClick(f.grid, Qt::LeftButton, Qt::NoModifier, inBox);
        QVERIFY(box->state().checked);
    }
};

QTEST_MAIN(TestGridAccessible)
#include "tst_gridaccessible.moc"
