#include "platform/ScriptedDialogs.h"

#include <QMutexLocker>

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

template <typename T> T takeOr(QList<T>& queue, T fallback) {
    return queue.isEmpty() ? fallback : queue.takeFirst();
}
} // namespace

DialogResult ScriptedDialogs::messageBox(const MessageRequest& request) {
    QMutexLocker lock(&mutex);
    recordedMessages.append(request);
    return takeOr(answers, defaultAnswer(request.buttons));
}

QStringList ScriptedDialogs::openFiles(const OpenFilesRequest&) {
    QMutexLocker lock(&mutex);
    ++otherRequests;
    return takeOr(fileAnswers, QStringList{});
}

QString ScriptedDialogs::selectFolder(const FolderRequest&) {
    QMutexLocker lock(&mutex);
    ++otherRequests;
    return takeOr(folderAnswers, QString{});
}

QString ScriptedDialogs::saveFile(const SaveFileRequest&) {
    QMutexLocker lock(&mutex);
    ++otherRequests;
    return takeOr(saveAnswers, QString{});
}

void ScriptedDialogs::queueAnswer(DialogResult answer) {
    QMutexLocker lock(&mutex);
    answers.append(answer);
}

void ScriptedDialogs::queueFiles(const QStringList& files) {
    QMutexLocker lock(&mutex);
    fileAnswers.append(files);
}

void ScriptedDialogs::queueFolder(const QString& folder) {
    QMutexLocker lock(&mutex);
    folderAnswers.append(folder);
}

void ScriptedDialogs::queueSaveFile(const QString& path) {
    QMutexLocker lock(&mutex);
    saveAnswers.append(path);
}

QList<MessageRequest> ScriptedDialogs::messages() const {
    QMutexLocker lock(&mutex);
    return recordedMessages;
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const MessageRequest& request : messages())
        texts.append(request.text);
    return texts;
}

int ScriptedDialogs::requestCount() const {
    QMutexLocker lock(&mutex);
    return otherRequests;
}

void ScriptedDialogs::clear() {
    QMutexLocker lock(&mutex);
    recordedMessages.clear();
    answers.clear();
    fileAnswers.clear();
    folderAnswers.clear();
    saveAnswers.clear();
    otherRequests = 0;
}

} // namespace platform
