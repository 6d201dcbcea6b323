#include "cli/CliRunner.h"
#include "cli/ConsoleDialogs.h"
#include "convert/ConverterApp.h"

#include <QTextStream>
#include <cstdio>

// No QCoreApplication: nothing here needs an event loop, and a terminal tool that may run
// hundreds of times in a script should start as fast as it can.
int main(int argc, char* argv[]) {
    ConsoleDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    ConverterApp app;
    CliRunner runner(app, out, err);
    return runner.run(arguments);
}
