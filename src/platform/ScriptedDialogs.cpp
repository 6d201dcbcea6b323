#include "platform/ScriptedDialogs.h"

namespace platform {

namespace {

DialogResult defaultAnswer(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return DialogResult::Yes;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        break;
    }
    return DialogResult::Ok;
}

template <typename T> T takeOr(std::deque<T>& queue, T fallback) {
    if (queue.empty())
        return fallback;
    T first = std::move(queue.front());
    queue.pop_front();
    return first;
}

} // namespace

DialogResult ScriptedDialogs::messageBox(const MessageRequest& request) {
    const std::lock_guard lock(mutex);
    recordedMessages.push_back(request);
    return takeOr(answers, defaultAnswer(request.buttons));
}

std::vector<std::string> ScriptedDialogs::openFiles(const OpenFilesRequest& request) {
    const std::lock_guard lock(mutex);
    requestedStarts.push_back(request.initialFolder);
    return takeOr(fileAnswers, std::vector<std::string>{});
}

std::string ScriptedDialogs::selectFolder(const FolderRequest& request) {
    const std::lock_guard lock(mutex);
    requestedStarts.push_back(request.initialFolder);
    return takeOr(folderAnswers, std::string{});
}

std::string ScriptedDialogs::saveFile(const SaveFileRequest& request) {
    const std::lock_guard lock(mutex);
    requestedStarts.push_back(request.initialPath);
    return takeOr(saveAnswers, std::string{});
}

void ScriptedDialogs::queueAnswer(DialogResult answer) {
    const std::lock_guard lock(mutex);
    answers.push_back(answer);
}

void ScriptedDialogs::queueFiles(const std::vector<std::string>& files) {
    const std::lock_guard lock(mutex);
    fileAnswers.push_back(files);
}

void ScriptedDialogs::queueFolder(const std::string& folder) {
    const std::lock_guard lock(mutex);
    folderAnswers.push_back(folder);
}

void ScriptedDialogs::queueSaveFile(const std::string& path) {
    const std::lock_guard lock(mutex);
    saveAnswers.push_back(path);
}

std::vector<MessageRequest> ScriptedDialogs::messages() const {
    const std::lock_guard lock(mutex);
    return recordedMessages;
}

std::vector<std::string> ScriptedDialogs::messageTexts() const {
    std::vector<std::string> texts;
    for (const MessageRequest& request : messages())
        texts.push_back(request.text);
    return texts;
}

int ScriptedDialogs::requestCount() const {
    const std::lock_guard lock(mutex);
    return int(requestedStarts.size());
}

std::vector<std::string> ScriptedDialogs::startFolders() const {
    const std::lock_guard lock(mutex);
    return requestedStarts;
}

void ScriptedDialogs::clear() {
    const std::lock_guard lock(mutex);
    recordedMessages.clear();
    answers.clear();
    fileAnswers.clear();
    folderAnswers.clear();
    saveAnswers.clear();
    requestedStarts.clear();
}

} // namespace platform
