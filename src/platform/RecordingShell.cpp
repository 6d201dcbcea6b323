#include "platform/RecordingShell.h"

#include <QMutexLocker>

namespace platform {

ShellResult RecordingShell::openFile(const QString& path) {
    return record(QStringLiteral("open"), path);
}

ShellResult RecordingShell::exploreFolder(const QString& path) {
    return record(QStringLiteral("explore"), path);
}

ShellResult RecordingShell::openUrl(const QString& url) {
    return record(QStringLiteral("url"), url);
}

void RecordingShell::setFailure(const QString& error, ShellFailure kind) {
    QMutexLocker lock(&mutex);
    failure = error;
    failureKind = kind;
}

QList<RecordingShell::Request> RecordingShell::requests() const {
    QMutexLocker lock(&mutex);
    return recorded;
}

void RecordingShell::clear() {
    QMutexLocker lock(&mutex);
    recorded.clear();
}

ShellResult RecordingShell::record(const QString& verb, const QString& target) {
    QMutexLocker lock(&mutex);
    recorded.append({verb, target});
    return {failure.isEmpty(), failure, failureKind};
}

} // namespace platform
