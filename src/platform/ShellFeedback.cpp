#include "platform/ShellFeedback.h"

#include "platform/Dialogs.h"

namespace platform {

void openOrTell(ShellVerb verb, const QString& target, const QObject* context) {
    Shell::instance().launch(verb, target, context, [target](const ShellResult& result) {
        if (result.ok)
            return;
        MessageRequest request;
        // A reason that names the target says all: the path once is enough.
        QString text = result.error;
        if (target.isEmpty() || !result.error.contains(target)) {
            text = QStringLiteral("Could not open '%1'").arg(target);
            if (!result.error.isEmpty())
                text += QStringLiteral(": ") + result.error;
        }
        // The shell's reasons are sentences of their own, most with their full stop.
        if (!text.endsWith(QLatin1Char('.')))
            text += QLatin1Char('.');
        request.text = text.toStdString();
        request.icon = MessageIcon::Warning;
        request.subject = target.toStdString();
        Dialogs::instance().messageBox(request);
    });
}

} // namespace platform
