#pragma once

#include <QString>
#include <QStringList>

// Every modal question or message the program asks goes through one Dialogs object, so a
// test can answer them without a window and the terminal front end can print them instead.
namespace platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
// Same values as the Windows IDOK .. IDNO answers.
enum class DialogResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageRequest {
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    QString caption;
    // The file the message is about, when there is one (the console names it in front).
    QString subject;
};

struct OpenFilesRequest {
    QString title;
    QString initialFolder;
    QStringList nameFilters; // "PDF Files (*.pdf)"
};

struct FolderRequest {
    QString title;
    QString initialFolder;
    bool showFiles = false;
};

struct SaveFileRequest {
    QString title;
    QString initialPath;
    QStringList nameFilters;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // May be called from any thread; the call blocks until the user answers.
    virtual DialogResult messageBox(const MessageRequest& request) = 0;
    // Full paths of the chosen files; empty when cancelled.
    virtual QStringList openFiles(const OpenFilesRequest& request) = 0;
    // The chosen folder with exactly one trailing '/'; empty when cancelled.
    virtual QString selectFolder(const FolderRequest& request) = 0;
    // The chosen file path; empty when cancelled.
    virtual QString saveFile(const SaveFileRequest& request) = 0;

    // The process-wide instance; set once at start-up (or by a test), never owned here.
    static Dialogs& instance();
    static void setInstance(Dialogs* dialogs);

    // Short forms for the common message box.
    static DialogResult message(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                                const QString& subject = {});
};

} // namespace platform
