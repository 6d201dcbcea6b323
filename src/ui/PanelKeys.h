#pragma once

class QKeyEvent;

// The keys the job pane answers itself, wherever the focus is inside it: each gives the id of
// the command it runs, 0 for any other key. The modifiers must match exactly, so Shift+F5
// (Stop) is not taken for F5 (Start) and Ctrl+Delete not for Delete.
namespace panelkeys {

int commandFor(const QKeyEvent& event);

} // namespace panelkeys
