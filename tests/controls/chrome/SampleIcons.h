#pragma once

#include <QPixmap>

// Icons painted in code for the button tests and the demo, in the job pane's six roles.
namespace sampleicons {

enum class Role { OpenFile, OpenDirectory, RemoveSelected, ClearAllSelected, StartConvert, StopConvert };

QPixmap icon(Role role, int side = 24);

} // namespace sampleicons
