#pragma once

#include "platform/Shell.h"

#include <QList>
#include <QMutex>

namespace platform {

// Test stand-in for Shell: records each request ("open", "explore" or "url" with its target)
// and reports success unless told to fail.
class RecordingShell : public Shell {
public:
    struct Request {
        QString verb;
        QString target;
    };

    ShellResult openFile(const QString& path) override;
    ShellResult exploreFolder(const QString& path) override;
    ShellResult openUrl(const QString& url) override;

    void setFailure(const QString& error, ShellFailure kind = ShellFailure::Unknown); // empty: succeed
    QList<Request> requests() const;
    void clear();

private:
    ShellResult record(const QString& verb, const QString& target);

    mutable QMutex mutex;
    QList<Request> recorded;
    QString failure;
    ShellFailure failureKind = ShellFailure::Unknown;
};

} // namespace platform
