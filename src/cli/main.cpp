#include "cli/CliRunner.h"
#include "cli/ConsoleDialogs.h"
#include "convert/ConverterApp.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    ConsoleDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);
    QTextStream out(stdout);
    QTextStream err(stderr);
    ConverterApp app;
    CliRunner runner(app, out, err);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return runner.run(arguments);
}
