#include "platform/DesktopShell.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <utility>

namespace platform {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("DesktopShell", text);
}

ShellResult success() {
    return {true, QString(), ShellFailure::Unknown};
}

ShellResult failure(ShellFailure kind, const QString& error) {
    return {false, error, kind};
}

ShellResult noProgramFor(const QString& target) {
    return failure(ShellFailure::NoAssociation, tr("No program could open \"%1\".").arg(target));
}

// What the opener is given for the target, or why there is nothing to give it.
std::pair<QString, ShellResult> openerArgument(ShellVerb verb, const QString& target) {
    const QFileInfo info(target);
    switch (verb) {
    case ShellVerb::Open:
        if (target.isEmpty() || !info.exists())
            return {{},
                    failure(ShellFailure::FileNotFound, tr("The file \"%1\" does not exist.").arg(target))};
        return {info.absoluteFilePath(), success()};
    case ShellVerb::Explore:
        if (target.isEmpty() || !info.isDir())
            return {{},
                    failure(ShellFailure::PathNotFound, tr("The folder \"%1\" does not exist.").arg(target))};
        return {info.absoluteFilePath(), success()};
    case ShellVerb::Url:
        break;
    }
    const QUrl url(target);
    if (target.isEmpty() || !url.isValid() || url.scheme().isEmpty())
        return {{}, failure(ShellFailure::FileNotFound, tr("\"%1\" is not a valid address.").arg(target))};
    return {QString::fromLatin1(url.toEncoded()), success()};
}

// The opener's exit status: 2 a missing file, 3 no tool for the target, 4 the tool failed.
ShellResult openerOutcome(int exitCode, QProcess::ExitStatus status, const QString& target) {
    if (status == QProcess::NormalExit && exitCode == 0)
        return success();
    if (status == QProcess::NormalExit && exitCode == 2)
        return failure(ShellFailure::FileNotFound, tr("\"%1\" was not found.").arg(target));
    if (status == QProcess::NormalExit && (exitCode == 3 || exitCode == 4))
        return noProgramFor(target);
    return failure(ShellFailure::Unknown, tr("Opening \"%1\" failed.").arg(target));
}

// The process has no owner: one still running when the program ends is left running (it may
// be the browser itself) instead of being killed with its QProcess.
void startOpener(const QString& program, const QString& argument, const QString& target,
                 std::chrono::milliseconds patience, const QObject* context, ShellOutcome done) {
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    const QObject* receiver = context ? context : process;
    auto told = std::make_shared<bool>(false);
    const auto tell = [told, done](const ShellResult& result) {
        if (done && !std::exchange(*told, true))
            done(result);
    };
    QObject::connect(
        process, &QProcess::finished, receiver,
        [tell, target](int code, QProcess::ExitStatus status) { tell(openerOutcome(code, status, target)); });
    QObject::connect(process, &QProcess::errorOccurred, receiver,
                     [tell, target](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             tell(noProgramFor(target));
                     });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    QTimer::singleShot(patience, receiver, [tell] { tell(success()); });
    process->start(program, {argument});
}

} // namespace

DesktopShell::DesktopShell(QString openerProgram, std::chrono::milliseconds openerPatience)
    : opener(std::move(openerProgram)), patience(openerPatience) {}

ShellResult DesktopShell::openFile(const QString& path) {
    return handOver(ShellVerb::Open, path, nullptr, {});
}

ShellResult DesktopShell::exploreFolder(const QString& path) {
    return handOver(ShellVerb::Explore, path, nullptr, {});
}

ShellResult DesktopShell::openUrl(const QString& url) {
    return handOver(ShellVerb::Url, url, nullptr, {});
}

void DesktopShell::launch(ShellVerb verb, const QString& target, const QObject* context, ShellOutcome done) {
    const ShellResult handed = handOver(verb, target, context, done);
    if (!handed.ok && done)
        done(handed);
}

ShellResult DesktopShell::handOver(ShellVerb verb, const QString& target, const QObject* context,
                                   ShellOutcome done) const {
    const auto [argument, checked] = openerArgument(verb, target);
    if (!checked.ok)
        return checked;
    const QString program = QStandardPaths::findExecutable(opener);
    if (program.isEmpty())
        return noProgramFor(target);
    // The opener is watched from the application's thread, whose event loop always runs.
    QCoreApplication* app = QCoreApplication::instance();
    if (QThread::currentThread() == app->thread())
        startOpener(program, argument, target, patience, context, std::move(done));
    else
        QMetaObject::invokeMethod(
            app, [=, wait = patience] { startOpener(program, argument, target, wait, context, done); },
            Qt::QueuedConnection);
    return success();
}

} // namespace platform
