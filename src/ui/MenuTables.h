#pragma once

#include <QString>

#include <vector>

// The program's menus: the menu bar's three popups and the job list's context menu, laid out
// from the commands' ids, with the texts of the command table.
namespace menus {

struct MenuEntry {
    int command; // 0: separator
    QString text;
};

struct MenuPopup {
    QString title;
    std::vector<MenuEntry> entries;
};

// "&File", "&Edit", "&Help".
const std::vector<MenuPopup>& menuBarPopups();
// The job list's context menu.
const std::vector<MenuEntry>& jobListPopup();

} // namespace menus
