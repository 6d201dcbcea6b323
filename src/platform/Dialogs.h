#pragma once

#include <functional>
#include <string>
#include <vector>

// Every modal question or message the program asks goes through one Dialogs object, so a
// test can answer them without a window and the terminal front end can print them instead.
// Texts are UTF-8 and paths are the file system's bytes: this layer is plain C++, so the
// conversion core and the terminal front end load no GUI or Qt library.
namespace platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
// Same values as the Windows IDOK .. IDNO answers.
enum class DialogResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageRequest {
    std::string text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    std::string caption;
    // The file the message is about, when there is one (the console names it in front).
    std::string subject;
};

struct OpenFilesRequest {
    std::string title;
    std::string initialFolder;
    std::vector<std::string> nameFilters; // "PDF Files (*.pdf)"
    // A name the front end may remember this dialog's last folder under, to start the next one
    // of that name there when no initial folder is given; empty: not remembered.
    std::string recallAs;
};

struct FolderRequest {
    std::string title;
    std::string initialFolder;
    bool showFiles = false;
    // As for OpenFilesRequest.
    std::string recallAs;
};

struct SaveFileRequest {
    std::string title;
    std::string initialPath;
    std::vector<std::string> nameFilters;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // May be called from any thread; the call blocks until the user answers.
    virtual DialogResult messageBox(const MessageRequest& request) = 0;
    // Shows a message that leaves the program's windows usable and returns at once, so work
    // waiting for the answer can still be stopped. answered is called once, on the
    // user-interface thread: with the user's answer, or with Escape's when the message is
    // closed unanswered. Called on the user-interface thread. By default the message is asked
    // as messageBox asks it, and answered before this returns.
    virtual void showMessage(const MessageRequest& request, std::function<void(DialogResult)> answered);
    // Closes every message showMessage left open, each answered as its Escape would answer it.
    // Called on the user-interface thread.
    virtual void closeOpenMessages() {}
    // Full paths of the chosen files; empty when cancelled.
    virtual std::vector<std::string> openFiles(const OpenFilesRequest& request) = 0;
    // The chosen folder with exactly one trailing '/'; empty when cancelled.
    virtual std::string selectFolder(const FolderRequest& request) = 0;
    // The chosen file path; empty when cancelled.
    virtual std::string saveFile(const SaveFileRequest& request) = 0;

    // The process-wide instance; set once at start-up (or by a test), never owned here. Until
    // one is set, messages go to standard error and questions are answered as if dismissed.
    static Dialogs& instance();
    static void setInstance(Dialogs* dialogs);

    // Short form for the common message box.
    static DialogResult message(const std::string& text, MessageButtons buttons = MessageButtons::Ok,
                                const std::string& subject = {});
};

} // namespace platform
