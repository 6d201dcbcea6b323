#pragma once

#include "platform/AccessibleLeaf.h"

#include <QPointer>

class CCoolMenuBar;

// One button of the cool menu bar for assistive tools, by its index: a menu item named by
// the menu's title without its mnemonic mark, with Alt and the mnemonic letter as its key,
// that opens its menu.
class CCoolMenuButtonAccessible : public platform::AccessibleLeaf, public QAccessibleActionInterface {
public:
    CCoolMenuButtonAccessible(CCoolMenuBar* bar, int index);

    int Index() const { return index; }
    // "&File" reads "File"; "&&" stands for one "&".
    static QString WithoutMnemonic(const QString& title);

    bool isValid() const override;
    QString text(QAccessible::Text type) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QString Shortcut() const;

    QPointer<CCoolMenuBar> bar;
    int index;
};
