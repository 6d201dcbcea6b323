#include "ui/MenuTables.h"

#include "resource.h"

namespace menus {

namespace {

constexpr MenuEntry SEPARATOR{0, nullptr};

// The Edit menu, which the context menu repeats after its own first entries.
const std::vector<MenuEntry>& jobCommands() {
    static const std::vector<MenuEntry> entries{
        {ID_OPEN_FILE_DIRECTORY, "Open File Directory\tCtrl+E"},
        {ID_OPEN_WITH_ASSOCIATED_APP, "Open with Associated App\tCtrl+W"},
        SEPARATOR,
        {ID_REMOVE_SELECTED, "Remove Selected\tDel"},
        {ID_REMOVE_ALL, "Remove All\tCtrl+Del"},
        SEPARATOR,
        {ID_SELECT_CURRENT_ITEM, "Select Current Item\tSpace"},
        {ID_EDIT_SELECT_ALL, "Select All Items\tCtrl+A"},
        {ID_CLEAR_ALL_SELECTED, "Clear All Selected\tCtrl+X"},
        {ID_INVERT_SELECT, "Invert Select\tCtrl+I"},
        SEPARATOR,
        {ID_START_CONVERT, "Start Convert\tF5"},
        {ID_STOP_CONVERT, "Stop Convert\tShift+F5"},
    };
    return entries;
}

std::vector<MenuEntry> joined(std::vector<MenuEntry> first, const std::vector<MenuEntry>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

} // namespace

const std::vector<MenuPopup>& menuBarPopups() {
    static const std::vector<MenuPopup> popups{
        {"&File",
         {{ID_OPEN_FILE, "&Open File...\tCtrl+O"},
          {ID_IMPORT_DIRECTORY, "Open &Directory...\tCtrl+D"},
          SEPARATOR,
          {ID_RESET_ALL_OPTIONS, "&Reset All Options"},
          SEPARATOR,
          {ID_APP_EXIT, "E&xit\tAlt+F4"}}},
        {"&Edit", jobCommands()},
        {"&Help",
         {{ID_ONLINE_HELP, "&Online Help\tF1"},
          SEPARATOR,
          {ID_TELL_FRIEND_BY_MAIL, "&Tell to Friend via E-mail..."},
          {ID_CHECK_NEW_VERSION, "&Check New Version..."},
          {ID_VISIT_HOME_PAGE, "&Visit Corvanta..."},
          SEPARATOR,
          {ID_TIP_OF_THE_DAY, "Ti&p of the Day..."},
          {ID_APP_ABOUT, "&About Folverin..."}}},
    };
    return popups;
}

const std::vector<MenuEntry>& jobListPopup() {
    static const std::vector<MenuEntry> entries = joined(
        {{ID_OPEN_FILE, "Open File\tCtrl+O"}, {ID_IMPORT_DIRECTORY, "Import Directory\tCtrl+D"}, SEPARATOR},
        jobCommands());
    return entries;
}

} // namespace menus
