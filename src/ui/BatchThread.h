#pragma once

#include "core/BatchRunner.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
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
    // Stops the batch and joins its thread without running events: the owner waits first with
    // waitUntilFinished (the window does when it closes), so no dialog of the batch is left
    // waiting for an answer here.
    ~BatchThread() override;

    // False when a batch still runs (a stopped one may still finish its job).
    bool start(std::vector<BatchEntry> entries);
    // Asks the batch to end before its next job; returns at once.
    void stop();
    bool isRunning() const { return thread.joinable(); }
    // Waits for the thread to end while events keep flowing, so a message box it raised can be
    // answered and its queued reports arrive.
    void waitUntilFinished();

Q_SIGNALS:
    void pageReached(int pagesDone, int pageCount);
    void jobFinished(int jobNumber, const QString& progressText, const QString& outputPath);
    void finished(const BatchOutcome& outcome);

private:
    ConvertOptions optionsForJob() override;
    JobPasswords passwordsFor(const BatchEntry& entry) override;
    void pageProgress(int pagesDone, int pageCount) override;
    // Shown as a message box (the window's dialogs wait on the user-interface thread).
    void message(const JobMessage& message) override;
    void jobConverted(int jobNumber, const std::string& progressText, const std::string& outputPath) override;
    void finish(const BatchOutcome& outcome);

    std::unique_ptr<JobConverter> converter;
    OptionsSource options;
    PasswordsSource passwords;
    std::unique_ptr<BatchRunner> runner;
    std::thread thread;
    int lastPagePercent = -1;
};

Q_DECLARE_METATYPE(BatchOutcome)
