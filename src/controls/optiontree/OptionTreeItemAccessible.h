#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class COptionTreeItem;
class COptionTreeList;

// One row of the option tree for assistive tools, found again by its id at every question so
// a removed row is simply invalid: named by its label, its value as description and value
// text; category rows expand and collapse, option rows start their edit.
class COptionTreeItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    COptionTreeItemAccessible(COptionTreeList* list, int itemId);

    COptionTreeItem* Item() const;

    // The rows under parent, in order.
    static int ChildCount(const COptionTreeItem* parent);
    static COptionTreeItem* NthChild(const COptionTreeItem* parent, int index);
    static int IndexInParent(const COptionTreeItem& item);

    bool isValid() const override { return Item() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAccessibleInterface* TreeInterface() const;
    QRect RowArea(COptionTreeItem& item) const;

    QPointer<COptionTreeList> list;
    int itemId;
};
