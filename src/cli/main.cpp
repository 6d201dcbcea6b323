#include "cli/CliRunner.h"
#include "cli/ConsoleDialogs.h"
#include "core/ConverterApp.h"
#include "platform/StandardStreams.h"

int main(int argc, char* argv[]) {
    platform::openClosedStandardStreams();
    ConsoleDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);
    ConverterApp app;
    CliRunner runner(app, dialogs, stdout, stderr);
    return runner.run(std::vector<std::string>(argv + 1, argv + argc));
}
