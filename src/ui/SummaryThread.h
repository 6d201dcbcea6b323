#pragma once

#include "core/SummaryReport.h"
#include "pool/SummaryClient.h"

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Builds summary reports on a thread of its own through a worker process, so a click on a
// job never waits for the engine and a hostile file can neither crash nor freeze the window.
// The report arrives through the event loop; a newer request abandons an older one.
class SummaryThread : public QObject {
    Q_OBJECT

public:
    // The report, and what happened when the worker did not survive the file (else empty).
    using Done = std::function<void(const SummaryReport& report, const std::string& failure)>;

    explicit SummaryThread(WorkerPool::Settings settings, QObject* parent = nullptr);
    ~SummaryThread() override;

    // Returns at once; done is called from the event loop when the report comes, unless a
    // newer request or forget() came first. The document opens with the request's passwords.
    void request(SummaryRequest summary, Done done);
    // Forgets the request in the works: its report is never handed over.
    void forget();

private:
    void serve();
    void deliver(quint64 serial, const SummaryReport& report, const std::string& failure);

    SummaryClient client; // used on this thread only
    std::mutex mutex;
    std::condition_variable changed; // this thread waits here for a request
    std::optional<SummaryRequest> pending;
    quint64 latest = 0;
    bool quitting = false;
    Done waiting; // on the user-interface thread only
    std::thread thread;
};
