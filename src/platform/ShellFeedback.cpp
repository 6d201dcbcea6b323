#include "platform/ShellFeedback.h"

#include "platform/Dialogs.h"

namespace platform {

void openOrTell(ShellVerb verb, const QString& target, const QObject* context) {
    Shell::instance().launch(verb, target, context, [target](const ShellResult& result) {
        if (result.ok)
            return;
        MessageRequest request;
        request.text =
            (QStringLiteral("Could not open '%1'").arg(target) +
             (result.error.isEmpty() ? QStringLiteral(".") : QStringLiteral(": %1.").arg(result.error)))
                .toStdString();
        request.icon = MessageIcon::Warning;
        request.subject = target.toStdString();
        Dialogs::instance().messageBox(request);
    });
}

} // namespace platform
