// Hand-run probe: starts the window program as usual and ends it at the first paint of its
// main window, printing the time since the process started. See the README for the command.
#include "app/Application.h"
#include "ui/MainFrame.h"

#include <QCoreApplication>
#include <QEvent>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

// Monotonic milliseconds since the process began, from the kernel's start time.
double millisecondsSinceProcessStart() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    unsigned long long startTicks = 0;
    if (std::FILE* stat = std::fopen("/proc/self/stat", "r")) {
        // Field 22; the command name in field 2 holds no spaces for this program.
        if (std::fscanf(
                stat,
                "%*d %*s %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                &startTicks) != 1)
            startTicks = 0;
        std::fclose(stat);
    }
    const double start = double(startTicks) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6 - start;
}

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<CMainFrame*>(watched)) {
            std::printf("first paint of the main window after %.0f ms\n", millisecondsSinceProcessStart());
            std::fflush(stdout);
            _exit(0);
        }
        return false;
    }
};

void watchFirstPaint() {
    QCoreApplication::instance()->installEventFilter(new FirstPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchFirstPaint)

int main(int argc, char* argv[]) {
    return FolverinApplication::main(argc, argv);
}
