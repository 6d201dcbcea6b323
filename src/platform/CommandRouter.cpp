#include "platform/CommandRouter.h"

#include <QAction>
#include <QMenu>

namespace platform {

CommandRouter::CommandRouter(QObject* parent) : QObject(parent) {}

CommandRouter::~CommandRouter() = default;

QAction* CommandRouter::action(int id) {
    Entry& entry = entries[id];
    if (!entry.action) {
        entry.action = new QAction(this);
        entry.action->setData(id);
        connect(entry.action, &QAction::triggered, this, [this, id] {
            execute(id);
            // Qt toggles a checkable action on its own; the checker has the last word.
            updateEnabling(id);
        });
        updateEnabling(id);
    }
    return entry.action;
}

QAction* CommandRouter::findAction(int id) const {
    const auto it = entries.constFind(id);
    return it == entries.constEnd() ? nullptr : it->action;
}

int CommandRouter::commandId(const QAction* action) {
    if (!action)
        return -1;
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : -1;
}

void CommandRouter::setHandler(int id, std::function<void()> handler) {
    entries[id].handler = std::move(handler);
    updateEnabling(id);
}

void CommandRouter::setEnabler(int id, std::function<bool()> enabler) {
    entries[id].enabler = std::move(enabler);
    updateEnabling(id);
}

void CommandRouter::setChecker(int id, std::function<bool()> checker) {
    entries[id].checker = std::move(checker);
    updateEnabling(id);
}

void CommandRouter::removeHandlers(int id) {
    auto it = entries.find(id);
    if (it == entries.end())
        return;
    it->handler = nullptr;
    it->enabler = nullptr;
    it->checker = nullptr;
    updateEnabling(id);
}

bool CommandRouter::isEnabled(int id) const {
    const auto it = entries.constFind(id);
    if (it == entries.constEnd() || !it->handler)
        return false;
    return it->enabler ? it->enabler() : true;
}

bool CommandRouter::isChecked(int id) const {
    const auto it = entries.constFind(id);
    return it != entries.constEnd() && it->checker && it->checker();
}

void CommandRouter::updateEnabling() {
    const QList<int> ids = entries.keys();
    for (int id : ids)
        updateEnabling(id);
}

void CommandRouter::updateEnabling(int id) {
    QAction* action = findAction(id);
    if (!action)
        return;
    action->setEnabled(isEnabled(id));
    const bool checkable = bool(entries.value(id).checker);
    action->setCheckable(checkable);
    if (checkable)
        action->setChecked(isChecked(id));
}

void CommandRouter::watchMenu(QMenu* menu) {
    connect(menu, &QMenu::aboutToShow, this, qOverload<>(&CommandRouter::updateEnabling));
}

bool CommandRouter::execute(int id) {
    if (!isEnabled(id))
        return false;
    // A copy: the handler may replace or remove itself while it runs.
    const std::function<void()> handler = entries.value(id).handler;
    handler();
    Q_EMIT executed(id);
    return true;
}

} // namespace platform
