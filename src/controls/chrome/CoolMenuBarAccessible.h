#pragma once

#include <QAccessibleWidget>
#include <QList>

class CCoolMenuBar;

// The cool bar's menu bar for assistive tools: a menu bar whose children are its buttons,
// one menu item per menu, then any child windows. The hot button has the focus while the bar
// has the keyboard.
class CCoolMenuBarAccessible : public QAccessibleWidget {
public:
    explicit CCoolMenuBarAccessible(CCoolMenuBar* bar);
    ~CCoolMenuBarAccessible() override;

    CCoolMenuBar* Bar() const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    mutable QList<QAccessible::Id> items;
};
