#pragma once

#include "app/CommandLine.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CMainFrame;
class ChromeDialogs;
class ConverterApp;
class SignalCloser;
class SingleInstance;
namespace platform {
class DesktopShell;
}

// The window program from start to exit: one instance per user, the dialogs and the shell, the
// options and the engine configuration, the main window with the paths of the command line,
// and the settings saved once the window has closed.
class FolverinApplication {
public:
    // The whole program, arguments as main() gets them; returns the exit status.
    static int main(int argc, char* argv[]);

    // Needs the Qt application object. instanceName: the program file's base name, which names
    // the single-instance guard.
    FolverinApplication(CommandLine commandLine, QString instanceName);
    ~FolverinApplication();

    // Up to the shown main window. An exit status when this start should end instead: a running
    // instance took the paths (0), or one runs but did not take them (1).
    std::optional<int> start();
    // The event loop until the window has closed, then the settings are saved; the exit status.
    int exec();

private:
    void installServices();
    void loadOptions();
    void showMainFrame();
    void addPaths(const std::vector<std::string>& paths);
    void reportJobsForTests() const;

    CommandLine commandLine;
    std::unique_ptr<SingleInstance> guard;
    std::unique_ptr<ChromeDialogs> dialogs;
    std::unique_ptr<platform::DesktopShell> shell;
    std::unique_ptr<ConverterApp> converter;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<SignalCloser> signalCloser;
};
