#pragma once

#include "core/BatchRunner.h"
#include "platform/DesktopNotifier.h"
#include "platform/SleepInhibitor.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class BatchThread;
class ConvertPanel;
class CRightView;
class QEvent;

// Start and Stop of the job pane: runs the ticked jobs on a batchThread thread while the window
// stays alive, shows the progress in the pane's bars, the window's title and each job's row,
// and opens the result at the end. While a batch runs, keys do not act in the pane's window
// (mouse commands do); message boxes of the batch keep their keys, and the session is asked
// not to suspend. A long batch that ends while the user works elsewhere says so on the desktop.
class ConvertBatch : public QObject {
    Q_OBJECT

public:
    // The option pane supplies each job's options; converter does the work.
    ConvertBatch(ConvertPanel& panel, CRightView& optionPane, std::unique_ptr<JobConverter> converter,
                 QObject* parent = nullptr);
    // Nothing outlives the pane: a batch still running is stopped and its thread joined. The
    // window's close has waited for it already (StopAndWait), so no event runs in here.
    ~ConvertBatch() override;

    void Start();
    void Stop();
    // For closing the window: Stop, then wait for the batch's end while events flow (with a
    // busy pointer); from then on no Start runs.
    void StopAndWait();

    // A batch that took longer than this and ends while the window is not active sends a
    // desktop notice.
    void setLongBatchTime(std::chrono::milliseconds time) { longBatchTime = time; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startThread();
    void showTurn(int jobNumber);
    void showPages(int pagesDone, int pageCount);
    void showLatestPages();
    void showJobDone(int jobNumber, const QString& progressText);
    void showJobResult(int jobNumber, JobOutcome outcome, const QStringList& messages,
                       const QString& outputPath);
    void finish(const BatchOutcome& outcome);
    void endSessionState();
    void tellEnd(const BatchOutcome& outcome);
    void showCounts(const QString& counts);
    void showStopped();
    void showStopPending(bool pending);
    void setKeysBlocked(bool blocked);

    ConvertPanel& panel;
    BatchThread* batchThread;
    int jobCount = 0;
    std::vector<std::string> batchPaths; // by job number - 1
    int jobInTurn = 0;
    int shownPagesDone = -1;
    int shownPageCount = 0;
    QTimer pageWatch; // shows the pages the per-percent reports pass over
    QString titleBeforeBatch;
    bool titleShowsBatch = false;
    QElapsedTimer batchClock;
    std::chrono::milliseconds longBatchTime{std::chrono::seconds{10}};
    platform::DesktopNotifier notifier;
    platform::SleepInhibitor sleepInhibitor;
    bool stopping = false; // reports of a stopped batch no longer show
    bool keysBlocked = false;
    bool stopPending = false; // a busy pointer shows until the stopped batch has ended
    bool closing = false;     // the window is going: nothing may start work any more
};
