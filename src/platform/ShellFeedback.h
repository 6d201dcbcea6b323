#pragma once

#include "platform/Shell.h"

namespace platform {

// Hands the target to the desktop and, when nothing takes it (no opener installed, no program
// for the file), tells the user which file or address could not be opened and why, rather
// than doing nothing visible. The message shows in the thread of context.
void openOrTell(ShellVerb verb, const QString& target, const QObject* context = nullptr);

} // namespace platform
