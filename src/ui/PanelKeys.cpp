#include "ui/PanelKeys.h"

#include "ui/CommandTable.h"

#include <QKeyEvent>

namespace panelkeys {

int commandFor(const QKeyEvent& event) {
    // The keypad's Delete is the same key to the user.
    const QKeyCombination pressed(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key()));
    for (const commands::Command& command : commands::all()) {
        if (command.panelKey && commands::keyCombination(command) == pressed)
            return command.id;
    }
    return 0;
}

} // namespace panelkeys
