// Hand-run demo: the job pane beside the option pane, with the real dialogs and the desktop
// shell, converting for real. PDF paths and folders given as arguments are added as if
// dropped. The options are not written back.
#include "controls/chrome/ChromeDialogs.h"
#include "core/ConverterApp.h"
#include "engine/FileConverter.h"
#include "platform/CommandRouter.h"
#include "platform/DesktopShell.h"
#include "platform/NativePath.h"
#include "pool/PooledConverter.h"
#include "ui/ConvertBatch.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/RightView.h"
#include "ui/SummaryThread.h"

#include <QApplication>
#include <QSplitter>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ChromeDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);
    platform::DesktopShell shell;
    platform::Shell::setInstance(&shell);

    ConverterApp app;
    app.deriveDataFolder();
    app.loadSettings();
    app.writeEngineConfig();
    platform::CommandRouter router;

    QSplitter window;
    auto* jobs = new CLeftView(router, &window);
    auto* options = new CRightView(app, &window);
    jobs->GetPanel()->setOptionPane(options);
    jobs->GetPanel()->setSummaryThread(
        std::make_unique<SummaryThread>(PooledConverter::forProgram(app.programDir, app.configPath, 1).pool));
    window.setChildrenCollapsible(false);
    window.setWindowTitle(QStringLiteral("Job pane demo"));
    window.resize(1000, 680);
    window.setSizes({640, 360});
    dialogs.setParentWindow(&window);

    std::vector<std::string> paths;
    for (const QString& argument : application.arguments().mid(1))
        paths.push_back(platform::toNativePath(argument));
    jobs->GetPanel()->addDroppedPaths(paths);
    // Ends before the panes it drives: closing waits for the job in progress.
    ConvertBatch batch(*jobs->GetPanel(), *options,
                       std::make_unique<FileConverter>(app.configPath, app.programDir));

    window.show();
    return application.exec();
}
