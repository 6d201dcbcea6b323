#include "platform/Dialogs.h"

#include <QtGlobal>
#include <atomic>

namespace platform {

namespace {
std::atomic<Dialogs*> currentDialogs{nullptr};
}

Dialogs& Dialogs::instance() {
    Dialogs* dialogs = currentDialogs.load();
    Q_ASSERT_X(dialogs, "Dialogs::instance", "no Dialogs installed");
    return *dialogs;
}

void Dialogs::setInstance(Dialogs* dialogs) {
    currentDialogs.store(dialogs);
}

DialogResult Dialogs::message(const QString& text, MessageButtons buttons, const QString& subject) {
    MessageRequest request;
    request.text = text;
    request.buttons = buttons;
    request.subject = subject;
    return instance().messageBox(request);
}

} // namespace platform
