#pragma once

#include "core/BatchRunner.h"

#include <QObject>

#include <memory>

class BatchThread;
class ConvertPanel;
class CRightView;
class QEvent;

// Start and Stop of the job pane: runs the ticked jobs on a batchThread thread while the window
// stays alive, shows the progress in the pane's bars and opens the result at the end. While a
// batch runs, keys do not act in the pane's window (mouse commands do); message boxes of the
// batch keep their keys.
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startThread();
    void showPages(int pagesDone, int pageCount);
    void showJobDone(int jobNumber, const QString& progressText);
    void finish(const BatchOutcome& outcome);
    void showStopped();
    void showStopPending(bool pending);
    void setKeysBlocked(bool blocked);

    ConvertPanel& panel;
    BatchThread* batchThread;
    int jobCount = 0;
    bool stopping = false; // reports of a stopped batch no longer show
    bool keysBlocked = false;
    bool stopPending = false; // a busy pointer shows until the stopped batch has ended
    bool closing = false;     // the window is going: nothing may start work any more
};
