#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QAction;
class QMenu;

namespace platform {

// Routes numeric commands: one QAction per id (menus, buttons and shortcuts share it), one
// handler per id, and enablers that are asked before a menu opens and whenever the owner
// reports a change of state. A command without an enabler is enabled exactly when it has a
// handler.
class CommandRouter : public QObject {
    Q_OBJECT

public:
    explicit CommandRouter(QObject* parent = nullptr);
    ~CommandRouter() override;

    // The action of id, created on first use with the id in its data. Triggering it runs
    // execute(id). Owned by the router.
    QAction* action(int id);
    QAction* findAction(int id) const;
    // The command id an action carries, or -1.
    static int commandId(const QAction* action);

    void setHandler(int id, std::function<void()> handler);
    void setEnabler(int id, std::function<bool()> enabler);
    // Makes the action checkable; its check mark follows checker at each update.
    void setChecker(int id, std::function<bool()> checker);
    void removeHandlers(int id);

    // The enabling rule asked now, not the action's last state.
    bool isEnabled(int id) const;
    bool isChecked(int id) const;

    // Refreshes enabled and checked states of every action (or of one id).
    void updateEnabling();
    void updateEnabling(int id);
    // Refreshes the states each time menu is about to open.
    void watchMenu(QMenu* menu);

    // Runs the handler when the rule allows it now; returns whether it ran.
    bool execute(int id);

Q_SIGNALS:
    void executed(int id);

private:
    struct Entry {
        QAction* action = nullptr;
        std::function<void()> handler;
        std::function<bool()> enabler;
        std::function<bool()> checker;
    };

    QHash<int, Entry> entries;
};

} // namespace platform
