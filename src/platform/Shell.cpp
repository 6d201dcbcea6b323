#include "platform/Shell.h"

#include <QtGlobal>
#include <atomic>

namespace platform {

namespace {
std::atomic<Shell*> currentShell{nullptr};
}

void Shell::launch(ShellVerb verb, const QString& target, const QObject*, ShellOutcome done) {
    ShellResult result;
    switch (verb) {
    case ShellVerb::Open:
        result = openFile(target);
        break;
    case ShellVerb::Explore:
        result = exploreFolder(target);
        break;
    case ShellVerb::Url:
        result = openUrl(target);
        break;
    }
    if (done)
        done(result);
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
