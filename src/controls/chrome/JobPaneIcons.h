#pragma once

#include <QIcon>

// The pictures of the job pane's six command buttons by their icon resource ids
// (IDI_OPEN_FILE, IDI_IMPORT_DIRECTORY, IDI_REMOVE_SELECTED, IDI_CLEAR_ALL_SELECTED,
// IDI_START_CONVERT, IDI_STOP_CONVERT). Drawn as SVG for 32 pixels, sharp at any size; any
// other id gives a null icon.
QIcon jobPaneIcon(int resourceId);
