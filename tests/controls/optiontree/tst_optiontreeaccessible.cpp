#include "TestSupport.h"
#include "TreeSample.h"

#include <QAccessible>

namespace {

QAccessibleInterface* childNamed(QAccessibleInterface* parent, const QString& name) {
    for (int index = 0; index < parent->childCount(); ++index) {
        QAccessibleInterface* child = parent->child(index);
        if (child && child->text(QAccessible::Name) == name)
            return child;
    }
    return nullptr;
}

} // namespace

class TestOptionTreeAccessible : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    // Category rows hold their option rows; a row is named by its label and describes its
    // value, and a removed row reads as invalid rather than as another row.
    void rowsAreNamedByLabelAndDescribeTheirValue() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(sample.list());
        QCOMPARE(tree->role(), QAccessible::Tree);
        QCOMPARE(tree->text(QAccessible::Name), QStringLiteral("Option list"));

        QAccessibleInterface* general = childNamed(tree, QStringLiteral("General"));
        QVERIFY(general);
        QCOMPARE(general->role(), QAccessible::TreeItem);
        QCOMPARE(general->childCount(), 3);
        QVERIFY(general->state().expandable && general->state().expanded);
        QCOMPARE(tree->indexOfChild(general), 0);

        QAccessibleInterface* choice = childNamed(general, QStringLiteral("Choice"));
        QVERIFY(choice);
        QCOMPARE(choice->text(QAccessible::Description), QStringLiteral("A"));
        QCOMPARE(choice->parent(), general);
        QCOMPARE(general->indexOfChild(choice), 1);
        QCOMPARE(childNamed(general, QStringLiteral("Number"))->text(QAccessible::Value),
                 QStringLiteral("5"));
        QVERIFY(!choice->rect().isEmpty());
        QCOMPARE(tree->childAt(choice->rect().center().x(), choice->rect().center().y()), choice);

        sample.tree->SetItemExpanded(sample.item(1), false);
        QVERIFY(general->state().collapsed);
        QVERIFY(choice->state().invisible);
        QVERIFY(choice->rect().isEmpty());

        sample.tree->RemoveItem(sample.item(3));
        QVERIFY(!choice->isValid());
        QCOMPARE(choice->text(QAccessible::Name), QString());
        QCOMPARE(general->childCount(), 2);
    }

    // The focus row is the tree's focus child; a value picked in the open editor is the row's
    // once committed, and the hidden editors never show as children.
    void theFocusRowDescribesItsNewValue() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(sample.list());
        const int closedChildren = tree->childCount();
        QCOMPARE(closedChildren, 2);
        sample.click(sample.labelPoint(3));
        QCOMPARE(tree->focusChild()->text(QAccessible::Name), QStringLiteral("Choice"));
        QVERIFY(tree->focusChild()->state().focused);

        auto* choice = static_cast<COptionTreeItemComboBox*>(sample.item(3));
        sample.key(Qt::Key_Return);
        QVERIFY(choice->IsEditing());
        QCOMPARE(tree->childCount(), closedChildren + 1);
        QCOMPARE(tree->child(closedChildren)->object(), choice->GetControl());
        sample.key(Qt::Key_Down);
        sample.key(Qt::Key_Return);
        QCOMPARE(choice->GetWindowText(), QStringLiteral("B"));
        QCOMPARE(tree->childCount(), closedChildren);
        QCOMPARE(tree->focusChild()->text(QAccessible::Description), QStringLiteral("B"));
    }
};

QTEST_MAIN(TestOptionTreeAccessible)
#include "tst_optiontreeaccessible.moc"
