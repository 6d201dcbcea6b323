#include "controls/optiontree/OptionTreeAccessible.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeItemAccessible.h"
#include "controls/optiontree/OptionTreeList.h"

COptionTreeAccessible::COptionTreeAccessible(COptionTreeList* list)
    : QAccessibleWidget(list, QAccessible::Tree) {}

COptionTreeAccessible::~COptionTreeAccessible() {
    for (const QAccessible::Id id : std::as_const(rows))
        QAccessible::deleteAccessibleInterface(id);
}

// An event makes the interfaces it names, so nothing is sent while no tool listens.
QAccessibleInterface* COptionTreeAccessible::ListenedRow(const COptionTreeItem& item) {
    if (!QAccessible::isActive() || !item.GetTree())
        return nullptr;
    const auto* list = static_cast<COptionTreeAccessible*>(
        QAccessible::queryAccessibleInterface(item.GetTree()->GetListWindow()));
    return list ? list->ItemInterface(&item) : nullptr;
}

void COptionTreeAccessible::Announce(const COptionTreeItem& item, QAccessible::Event change) {
    if (QAccessibleInterface* row = ListenedRow(item)) {
        QAccessibleEvent event(row, change);
        QAccessible::updateAccessibility(&event);
    }
}

void COptionTreeAccessible::AnnounceExpanded(const COptionTreeItem& item) {
    if (QAccessibleInterface* row = ListenedRow(item)) {
        QAccessible::State changed;
        changed.expanded = true;
        changed.collapsed = true;
        QAccessibleStateChangeEvent event(row, changed);
        QAccessible::updateAccessibility(&event);
    }
}

COptionTree* COptionTreeAccessible::Tree() const {
    return static_cast<COptionTreeList*>(widget())->GetTree();
}

QAccessibleInterface* COptionTreeAccessible::ItemInterface(const COptionTreeItem* item) const {
    if (!item || item == Tree()->GetRoot())
        return const_cast<COptionTreeAccessible*>(this);
    if (const auto found = rows.constFind(item->GetId()); found != rows.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* row = new COptionTreeItemAccessible(static_cast<COptionTreeList*>(widget()), item->GetId());
    rows.insert(item->GetId(), QAccessible::registerAccessibleInterface(row));
    return row;
}

int COptionTreeAccessible::RowCount() const {
    return COptionTreeItemAccessible::ChildCount(Tree()->GetRoot());
}

// Every value row keeps its editor hidden over its value between edits; only the open one
// and a shown scroll bar are part of the tree, or the hidden editors would read as rows.
QList<QWidget*> COptionTreeAccessible::ShownWindows() const {
    QList<QWidget*> shown;
    for (QObject* child : widget()->children()) {
        auto* window = qobject_cast<QWidget*>(child);
        if (window && !window->isWindow() && window->isVisible())
            shown.append(window);
    }
    return shown;
}

int COptionTreeAccessible::childCount() const {
    return RowCount() + int(ShownWindows().size());
}

QAccessibleInterface* COptionTreeAccessible::child(int index) const {
    if (index < 0)
        return nullptr;
    if (index < RowCount())
        return ItemInterface(COptionTreeItemAccessible::NthChild(Tree()->GetRoot(), index));
    const QList<QWidget*> shown = ShownWindows();
    index -= RowCount();
    return index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index)) : nullptr;
}

int COptionTreeAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (const auto* row = dynamic_cast<const COptionTreeItemAccessible*>(child)) {
        const COptionTreeItem* item = row->Item();
        return item && item->GetParent() == Tree()->GetRoot()
                   ? COptionTreeItemAccessible::IndexInParent(*item)
                   : -1;
    }
    const qsizetype windowIndex =
        child ? ShownWindows().indexOf(qobject_cast<QWidget*>(child->object())) : -1;
    return windowIndex < 0 ? -1 : RowCount() + int(windowIndex);
}

// The windows over the rows (an open editor) come first; a category row holds the rows
// under it, so the answer is the row at the point, wherever it sits in the tree.
QAccessibleInterface* COptionTreeAccessible::childAt(int x, int y) const {
    for (QWidget* window : ShownWindows()) {
        if (window->rect().contains(window->mapFromGlobal(QPoint(x, y))))
            return QAccessible::queryAccessibleInterface(window);
    }
    const QPoint point = widget()->mapFromGlobal(QPoint(x, y));
    const COptionTreeItem* item = widget()->rect().contains(point) ? Tree()->ItemAtPoint(point) : nullptr;
    return item ? ItemInterface(item) : nullptr;
}

QAccessibleInterface* COptionTreeAccessible::focusChild() const {
    if (widget()->hasFocus() && Tree()->GetFocusItem())
        return ItemInterface(Tree()->GetFocusItem());
    return QAccessibleWidget::focusChild();
}
