#pragma once

#include <QAccessibleInterface>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {

// A painted part of a widget for assistive tools (a cell, a menu button): it has no object of
// its own, lies in its widget's window under the widget's interface, and has no children and
// no text to set. Gone with its widget.
class AccessibleLeaf : public QAccessibleInterface {
public:
    explicit AccessibleLeaf(QWidget* owner) : owner(owner) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner ? owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return owner ? QAccessible::queryAccessibleInterface(owner) : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

private:
    QPointer<QWidget> owner;
};

} // namespace platform
