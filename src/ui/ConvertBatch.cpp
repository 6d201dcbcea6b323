#include "ui/ConvertBatch.h"

#include "controls/chrome/TextLabel.h"
#include "controls/chrome/TextProgressCtrl.h"
#include "platform/ShellFeedback.h"
#include "ui/BatchThread.h"
#include "ui/ConvertPanel.h"
#include "ui/RightView.h"

#include "ui/JobResult.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace {

const QString STOPPED_TEXT = QStringLiteral("Convert stopped.");
const QString FINISHED_TEXT = QStringLiteral("Convert Finished");
const QString APPLICATION_NAME = QStringLiteral("Folverin");
constexpr std::chrono::milliseconds PAGE_WATCH_INTERVAL{250};

// The page in progress, so the count reads "Page 1 of 500" while the first page is worked on.
QString pageText(int pagesDone, int pageCount) {
    return QStringLiteral("Page %1 of %2").arg(std::min(pagesDone + 1, pageCount)).arg(pageCount);
}

QString countsText(const BatchOutcome& outcome, int jobCount) {
    QString text = QStringLiteral("%1 converted, %2 skipped").arg(outcome.converted).arg(outcome.skipped);
    if (outcome.end != BatchOutcome::End::Finished)
        text += QStringLiteral(", %1 not converted").arg(jobCount - outcome.converted - outcome.skipped);
    return text;
}

QString endText(BatchOutcome::End end) {
    switch (end) {
    case BatchOutcome::End::Stopped:
        return STOPPED_TEXT;
    case BatchOutcome::End::EndedEarly:
        return QStringLiteral("Convert ended early");
    case BatchOutcome::End::NoJobs:
    case BatchOutcome::End::Finished:
        break;
    }
    return FINISHED_TEXT;
}

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
    : QObject(parent), panel(panel), notifier(APPLICATION_NAME, QStringLiteral("folverin")),
      sleepInhibitor(APPLICATION_NAME) {
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
    connect(batchThread, &BatchThread::turnStarted, this, &ConvertBatch::showTurn);
    connect(batchThread, &BatchThread::pageReached, this, &ConvertBatch::showPages);
    connect(batchThread, &BatchThread::jobFinished, this, &ConvertBatch::showJobDone);
    connect(batchThread, &BatchThread::turnEnded, this, &ConvertBatch::showJobResult);
    connect(batchThread, &BatchThread::finished, this, &ConvertBatch::finish);
    pageWatch.setInterval(PAGE_WATCH_INTERVAL);
    connect(&pageWatch, &QTimer::timeout, this, &ConvertBatch::showLatestPages);
    panel.setStartHandler([this] { Start(); });
    panel.setStopHandler([this] { Stop(); });
}

ConvertBatch::~ConvertBatch() {
    endSessionState();
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
    batchPaths.clear();
    for (const BatchEntry& entry : entries)
        batchPaths.push_back(entry.pdfPath);
    jobInTurn = 0;
    showCounts({});
    if (jobCount > 0) {
        panel.clearResults();
        batchClock.start();
        titleBeforeBatch = panel.window()->windowTitle();
        sleepInhibitor.inhibit(QStringLiteral("Converting PDF files"));
        pageWatch.start();
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
    sleepInhibitor.release();
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

void ConvertBatch::showTurn(int jobNumber) {
    jobInTurn = jobNumber;
    shownPagesDone = -1;
    shownPageCount = 0;
    if (stopping)
        return;
    titleShowsBatch = true;
    // The count first and the program's name after the dash, as every window of the program is
    // titled: the system adds the name to a title that does not end with it.
    panel.window()->setWindowTitle(
        QStringLiteral("%1 of %2 files \u2014 %3").arg(jobNumber).arg(jobCount).arg(titleBeforeBatch));
}

void ConvertBatch::showPages(int pagesDone, int pageCount) {
    // The page watch may have shown a later page of this job already.
    if (stopping || (pageCount == shownPageCount && pagesDone < shownPagesDone))
        return;
    shownPagesDone = pagesDone;
    shownPageCount = pageCount;
    CTextProgressCtrl* pages = panel.currentProgress();
    pages->SetRange32(0, pageCount);
    pages->SetPos(pagesDone);
    pages->SetWindowText(pageText(pagesDone, pageCount));
}

// Pages between two per-percent reports of a slow document (pages read from their picture
// take seconds each) show within the watch's interval.
void ConvertBatch::showLatestPages() {
    const BatchThread::Pages latest = batchThread->latestPages();
    if (latest.jobNumber != jobInTurn || latest.count <= 0)
        return;
    if (latest.done != shownPagesDone || latest.count != shownPageCount)
        showPages(latest.done, latest.count);
}

void ConvertBatch::showJobDone(int jobNumber, const QString& progressText) {
    if (stopping)
        return;
    CTextProgressCtrl* jobs = panel.totalProgress();
    jobs->SetPos(jobNumber);
    jobs->SetWindowText(progressText);
}

void ConvertBatch::showJobResult(int jobNumber, JobOutcome outcome, const QStringList& messages,
                                 const QString& outputPath) {
    if (jobNumber < 1 || jobNumber > static_cast<int>(batchPaths.size()))
        return;
    const std::string& path = batchPaths[static_cast<std::size_t>(jobNumber - 1)];
    panel.showResult(path, JobResult::of(outcome, messages, QString::fromStdString(path), outputPath));
}

void ConvertBatch::finish(const BatchOutcome& outcome) {
    endSessionState();
    tellEnd(outcome);
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

// What lasts only while a batch runs: the title's count, the page watch and the hold on
// the session's sleep.
void ConvertBatch::endSessionState() {
    pageWatch.stop();
    sleepInhibitor.release();
    if (std::exchange(titleShowsBatch, false))
        panel.window()->setWindowTitle(titleBeforeBatch);
}

// The counts stay with the lower bar; a long batch that ends while the user works in another
// window is told on the desktop too (not when the window is closing).
void ConvertBatch::tellEnd(const BatchOutcome& outcome) {
    if (outcome.end == BatchOutcome::End::NoJobs)
        return;
    const QString counts = countsText(outcome, jobCount);
    showCounts(counts);
    QWidget* window = panel.window();
    if (closing || window->isActiveWindow() || batchClock.elapsed() <= longBatchTime.count())
        return;
    notifier.notify(endText(outcome.end), counts);
    QApplication::alert(window);
}

// The lower bar and its label say how many jobs were converted and skipped when the pointer
// rests on them.
void ConvertBatch::showCounts(const QString& counts) {
    panel.totalProgress()->setToolTip(counts);
    panel.totalLabel()->setToolTip(counts);
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
