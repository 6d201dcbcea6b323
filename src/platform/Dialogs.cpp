#include "platform/Dialogs.h"

#include <atomic>
#include <cassert>

namespace platform {

namespace {
std::atomic<Dialogs*> currentDialogs{nullptr};
}

Dialogs& Dialogs::instance() {
    Dialogs* dialogs = currentDialogs.load();
    assert(dialogs && "no Dialogs installed");
    return *dialogs;
}

void Dialogs::setInstance(Dialogs* dialogs) {
    currentDialogs.store(dialogs);
}

DialogResult Dialogs::message(const std::string& text, MessageButtons buttons, const std::string& subject) {
    MessageRequest request;
    request.text = text;
    request.buttons = buttons;
    request.subject = subject;
    return instance().messageBox(request);
}

} // namespace platform
