#pragma once

#include <vector>

// The program's menus as data: the menu bar's three popups and the job list's context menu,
// which share the job commands with their texts.
namespace menus {

struct MenuEntry {
    int command; // 0: separator
    const char* text;
};

struct MenuPopup {
    const char* title;
    std::vector<MenuEntry> entries;
};

// "&File", "&Edit", "&Help".
const std::vector<MenuPopup>& menuBarPopups();
// The job list's context menu.
const std::vector<MenuEntry>& jobListPopup();

} // namespace menus
