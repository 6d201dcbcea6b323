#include "controls/chrome/CoolMenuBarAccessible.h"

#include "controls/chrome/CoolMenuBar.h"
#include "controls/chrome/CoolMenuButtonAccessible.h"

CCoolMenuBarAccessible::CCoolMenuBarAccessible(CCoolMenuBar* bar)
    : QAccessibleWidget(bar, QAccessible::MenuBar) {}

CCoolMenuBarAccessible::~CCoolMenuBarAccessible() {
    for (const QAccessible::Id id : std::as_const(items))
        QAccessible::deleteAccessibleInterface(id);
}

CCoolMenuBar* CCoolMenuBarAccessible::Bar() const {
    return static_cast<CCoolMenuBar*>(widget());
}

int CCoolMenuBarAccessible::childCount() const {
    return Bar()->ButtonCount() + QAccessibleWidget::childCount();
}

// A button's interface stays with its index; it reads the bar's current menus.
QAccessibleInterface* CCoolMenuBarAccessible::child(int index) const {
    if (index < 0)
        return nullptr;
    if (index >= Bar()->ButtonCount())
        return QAccessibleWidget::child(index - Bar()->ButtonCount());
    while (items.size() <= index)
        items.append(QAccessible::registerAccessibleInterface(
            new CCoolMenuButtonAccessible(Bar(), int(items.size()))));
    return QAccessible::accessibleInterface(items.at(index));
}

int CCoolMenuBarAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (const auto* item = dynamic_cast<const CCoolMenuButtonAccessible*>(child))
        return item->isValid() && item->parent() == this ? item->Index() : -1;
    const int widgetIndex = QAccessibleWidget::indexOfChild(child);
    return widgetIndex < 0 ? -1 : Bar()->ButtonCount() + widgetIndex;
}

QAccessibleInterface* CCoolMenuBarAccessible::childAt(int x, int y) const {
    const QPoint point = Bar()->mapFromGlobal(QPoint(x, y));
    for (int index = 0; index < Bar()->ButtonCount(); ++index) {
        if (Bar()->ButtonRect(index).contains(point))
            return child(index);
    }
    return QAccessibleWidget::childAt(x, y);
}

QAccessibleInterface* CCoolMenuBarAccessible::focusChild() const {
    if (Bar()->hasFocus() && Bar()->HotButton() >= 0)
        return child(Bar()->HotButton());
    return QAccessibleWidget::focusChild();
}
