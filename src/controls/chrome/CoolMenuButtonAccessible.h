#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class CCoolMenuBar;

// One button of the cool menu bar for assistive tools, by its index: a menu item named by
// the menu's title without its mnemonic mark, with Alt and the mnemonic letter as its key,
// that opens its menu.
class CCoolMenuButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CCoolMenuButtonAccessible(CCoolMenuBar* bar, int index);

    int Index() const { return index; }
    // "&File" reads "File"; "&&" stands for one "&".
    static QString WithoutMnemonic(const QString& title);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString&) override {}
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
