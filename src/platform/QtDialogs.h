#pragma once

#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <QThread>

#include <functional>
#include <string>
#include <vector>

class QMessageBox;
class QWidget;

namespace platform {

// Dialogs shown as Qt windows. Any thread may ask: a call from another thread runs the
// dialog on the user-interface thread and waits there for the answer.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parentWindow = nullptr);

    // The window the dialogs are modal to; none: the active window.
    void setParentWindow(QWidget* window);
    // Called before a message about a file is shown, so the window can point at that file.
    void setSubjectShower(std::function<void(const std::string& subject)> shower);

    DialogResult messageBox(const MessageRequest& request) override;
    // A box that leaves every window usable, on top of the dialogs' parent window.
    void showMessage(const MessageRequest& request, std::function<void(DialogResult)> answered) override;
    void closeOpenMessages() override;
    std::vector<std::string> openFiles(const OpenFilesRequest& request) override;
    std::string selectFolder(const FolderRequest& request) override;
    std::string saveFile(const SaveFileRequest& request) override;

protected:
    QWidget* parentWindow() const;

    // Runs work on the user-interface thread and returns its result; from another thread the
    // caller blocks until the dialog has been answered.
    template <typename Result, typename Work> static Result onGuiThread(Work work);

    // Texts are UTF-8.
    static QString text(const std::string& utf8);
    static QStringList texts(const std::vector<std::string>& utf8);

private:
    // The box the request asks for, on the user-interface thread, with the answer it gives
    // when it is closed unanswered; its subject shown first.
    QMessageBox* newMessageBox(const MessageRequest& request, DialogResult& dismissed);

    QPointer<QWidget> parent;
    std::function<void(const std::string&)> subjectShower;
    QList<QPointer<QMessageBox>> openMessages;
};

template <typename Result, typename Work> Result QtDialogs::onGuiThread(Work work) {
    QCoreApplication* app = QCoreApplication::instance();
    Q_ASSERT_X(app, "QtDialogs", "no application object");
    if (!app || QThread::currentThread() == app->thread())
        return work();
    Result result{};
    QMetaObject::invokeMethod(
        app, [&result, &work] { result = work(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace platform
