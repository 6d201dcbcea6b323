#include "platform/Dialogs.h"

#include <atomic>
#include <cstdio>

namespace platform {

namespace {

std::atomic<Dialogs*> currentDialogs{nullptr};

// Stands in while no front end has installed its dialogs: the message goes to standard error
// instead of being lost, and every question is answered as closing it unanswered would.
class UnattendedDialogs : public Dialogs {
public:
    DialogResult messageBox(const MessageRequest& request) override {
        std::fprintf(stderr, "%s\n", request.text.c_str());
        switch (request.buttons) {
        case MessageButtons::Ok:
            return DialogResult::Ok;
        case MessageButtons::YesNo:
            return DialogResult::No;
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
            break;
        }
        return DialogResult::Cancel;
    }
    std::vector<std::string> openFiles(const OpenFilesRequest&) override { return {}; }
    std::string selectFolder(const FolderRequest&) override { return {}; }
    std::string saveFile(const SaveFileRequest&) override { return {}; }
};

} // namespace

Dialogs& Dialogs::instance() {
    static UnattendedDialogs unattended;
    Dialogs* dialogs = currentDialogs.load();
    return dialogs ? *dialogs : unattended;
}

void Dialogs::setInstance(Dialogs* dialogs) {
    currentDialogs.store(dialogs);
}

void Dialogs::showMessage(const MessageRequest& request, std::function<void(DialogResult)> answered) {
    answered(messageBox(request));
}

DialogResult Dialogs::message(const std::string& text, MessageButtons buttons, const std::string& subject) {
    MessageRequest request;
    request.text = text;
    request.buttons = buttons;
    request.subject = subject;
    return instance().messageBox(request);
}

} // namespace platform
