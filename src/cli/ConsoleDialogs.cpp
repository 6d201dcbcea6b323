#include "cli/ConsoleDialogs.h"

#include "cli/PrintLine.h"
#include "cli/ProgressLine.h"
#include "cli/Terminal.h"

platform::DialogResult ConsoleDialogs::messageBox(const platform::MessageRequest& request) {
    // One message, one line, on a terminal or in a log: a line break or an escape sequence, in
    // a text or a file's name, would break the line apart or act on the terminal.
    const std::string line =
        terminalSafeText(request.subject.empty() ? request.text : request.subject + ": " + request.text);
    if (progressLine)
        progressLine->printAbove(stream, line);
    else
        printLine(stream, line);
    switch (request.buttons) {
    case platform::MessageButtons::Ok:
        return platform::DialogResult::Ok;
    case platform::MessageButtons::OkCancel:
        return platform::DialogResult::Cancel;
    case platform::MessageButtons::YesNo:
    case platform::MessageButtons::YesNoCancel:
        break;
    }
    return platform::DialogResult::No;
}
