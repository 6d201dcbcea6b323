#include "platform/Shell.h"

#include <QtGlobal>
#include <atomic>

namespace platform {

namespace {
std::atomic<Shell*> currentShell{nullptr};
}

Shell& Shell::instance() {
    Shell* shell = currentShell.load();
    Q_ASSERT_X(shell, "Shell::instance", "no Shell installed");
    return *shell;
}

void Shell::setInstance(Shell* shell) {
    currentShell.store(shell);
}

} // namespace platform
