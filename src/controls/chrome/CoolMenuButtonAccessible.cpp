#include "controls/chrome/CoolMenuButtonAccessible.h"

#include "controls/chrome/CoolMenuBar.h"

#include <QKeySequence>

CCoolMenuButtonAccessible::CCoolMenuButtonAccessible(CCoolMenuBar* bar, int index)
    : AccessibleLeaf(bar), bar(bar), index(index) {}

QString CCoolMenuButtonAccessible::WithoutMnemonic(const QString& title) {
    QString plain;
    plain.reserve(title.size());
    for (qsizetype at = 0; at < title.size(); ++at) {
        if (title.at(at) == QLatin1Char('&') && ++at == title.size())
            break;
        plain.append(title.at(at));
    }
    return plain;
}

bool CCoolMenuButtonAccessible::isValid() const {
    return bar && index < bar->ButtonCount();
}

QString CCoolMenuButtonAccessible::Shortcut() const {
    const QKeySequence mnemonic = QKeySequence::mnemonic(bar->ButtonText(index));
    return mnemonic.toString(QKeySequence::NativeText);
}

QString CCoolMenuButtonAccessible::text(QAccessible::Text type) const {
    if (!isValid())
        return {};
    if (type == QAccessible::Name)
        return WithoutMnemonic(bar->ButtonText(index));
    if (type == QAccessible::Accelerator)
        return Shortcut();
    return {};
}

QRect CCoolMenuButtonAccessible::rect() const {
    if (!isValid())
        return {};
    const QRect button = bar->ButtonRect(index);
    return QRect(bar->mapToGlobal(button.topLeft()), button.size());
}

QAccessible::State CCoolMenuButtonAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const bool hot = bar->HotButton() == index;
    state.invisible = !bar->isVisible();
    state.disabled = !bar->isEnabled();
    state.focusable = true;
    state.focused = hot && bar->hasFocus() && bar->GetTrackState() == CCoolMenuBar::TrackState::Button;
    state.hotTracked = hot;
    state.hasPopup = true;
    state.expanded = hot && bar->GetTrackState() == CCoolMenuBar::TrackState::Popup;
    return state;
}

void* CCoolMenuButtonAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList CCoolMenuButtonAccessible::actionNames() const {
    if (!isValid() || !bar->isEnabled())
        return {};
    return {showMenuAction()};
}

void CCoolMenuButtonAccessible::doAction(const QString& actionName) {
    if (actionNames().contains(actionName))
        bar->OpenMenu(index);
}

QStringList CCoolMenuButtonAccessible::keyBindingsForAction(const QString& actionName) const {
    if (!actionNames().contains(actionName) || Shortcut().isEmpty())
        return {};
    return {Shortcut()};
}
