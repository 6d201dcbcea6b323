#include "cli/ConsoleDialogs.h"

#include "cli/PrintLine.h"
#include "cli/ProgressLine.h"

#include <algorithm>

platform::DialogResult ConsoleDialogs::messageBox(const platform::MessageRequest& request) {
    std::string line = request.subject.empty() ? request.text : request.subject + ": " + request.text;
    // One message, one line: a line break or an escape sequence, in a text or a file's name,
    // would break the line apart or act on the terminal.
    std::replace_if(
        line.begin(), line.end(),
        [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7f;
        },
        ' ');
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
