#include "ui/ConvertBatch.h"

#include "controls/chrome/TextProgressCtrl.h"
#include "platform/ShellFeedback.h"
#include "ui/BatchThread.h"
#include "ui/ConvertPanel.h"
#include "ui/RightView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

const QString STOPPED_TEXT = QStringLiteral("Convert stopped.");
const QString FINISHED_TEXT = QStringLiteral("Convert Finished");

std::vector<BatchEntry> entriesOf(const std::vector<ConvertPanel::CheckedJob>& checked) {
    std::vector<BatchEntry> entries;
    entries.reserve(checked.size());
    for (const ConvertPanel::CheckedJob& job : checked)
        entries.push_back({job.path, job.row});
    return entries;
}

void openResult(const BatchResultToOpen& result) {
    const QString path = QString::fromStdString(result.path);
    if (result.verb == BatchResultToOpen::Verb::Open)
        platform::openOrTell(platform::ShellVerb::Open, path);
    else if (result.verb == BatchResultToOpen::Verb::Explore)
        platform::openOrTell(platform::ShellVerb::Explore, path);
}

} // namespace

ConvertBatch::ConvertBatch(ConvertPanel& panel, CRightView& optionPane,
                           std::unique_ptr<JobConverter> converter, QObject* parent)
    : QObject(parent), panel(panel) {
    auto options = [&optionPane] {
        ConvertOptions values;
        optionPane.CopyValuesInto(values);
        return values;
    };
    auto passwords = [&panel](const BatchEntry& entry) {
        const ConvertPanel::RowPasswords typed = panel.passwords(entry.row);
        return JobPasswords{typed.owner, typed.user};
    };
    batchThread = new BatchThread(std::move(converter), options, passwords, this);
    connect(batchThread, &BatchThread::pageReached, this, &ConvertBatch::showPages);
    connect(batchThread, &BatchThread::jobFinished, this, &ConvertBatch::showJobDone);
    connect(batchThread, &BatchThread::finished, this, &ConvertBatch::finish);
    panel.setStartHandler([this] { Start(); });
    panel.setStopHandler([this] { Stop(); });
}

ConvertBatch::~ConvertBatch() {
    setKeysBlocked(false);
    showStopPending(false);
    panel.setStartHandler({});
    panel.setStopHandler({});
}

void ConvertBatch::Start() {
    if (closing || panel.isRunning() || batchThread->isRunning())
        return;
    panel.setRunning(true);
    setKeysBlocked(true);
    startThread();
}

void ConvertBatch::startThread() {
    std::vector<BatchEntry> entries = entriesOf(panel.checkedJobs());
    jobCount = static_cast<int>(entries.size());
    stopping = false;
    if (jobCount > 0) {
        CTextProgressCtrl* pages = panel.currentProgress();
        CTextProgressCtrl* jobs = panel.totalProgress();
        pages->SetRange32(0, 1);
        pages->SetPos(0);
        pages->SetWindowText({});
        jobs->SetRange32(0, jobCount);
        jobs->SetPos(0);
        jobs->SetWindowText({});
    }
    batchThread->start(std::move(entries));
}

// The controls come back at once; "Convert stopped." waits for the batch's end, which takes
// at most a moment (its job in progress is ended too), with a busy pointer meanwhile.
void ConvertBatch::Stop() {
    const bool running = batchThread->isRunning();
    panel.setStartWaiting(running);
    panel.setRunning(false);
    setKeysBlocked(false);
    stopping = true;
    batchThread->stop();
    if (running)
        showStopPending(true);
    else
        showStopped();
}

void ConvertBatch::StopAndWait() {
    closing = true;
    if (!batchThread->isRunning())
        return;
    Stop();
    batchThread->waitUntilFinished();
}

void ConvertBatch::showStopped() {
    for (CTextProgressCtrl* bar : {panel.currentProgress(), panel.totalProgress()}) {
        bar->SetPos(0);
        bar->SetWindowText(STOPPED_TEXT);
    }
}

void ConvertBatch::showStopPending(bool pending) {
    if (pending == std::exchange(stopPending, pending))
        return;
    if (pending)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void ConvertBatch::showPages(int pagesDone, int pageCount) {
    if (stopping)
        return;
    CTextProgressCtrl* pages = panel.currentProgress();
    pages->SetRange32(0, pageCount);
    pages->SetPos(pagesDone);
}

void ConvertBatch::showJobDone(int jobNumber, const QString& progressText) {
    if (stopping)
        return;
    CTextProgressCtrl* jobs = panel.totalProgress();
    jobs->SetPos(jobNumber);
    jobs->SetWindowText(progressText);
}

void ConvertBatch::finish(const BatchOutcome& outcome) {
    panel.setStartWaiting(false);
    if (outcome.end == BatchOutcome::End::Stopped || stopping) {
        showStopPending(false);
        showStopped();
        return;
    }
    panel.setRunning(false);
    setKeysBlocked(false);
    if (outcome.end != BatchOutcome::End::Finished)
        return;
    CTextProgressCtrl* jobs = panel.totalProgress();
    jobs->SetPos(jobCount);
    jobs->SetWindowText(FINISHED_TEXT);
    openResult(outcome.resultToOpen);
}

void ConvertBatch::setKeysBlocked(bool blocked) {
    if (blocked == std::exchange(keysBlocked, blocked))
        return;
    if (blocked)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

// Keys meant for the pane's window (its own keys, the menus' accelerators, typing into a
// cell) do nothing during a batch, except Stop's own key; other windows, such as a message
// box the batch shows, keep theirs.
bool ConvertBatch::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride &&
        type != QEvent::Shortcut)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != panel.window())
        return false;
    // The key shown for Stop would otherwise never work: it only matters during a batch.
    if (type != QEvent::Shortcut) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F5 && key->modifiers() == Qt::ShiftModifier)
            return false;
    }
    event->accept();
    return true;
}
