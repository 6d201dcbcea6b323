#include "app/Application.h"

#include "app/SignalCloser.h"
#include "app/SingleInstance.h"
#include "controls/chrome/ChromeDialogs.h"
#include "core/ConverterApp.h"
#include "platform/DesktopShell.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"
#include "ui/SplashWnd.h"
#include "ui/WindowState.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

// Without a display Qt would abort with a message about platform plugins.
bool displayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The display a start was pointed at, for the message that it cannot be opened.
QString displayName() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(variable))
            return QString::fromLatin1(variable) + QLatin1Char('=') + qEnvironmentVariable(variable);
    }
    return {};
}

// While Qt connects to the display, its words are held back: a display that is set but cannot
// be reached (no server, a stale socket) would otherwise end the program with an abort and a
// hint to reinstall it. Everything else is passed on once the connection stands.
class DisplayConnection {
public:
    DisplayConnection() { previous = qInstallMessageHandler(hold); }
    ~DisplayConnection() {
        qInstallMessageHandler(previous);
        for (const Held& message : held)
            previous(message.type, QMessageLogContext(), message.text);
    }

private:
    struct Held {
        QtMsgType type;
        QString text;
    };

    static void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
            std::fprintf(stderr,
                         "folverin: cannot open the display (%s).\nStart it from a desktop session, or "
                         "convert in the terminal with folverin-cli.\n",
                         qPrintable(displayName()));
            std::_Exit(1);
        }
        if (type == QtFatalMsg)
            return previous(type, context, text);
        held.push_back({type, text});
    }

    static inline QtMessageHandler previous = nullptr;
    static inline std::vector<Held> held;
};

std::string workingFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

int answerWithoutWindow(const CommandLine& line) {
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(CommandLine::helpText().c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(CommandLine::versionText().c_str(), stdout);
        return 0;
    case CommandLine::Action::UsageError:
        std::fprintf(stderr, "folverin: %s\n%s", line.error.c_str(), CommandLine::usageText().c_str());
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    if (!displayAvailable()) {
        std::fputs("folverin: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
                   "set).\nStart it from a desktop session, or convert in the terminal with folverin-cli.\n",
                   stderr);
        return 1;
    }
    return -1;
}

// A mistyped path would become a job that cannot be converted; the terminal that started the
// program says which it left out.
std::vector<std::string> existingPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> existing;
    for (const std::string& path : paths) {
        std::error_code error;
        if (std::filesystem::exists(path, error))
            existing.push_back(path);
        else
            std::fprintf(stderr, "folverin: %s: no such file or folder\n", path.c_str());
    }
    return existing;
}

void setUpQtApplication() {
    QApplication::setOrganizationName(QStringLiteral("Corvanta"));
    // Message boxes and windows are captioned with the program's title, not its file name.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Folverin"));
    QApplication::setApplicationVersion(QStringLiteral(FOLVERIN_VERSION));
    // Matches the desktop entry, whose icon the desktop then shows for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("folverin"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/folverin/folverin.svg")));
}

} // namespace

int FolverinApplication::main(int argc, char* argv[]) {
    CommandLine line = CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc), workingFolder());
    if (const int status = answerWithoutWindow(line); status >= 0)
        return status;
    line.paths = existingPaths(line.paths);
    // Qt sees no arguments: every one was ours, and a file named like a Qt option stays a file.
    int qtArgumentCount = 1;
    std::optional<DisplayConnection> connecting(std::in_place);
    QApplication qtApplication(qtArgumentCount, argv);
    connecting.reset();
    setUpQtApplication();
    FolverinApplication application(line, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (const std::optional<int> status = application.start())
        return *status;
    return application.exec();
}

FolverinApplication::FolverinApplication(CommandLine commandLine, QString instanceName)
    : commandLine(std::move(commandLine)), guard(std::make_unique<SingleInstance>(instanceName)) {}

FolverinApplication::~FolverinApplication() {
    signalCloser.reset();
    frame.reset();
    platform::Shell::setInstance(nullptr);
    platform::Dialogs::setInstance(nullptr);
}

std::optional<int> FolverinApplication::start() {
    switch (guard->claim(commandLine.paths)) {
    case SingleInstance::Role::HandedOver:
        return 0;
    case SingleInstance::Role::NotTaken:
        std::fprintf(stderr,
                     "folverin: %s, so the files given are not opened. Close the running Folverin, or "
                     "wait for it, and start again.\n",
                     qPrintable(guard->errorText()));
        return 1;
    case SingleInstance::Role::Alone:
        std::fprintf(stderr, "folverin: %s: a later start will open a window of its own\n",
                     qPrintable(guard->errorText()));
        break;
    case SingleInstance::Role::First:
        break;
    }
    installServices();
    loadOptions();
    showMainFrame();
    addPaths(commandLine.paths);
    QObject::connect(guard.get(), &SingleInstance::pathsReceived, frame.get(),
                     [this](const std::vector<std::string>& paths) {
                         addPaths(paths);
                         frame->RestoreAndRaise();
                     });
    signalCloser = std::make_unique<SignalCloser>(*frame);
    // Once the window is up, not before it.
    QTimer::singleShot(0, frame.get(), [this] { frame->ShowTipAtStartup(); });
    return std::nullopt;
}

int FolverinApplication::exec() {
    const int status = QApplication::exec();
    // A start from now on must not hand its files to a window that has gone.
    guard->stopListening();
    converter->saveSettings();
    return status;
}

void FolverinApplication::installServices() {
    dialogs = std::make_unique<ChromeDialogs>();
    platform::Dialogs::setInstance(dialogs.get());
    shell = std::make_unique<platform::DesktopShell>();
    platform::Shell::setInstance(shell.get());
}

void FolverinApplication::loadOptions() {
    converter = std::make_unique<ConverterApp>();
    converter->deriveDataFolder();
    converter->loadSettings();
    converter->writeEngineConfig();
}

void FolverinApplication::showMainFrame() {
    CSplashWnd::EnableSplashScreen(commandLine.showSplash);
    frame = std::make_unique<CMainFrame>(*converter);
    dialogs->setParentWindow(frame.get());
    dialogs->setSubjectShower([this](const std::string& pdfPath) {
        if (frame)
            frame->LeftView()->GetPanel()->showJob(pdfPath);
    });
    frame->setWindowTitle(QStringLiteral("Folverin"));
    frame->RestoreState(WindowState::defaultPath());
    frame->show();
}

void FolverinApplication::addPaths(const std::vector<std::string>& paths) {
    if (!paths.empty())
        frame->AddPaths(paths);
    reportJobsForTests();
}

// With FOLVERIN_TEST_REPORT set, the job list goes to stderr after each addition: the only way
// a test sees what a separate process holds.
void FolverinApplication::reportJobsForTests() const {
    static const bool wanted = qEnvironmentVariableIsSet("FOLVERIN_TEST_REPORT");
    if (!wanted)
        return;
    const JobList& jobs = frame->LeftView()->GetPanel()->jobs();
    for (int i = 0; i < jobs.size(); ++i)
        std::fprintf(stderr, "job %s\n", jobs.at(i).c_str());
    std::fprintf(stderr, "jobs %d\n", jobs.size());
    std::fflush(stderr);
}
