#pragma once

#include "platform/Dialogs.h"

#include <QPointer>

class QWidget;

namespace platform {

// Dialogs shown as Qt windows. Any thread may ask: a call from another thread runs the
// dialog on the user-interface thread and waits there for the answer.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parentWindow = nullptr);

    // The window the dialogs are modal to; none: the active window.
    void setParentWindow(QWidget* window);

    DialogResult messageBox(const MessageRequest& request) override;
    std::vector<std::string> openFiles(const OpenFilesRequest& request) override;
    std::string selectFolder(const FolderRequest& request) override;
    std::string saveFile(const SaveFileRequest& request) override;

private:
    QWidget* parentWindow() const;

    QPointer<QWidget> parent;
};

} // namespace platform
