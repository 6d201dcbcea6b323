#pragma once

#include <QIcon>

// The pictures of the job pane's six command buttons by their icon resource ids
// (IDI_OPEN_FILE, IDI_IMPORT_DIRECTORY, IDI_REMOVE_SELECTED, IDI_CLEAR_ALL_SELECTED,
// IDI_START_CONVERT, IDI_STOP_CONVERT). Drawn as SVG for 32 pixels, sharp at any size; any
// other id gives a null icon.
QIcon jobPaneIcon(int resourceId);

// The marks of a job's result beside its text in a list: done, passed over with a warning,
// stopped. Drawn as SVG for 16 pixels.
enum class ResultMark { Done, Warning, Stopped };
QIcon resultMarkIcon(ResultMark mark);
