#pragma once

#include <QKeySequence>
#include <QString>

#include <span>

// The window's commands, each described once: its menu text, its key, the icon and the tool
// tip of its job pane button. Menus, accelerators, the job pane's keys and its buttons are
// built from this table.
namespace commands {

// Where a command's key is bound.
enum class KeyScope {
    shownOnly, // shown in the menu only: the window system or nothing takes it
    window,    // anywhere in the window
    jobList,   // only while the job pane has the keyboard; elsewhere the focused control takes it
};

struct Command {
    int id;
    const char* text; // in the menu bar, without the key
    const char* key;  // as the menus show it; nullptr: none
    KeyScope scope;
    bool panelKey;         // the job pane answers the key itself, wherever its focus is
    int icon;              // 0: none
    const char* toolTip;   // the job pane button's tip, before its key; nullptr: no button
    const char* popupText; // in the job list's context menu, where it differs
};

std::span<const Command> all();
// The command of this id, or nullptr.
const Command* find(int id);

QString menuText(const Command& command);
QString popupText(const Command& command);
QString toolTip(const Command& command);
// The key bound to the command; empty when none is bound.
QKeySequence boundKeys(const Command& command);
// The key as pressed, for matching against the job pane's keys.
QKeyCombination keyCombination(const Command& command);

} // namespace commands
