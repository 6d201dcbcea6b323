// Hand-run demo: the option pane alone with the user's settings; nothing is written back.
#include "core/ConverterApp.h"
#include "platform/QtDialogs.h"
#include "ui/RightView.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::QtDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);

    ConverterApp app;
    app.deriveDataFolder();
    app.loadSettings();

    CRightView pane(app);
    pane.setWindowTitle(QStringLiteral("Option pane demo"));
    pane.resize(360, 480);
    pane.show();
    return application.exec();
}
