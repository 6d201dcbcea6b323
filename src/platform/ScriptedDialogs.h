#pragma once

#include "platform/Dialogs.h"

#include <deque>
#include <mutex>

namespace platform {

// Test stand-in for Dialogs: records every request and answers from queues, falling back to
// a default answer (OK, or Yes for a question) so a test never blocks on a modal window.
class ScriptedDialogs : public Dialogs {
public:
    DialogResult messageBox(const MessageRequest& request) override;
    std::vector<std::string> openFiles(const OpenFilesRequest& request) override;
    std::string selectFolder(const FolderRequest& request) override;
    std::string saveFile(const SaveFileRequest& request) override;

    void queueAnswer(DialogResult answer);
    void queueFiles(const std::vector<std::string>& files);
    void queueFolder(const std::string& folder);
    void queueSaveFile(const std::string& path);

    std::vector<MessageRequest> messages() const;
    std::vector<std::string> messageTexts() const;
    int requestCount() const; // file and folder requests
    // Where each file and folder request asked its dialog to start, in order.
    std::vector<std::string> startFolders() const;
    void clear();

private:
    mutable std::mutex mutex;
    std::vector<MessageRequest> recordedMessages;
    std::deque<DialogResult> answers;
    std::deque<std::vector<std::string>> fileAnswers;
    std::deque<std::string> folderAnswers;
    std::deque<std::string> saveAnswers;
    std::vector<std::string> requestedStarts;
};

} // namespace platform
