#include "ui/BatchThread.h"

#include "platform/Dialogs.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>

BatchThread::BatchThread(std::unique_ptr<JobConverter> converter, OptionsSource options,
                         PasswordsSource passwords, QObject* parent)
    : QObject(parent), converter(std::move(converter)), options(std::move(options)),
      passwords(std::move(passwords)) {
    qRegisterMetaType<BatchOutcome>();
    qRegisterMetaType<JobOutcome>();
}

BatchThread::~BatchThread() {
    stop();
    if (thread.joinable())
        thread.join();
}

bool BatchThread::start(std::vector<BatchEntry> entries) {
    if (isRunning())
        return false;
    runner = std::make_unique<BatchRunner>(*converter, static_cast<BatchClient&>(*this));
    lastPagePercent = -1;
    {
        const std::lock_guard lock(pagesMutex);
        pages = {};
    }
    thread = std::thread([this, entries = std::move(entries)] {
        const BatchOutcome outcome = runner->run(entries);
        QMetaObject::invokeMethod(
            this, [this, outcome] { finish(outcome); }, Qt::QueuedConnection);
    });
    return true;
}

void BatchThread::stop() {
    if (runner)
        runner->requestStop();
    {
        // A batch thread about to wait sees the stop; one waiting is woken below.
        const std::lock_guard lock(messageMutex);
    }
    messageDone.notify_all();
    platform::Dialogs::instance().closeOpenMessages();
}

void BatchThread::waitUntilFinished() {
    if (!isRunning())
        return;
    QEventLoop loop;
    const auto connection = connect(this, &BatchThread::finished, &loop, &QEventLoop::quit);
    // The end may have been queued already, before the loop listens.
    QMetaObject::invokeMethod(
        &loop,
        [this, &loop] {
            if (!isRunning())
                loop.quit();
        },
        Qt::QueuedConnection);
    loop.exec();
    disconnect(connection);
}

void BatchThread::finish(const BatchOutcome& outcome) {
    if (thread.joinable())
        thread.join();
    runner.reset();
    Q_EMIT finished(outcome);
}

ConvertOptions BatchThread::optionsForJob() {
    return options();
}

JobPasswords BatchThread::passwordsFor(const BatchEntry& entry) {
    JobPasswords result;
    QMetaObject::invokeMethod(
        this, [this, &entry] { return passwords(entry); }, Qt::BlockingQueuedConnection, &result);
    return result;
}

void BatchThread::message(const JobMessage& message) {
    jobMessages.append(QString::fromStdString(message.text));
    std::unique_lock lock(messageMutex);
    if (runner->stopRequestedYet())
        return;
    answered = false;
    QMetaObject::invokeMethod(
        this, [this, message] { showMessage(message); }, Qt::QueuedConnection);
    messageDone.wait(lock, [this] { return answered || runner->stopRequestedYet(); });
}

// On the user-interface thread, where Stop runs too: a message asked for before a stop that
// comes here after it is never shown.
void BatchThread::showMessage(const JobMessage& message) {
    if (!runner || runner->stopRequestedYet())
        return;
    platform::MessageRequest request;
    request.text = message.text;
    request.subject = message.subject;
    platform::Dialogs::instance().showMessage(request,
                                              [self = QPointer<BatchThread>(this)](platform::DialogResult) {
                                                  if (self)
                                                      self->messageAnswered();
                                              });
}

void BatchThread::messageAnswered() {
    {
        const std::lock_guard lock(messageMutex);
        answered = true;
    }
    messageDone.notify_all();
}

void BatchThread::pageProgress(int pagesDone, int pageCount) {
    {
        const std::lock_guard lock(pagesMutex);
        pages.done = pagesDone;
        pages.count = pageCount;
    }
    // A long document finishes pages faster than a window can show them: one report per
    // percent keeps the event queue short. The pages in between are read by latestPages.
    const int percent = pageCount > 0 ? static_cast<int>(100LL * pagesDone / pageCount) : 100;
    if (percent == lastPagePercent && pagesDone != pageCount)
        return;
    lastPagePercent = percent;
    Q_EMIT pageReached(pagesDone, pageCount);
}

BatchThread::Pages BatchThread::latestPages() const {
    const std::lock_guard lock(pagesMutex);
    return pages;
}

void BatchThread::jobStarted(int jobNumber) {
    lastPagePercent = -1;
    jobMessages.clear();
    jobOutput.clear();
    {
        const std::lock_guard lock(pagesMutex);
        pages = {jobNumber, 0, 0};
    }
    Q_EMIT turnStarted(jobNumber);
}

void BatchThread::jobConverted(int jobNumber, const std::string& progressText,
                               const std::string& outputPath) {
    lastPagePercent = -1;
    jobOutput = QString::fromStdString(outputPath);
    Q_EMIT jobFinished(jobNumber, QString::fromStdString(progressText), jobOutput);
}

void BatchThread::jobEnded(int jobNumber, JobOutcome outcome) {
    Q_EMIT turnEnded(jobNumber, outcome, jobMessages, jobOutput);
}
