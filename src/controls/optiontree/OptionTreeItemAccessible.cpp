#include "controls/optiontree/OptionTreeItemAccessible.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeAccessible.h"
#include "controls/optiontree/OptionTreeList.h"

#include <QWindow>

COptionTreeItemAccessible::COptionTreeItemAccessible(COptionTreeList* list, int itemId)
    : list(list), itemId(itemId) {}

COptionTreeItem* COptionTreeItemAccessible::Item() const {
    return list ? list->GetTree()->ItemFromId(itemId) : nullptr;
}

int COptionTreeItemAccessible::ChildCount(const COptionTreeItem* parent) {
    int count = 0;
    for (const COptionTreeItem* child = parent->GetFirstChild(); child; child = child->GetNextSibling())
        ++count;
    return count;
}

COptionTreeItem* COptionTreeItemAccessible::NthChild(const COptionTreeItem* parent, int index) {
    COptionTreeItem* child = parent->GetFirstChild();
    for (; child && index > 0; --index)
        child = child->GetNextSibling();
    return index == 0 ? child : nullptr;
}

int COptionTreeItemAccessible::IndexInParent(const COptionTreeItem& item) {
    int index = 0;
    for (const COptionTreeItem* sibling = item.GetParent()->GetFirstChild(); sibling != &item;
         sibling = sibling->GetNextSibling())
        ++index;
    return index;
}

QAccessibleInterface* COptionTreeItemAccessible::TreeInterface() const {
    return list ? QAccessible::queryAccessibleInterface(list) : nullptr;
}

QWindow* COptionTreeItemAccessible::window() const {
    return list ? list->window()->windowHandle() : nullptr;
}

QAccessibleInterface* COptionTreeItemAccessible::parent() const {
    const COptionTreeItem* item = Item();
    const auto* tree = static_cast<COptionTreeAccessible*>(TreeInterface());
    return item && tree ? tree->ItemInterface(item->GetParent()) : nullptr;
}

QAccessibleInterface* COptionTreeItemAccessible::child(int index) const {
    const COptionTreeItem* item = Item();
    const auto* tree = static_cast<COptionTreeAccessible*>(TreeInterface());
    COptionTreeItem* row = item && tree && index >= 0 ? NthChild(item, index) : nullptr;
    return row ? tree->ItemInterface(row) : nullptr;
}

int COptionTreeItemAccessible::childCount() const {
    const COptionTreeItem* item = Item();
    return item ? ChildCount(item) : 0;
}

int COptionTreeItemAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* row = dynamic_cast<const COptionTreeItemAccessible*>(child);
    const COptionTreeItem* item = row ? row->Item() : nullptr;
    return item && item->GetParent() == Item() ? IndexInParent(*item) : -1;
}

QAccessibleInterface* COptionTreeItemAccessible::childAt(int x, int y) const {
    for (int index = 0; index < childCount(); ++index) {
        QAccessibleInterface* row = child(index);
        if (row && row->rect().contains(x, y))
            return row;
    }
    return nullptr;
}

QString COptionTreeItemAccessible::text(QAccessible::Text type) const {
    const COptionTreeItem* item = Item();
    if (!item)
        return {};
    switch (type) {
    case QAccessible::Name:
        return item->GetLabelText();
    case QAccessible::Description:
    case QAccessible::Value:
        return item->ValueText();
    case QAccessible::Help:
        return item->GetInfoText();
    default:
        return {};
    }
}

// The whole width of the row area, as the row's selection band shows it; empty for a row
// under a collapsed one.
QRect COptionTreeItemAccessible::RowArea(COptionTreeItem& item) const {
    COptionTree* tree = list->GetTree();
    if (!tree->IsItemVisible(&item))
        return {};
    return {0, item.GetPosition().y() - tree->GetScrollOrigin(), list->ClientRect().width(),
            item.GetHeight()};
}

QRect COptionTreeItemAccessible::rect() const {
    COptionTreeItem* item = Item();
    const QRect row = item ? RowArea(*item) : QRect();
    return row.isEmpty() ? QRect() : QRect(list->mapToGlobal(row.topLeft()), row.size());
}

QAccessible::State COptionTreeItemAccessible::state() const {
    QAccessible::State state;
    COptionTreeItem* item = Item();
    if (!item) {
        state.invalid = true;
        return state;
    }
    COptionTree* tree = list->GetTree();
    const QRect row = RowArea(*item);
    state.invisible = row.isEmpty() || !list->isVisible();
    state.offscreen = !row.intersects(list->ClientRect());
    state.disabled = !list->isEnabled();
    state.focusable = true;
    state.focused = list->hasFocus() && tree->GetFocusItem() == item;
    state.selectable = true;
    state.selected = item->IsSelected();
    state.readOnly = item->IsReadOnly();
    state.expandable = item->HasChildren();
    state.expanded = item->HasChildren() && item->IsExpanded();
    state.collapsed = item->HasChildren() && !item->IsExpanded();
    return state;
}

void* COptionTreeItemAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList COptionTreeItemAccessible::actionNames() const {
    COptionTreeItem* item = Item();
    if (!item || !list->isEnabled() || !list->GetTree()->IsItemVisible(item))
        return {};
    QStringList names{setFocusAction()};
    if (item->HasChildren())
        names.append(toggleAction());
    else if (!item->IsTopLevel() && !item->IsReadOnly())
        names.append(pressAction());
    return names;
}

// As the keyboard does it: the row takes the focus first, then expands or starts its edit.
void COptionTreeItemAccessible::doAction(const QString& actionName) {
    if (!actionNames().contains(actionName))
        return;
    COptionTree* tree = list->GetTree();
    COptionTreeItem* item = Item();
    list->setFocus(Qt::OtherFocusReason);
    tree->ClickItem(item, false);
    if (actionName == toggleAction())
        tree->ToggleExpanded(item);
    else if (actionName == pressAction())
        tree->ActivateFocusItem();
}
