#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QMutex>

namespace platform {

// Test stand-in for Dialogs: records every request and answers from queues, falling back to
// a default answer (OK, or the first button) so a test never blocks on a modal window.
class ScriptedDialogs : public Dialogs {
public:
    DialogResult messageBox(const MessageRequest& request) override;
    QStringList openFiles(const OpenFilesRequest& request) override;
    QString selectFolder(const FolderRequest& request) override;
    QString saveFile(const SaveFileRequest& request) override;

    void queueAnswer(DialogResult answer);
    void queueFiles(const QStringList& files);
    void queueFolder(const QString& folder);
    void queueSaveFile(const QString& path);

    QList<MessageRequest> messages() const;
    QStringList messageTexts() const;
    int requestCount() const; // file and folder requests
    void clear();

private:
    mutable QMutex mutex;
    QList<MessageRequest> recordedMessages;
    QList<DialogResult> answers;
    QList<QStringList> fileAnswers;
    QStringList folderAnswers;
    QStringList saveAnswers;
    int otherRequests = 0;
};

} // namespace platform
