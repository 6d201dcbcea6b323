#include "ui/PanelKeys.h"

#include "resource.h"

#include <QKeyEvent>

namespace panelkeys {

namespace {

struct PanelKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int command;
};

constexpr PanelKey KEYS[] = {
    {Qt::Key_O, Qt::ControlModifier, ID_OPEN_FILE},
    {Qt::Key_D, Qt::ControlModifier, ID_IMPORT_DIRECTORY},
    {Qt::Key_E, Qt::ControlModifier, ID_OPEN_FILE_DIRECTORY},
    {Qt::Key_W, Qt::ControlModifier, ID_OPEN_WITH_ASSOCIATED_APP},
    {Qt::Key_Delete, Qt::ControlModifier, ID_REMOVE_ALL},
    {Qt::Key_Delete, Qt::NoModifier, ID_REMOVE_SELECTED},
    {Qt::Key_Space, Qt::NoModifier, ID_SELECT_CURRENT_ITEM},
    {Qt::Key_X, Qt::ControlModifier, ID_CLEAR_ALL_SELECTED},
    {Qt::Key_I, Qt::ControlModifier, ID_INVERT_SELECT},
    {Qt::Key_A, Qt::ControlModifier, ID_EDIT_SELECT_ALL},
    {Qt::Key_F5, Qt::NoModifier, ID_START_CONVERT},
};

} // namespace

int commandFor(const QKeyEvent& event) {
    // The keypad's Delete is the same key to the user.
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    for (const PanelKey& entry : KEYS) {
        if (event.key() == entry.key && modifiers == entry.modifiers)
            return entry.command;
    }
    return 0;
}

} // namespace panelkeys
