#include "ui/MenuTables.h"

#include "resource.h"
#include "ui/CommandTable.h"

#include <cassert>
#include <initializer_list>

namespace menus {

namespace {

constexpr int SEPARATOR = 0;

// The Edit menu, which the context menu repeats after its own first entries.
constexpr std::initializer_list<int> JOB_COMMANDS{
    ID_OPEN_FILE_DIRECTORY,
    ID_OPEN_WITH_ASSOCIATED_APP,
    SEPARATOR,
    ID_REMOVE_SELECTED,
    ID_REMOVE_ALL,
    SEPARATOR,
    ID_SELECT_CURRENT_ITEM,
    ID_EDIT_SELECT_ALL,
    ID_CLEAR_ALL_SELECTED,
    ID_INVERT_SELECT,
    SEPARATOR,
    ID_START_CONVERT,
    ID_STOP_CONVERT,
};

std::vector<MenuEntry> entries(std::initializer_list<int> ids, QString (*text)(const commands::Command&)) {
    std::vector<MenuEntry> built;
    for (const int id : ids) {
        if (id == SEPARATOR) {
            built.push_back({SEPARATOR, QString()});
            continue;
        }
        const commands::Command* command = commands::find(id);
        assert(command);
        built.push_back({id, command ? text(*command) : QString()});
    }
    return built;
}

std::vector<MenuEntry> joined(std::vector<MenuEntry> first, const std::vector<MenuEntry>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

} // namespace

const std::vector<MenuPopup>& menuBarPopups() {
    using commands::menuText;
    static const std::vector<MenuPopup> popups{
        {QStringLiteral("&File"),
         entries({ID_OPEN_FILE, ID_IMPORT_DIRECTORY, SEPARATOR, ID_RESET_ALL_OPTIONS, SEPARATOR, ID_APP_EXIT},
                 menuText)},
        {QStringLiteral("&Edit"), entries(JOB_COMMANDS, menuText)},
        {QStringLiteral("&Help"),
         entries({ID_ONLINE_HELP, SEPARATOR, ID_TELL_FRIEND_BY_MAIL, ID_CHECK_NEW_VERSION, ID_VISIT_HOME_PAGE,
                  SEPARATOR, ID_TIP_OF_THE_DAY, ID_APP_ABOUT},
                 menuText)},
    };
    return popups;
}

const std::vector<MenuEntry>& jobListPopup() {
    static const std::vector<MenuEntry> popup =
        joined(entries({ID_OPEN_FILE, ID_IMPORT_DIRECTORY, SEPARATOR}, commands::popupText),
               entries(JOB_COMMANDS, commands::popupText));
    return popup;
}

} // namespace menus
