#pragma once

#include <QAccessibleWidget>
#include <QHash>

class COptionTree;
class COptionTreeItem;
class COptionTreeList;

// The option tree's row area as assistive tools see it: a tree whose children are the
// category rows, each holding its option rows, then the area's shown windows (the scroll bar,
// an open in-place editor). A row is named by its label and describes its value. Row interfaces
// are made on demand and kept by row id.
class COptionTreeAccessible : public QAccessibleWidget {
public:
    explicit COptionTreeAccessible(COptionTreeList* list);
    ~COptionTreeAccessible() override;

    // Tells assistive tools of a change to item: its focus, value, or expanded state.
    static void Announce(const COptionTreeItem& item, QAccessible::Event change);
    static void AnnounceExpanded(const COptionTreeItem& item);

    COptionTree* Tree() const;
    // The interface of item, or the tree's own for the root.
    QAccessibleInterface* ItemInterface(const COptionTreeItem* item) const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    // The row interface of item while a tool listens; null otherwise.
    static QAccessibleInterface* ListenedRow(const COptionTreeItem& item);
    int RowCount() const;
    QList<QWidget*> ShownWindows() const;

    mutable QHash<int, QAccessible::Id> rows;
};
