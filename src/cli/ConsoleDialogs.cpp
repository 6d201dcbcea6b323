#include "cli/ConsoleDialogs.h"

platform::DialogResult ConsoleDialogs::messageBox(const platform::MessageRequest& request) {
    QString line = request.text.simplified();
    if (!request.subject.isEmpty())
        line = request.subject + QStringLiteral(": ") + line;
    std::fprintf(stream, "%s\n", line.toLocal8Bit().constData());
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
