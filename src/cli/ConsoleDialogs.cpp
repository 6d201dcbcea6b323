#include "cli/ConsoleDialogs.h"

#include <algorithm>

platform::DialogResult ConsoleDialogs::messageBox(const platform::MessageRequest& request) {
    std::string line = request.text;
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    if (!request.subject.empty())
        line = request.subject + ": " + line;
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
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
