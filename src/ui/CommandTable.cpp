#include "ui/CommandTable.h"

#include "resource.h"

#include <algorithm>

namespace commands {

namespace {

constexpr KeyScope SHOWN = KeyScope::shownOnly;
constexpr KeyScope WINDOW = KeyScope::window;
constexpr KeyScope JOBS = KeyScope::jobList;

const Command COMMANDS[] = {
    {ID_OPEN_FILE, "&Open File...", "Ctrl+O", WINDOW, true, IDI_OPEN_FILE, "Open File", "Open File"},
    {ID_IMPORT_DIRECTORY, "Open &Directory...", "Ctrl+D", WINDOW, true, IDI_IMPORT_DIRECTORY,
     "Open Directory", "Import Directory"},
    {ID_RESET_ALL_OPTIONS, "&Reset All Options", nullptr, SHOWN, false, 0, nullptr, nullptr},
    {ID_APP_EXIT, "E&xit", "Alt+F4", SHOWN, false, 0, nullptr, nullptr},
    {ID_OPEN_FILE_DIRECTORY, "Open File Directory", "Ctrl+E", WINDOW, true, 0, nullptr, nullptr},
    {ID_OPEN_WITH_ASSOCIATED_APP, "Open with Associated App", "Ctrl+W", WINDOW, true, 0, nullptr, nullptr},
    {ID_REMOVE_SELECTED, "Remove Selected", "Del", JOBS, true, IDI_REMOVE_SELECTED,
     "Remove Current Selected Item", nullptr},
    {ID_REMOVE_ALL, "Remove All", "Ctrl+Del", JOBS, true, 0, nullptr, nullptr},
    {ID_SELECT_CURRENT_ITEM, "Select Current Item", "Space", JOBS, true, 0, nullptr, nullptr},
    {ID_EDIT_SELECT_ALL, "Select All Items", "Ctrl+A", JOBS, true, 0, nullptr, nullptr},
    {ID_CLEAR_ALL_SELECTED, "Clear All Selected", "Ctrl+X", JOBS, true, IDI_CLEAR_ALL_SELECTED,
     "Clear All Selected", nullptr},
    {ID_INVERT_SELECT, "Invert Select", "Ctrl+I", JOBS, true, 0, nullptr, nullptr},
    {ID_START_CONVERT, "Start Convert", "F5", WINDOW, true, IDI_START_CONVERT, "Start Convert", nullptr},
    // Stop is the window's key alone, so it still works while a batch keeps the pane's keys.
    {ID_STOP_CONVERT, "Stop Convert", "Shift+F5", WINDOW, false, IDI_STOP_CONVERT, "Stop Convert", nullptr},
    {ID_ONLINE_HELP, "&Online Help", "F1", SHOWN, false, 0, nullptr, nullptr},
    {ID_TELL_FRIEND_BY_MAIL, "&Tell to Friend via E-mail...", nullptr, SHOWN, false, 0, nullptr, nullptr},
    {ID_CHECK_NEW_VERSION, "&Check New Version...", nullptr, SHOWN, false, 0, nullptr, nullptr},
    {ID_VISIT_HOME_PAGE, "&Visit Corvanta...", nullptr, SHOWN, false, 0, nullptr, nullptr},
    {ID_TIP_OF_THE_DAY, "Ti&p of the Day...", nullptr, SHOWN, false, 0, nullptr, nullptr},
    {ID_APP_ABOUT, "&About Folverin...", nullptr, SHOWN, false, 0, nullptr, nullptr},
};

QString withKey(const char* text, const Command& command) {
    const QString plain = QString::fromLatin1(text);
    return command.key ? plain + u'\t' + QLatin1String(command.key) : plain;
}

} // namespace

std::span<const Command> all() {
    return COMMANDS;
}

const Command* find(int id) {
    const auto found = std::find_if(std::begin(COMMANDS), std::end(COMMANDS),
                                    [id](const Command& command) { return command.id == id; });
    return found != std::end(COMMANDS) ? found : nullptr;
}

QString menuText(const Command& command) {
    return withKey(command.text, command);
}

QString popupText(const Command& command) {
    return withKey(command.popupText ? command.popupText : command.text, command);
}

QString toolTip(const Command& command) {
    const QString tip = QString::fromLatin1(command.toolTip ? command.toolTip : "");
    return command.key ? tip + QStringLiteral(" (") + QLatin1String(command.key) + u')' : tip;
}

QKeySequence boundKeys(const Command& command) {
    if (!command.key || command.scope == KeyScope::shownOnly)
        return {};
    return QKeySequence::fromString(QLatin1String(command.key), QKeySequence::PortableText);
}

QKeyCombination keyCombination(const Command& command) {
    const QKeySequence keys = boundKeys(command);
    return keys.isEmpty() ? QKeyCombination() : keys[0];
}

} // namespace commands
