#pragma once

#include "core/BatchRunner.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs one batch at a time on a thread of its own. The thread touches no widget: it asks for
// options and passwords through the sources given here and reports through queued signals, so
// the window stays alive and every widget is touched on its own thread only.
class BatchThread : public QObject, private BatchClient {
    Q_OBJECT

public:
    // Answers on any thread: the options the next job runs with.
    using OptionsSource = std::function<ConvertOptions()>;
    // Answered on the user-interface thread: the passwords typed in an entry's row.
    using PasswordsSource = std::function<JobPasswords(const BatchEntry&)>;

    BatchThread(std::unique_ptr<JobConverter> converter, OptionsSource options, PasswordsSource passwords,
                QObject* parent = nullptr);
    // Stops the batch and joins its thread without running events; a batch waiting for its
    // message's answer is woken by the stop. The owner waits first with waitUntilFinished (the
    // window does when it closes), so the batch's last reports are not lost.
    ~BatchThread() override;

    // False when a batch still runs (a stopped one may still finish its job).
    bool start(std::vector<BatchEntry> entries);
    // Asks the batch to end, its job in progress too, and closes the message it shows: no
    // later message of the batch is shown. Returns at once; the end is told by finished.
    void stop();
    bool isRunning() const { return thread.joinable(); }
    // Waits for the thread to end while events keep flowing, so its queued reports arrive.
    void waitUntilFinished();

    // The last page report of the batch, whether or not a signal told it yet.
    struct Pages {
        int jobNumber = 0;
        int done = 0;
        int count = 0;
    };
    Pages latestPages() const;

Q_SIGNALS:
    // Job jobNumber (1-based) has its turn.
    void turnStarted(int jobNumber);
    void pageReached(int pagesDone, int pageCount);
    void jobFinished(int jobNumber, const QString& progressText, const QString& outputPath);
    // Job jobNumber's turn ended with outcome, after messages (the whole texts, in order) and,
    // when converted, its output written to outputPath.
    void turnEnded(int jobNumber, JobOutcome outcome, const QStringList& messages, const QString& outputPath);
    void finished(const BatchOutcome& outcome);

private:
    ConvertOptions optionsForJob() override;
    JobPasswords passwordsFor(const BatchEntry& entry) override;
    void pageProgress(int pagesDone, int pageCount) override;
    // Shown as a message box that leaves the window usable, so Stop and close still work;
    // the batch waits for its answer or for the stop.
    void message(const JobMessage& message) override;
    void showMessage(const JobMessage& message);
    void messageAnswered();
    void jobStarted(int jobNumber) override;
    void jobConverted(int jobNumber, const std::string& progressText, const std::string& outputPath) override;
    void jobEnded(int jobNumber, JobOutcome outcome) override;
    void finish(const BatchOutcome& outcome);

    std::unique_ptr<JobConverter> converter;
    OptionsSource options;
    PasswordsSource passwords;
    std::unique_ptr<BatchRunner> runner;
    std::thread thread;
    int lastPagePercent = -1;
    // What the job in turn told so far, for its end; on the batch's thread only.
    QStringList jobMessages;
    QString jobOutput;
    mutable std::mutex pagesMutex;
    Pages pages;
    std::mutex messageMutex;
    std::condition_variable messageDone;
    bool answered = false;
};

Q_DECLARE_METATYPE(BatchOutcome)
Q_DECLARE_METATYPE(JobOutcome)
