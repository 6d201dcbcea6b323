#pragma once

#include "core/SummaryReport.h"
#include "pool/SummaryClient.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Builds summary reports on a thread of its own through a worker process, so a click on a
// job never waits long for the engine and a hostile file can neither crash nor freeze the
// window. A report that comes within a short patience is handed over at once, as if built
// here; a later one arrives through the event loop. A newer request abandons an older one.
class SummaryWorker : public QObject {
    Q_OBJECT

public:
    // The report, and what happened when the worker did not survive the file (else empty).
    using Done = std::function<void(const SummaryReport& report, const std::string& failure)>;

    explicit SummaryWorker(WorkerPool::Settings settings, QObject* parent = nullptr);
    ~SummaryWorker() override;

    // True when done was called before this returned; otherwise it is called from the event
    // loop when the report comes, unless a newer request or forget() came first.
    bool request(const std::string& pdfPath, Done done);
    // Forgets the request in the works: its report is never handed over.
    void forget();

    // How long request() waits for the report before leaving it to the event loop.
    static constexpr std::chrono::milliseconds patience{150};

private:
    struct Result {
        quint64 serial = 0;
        SummaryReport report;
        std::string failure;
    };

    void serve();
    void deliver();

    SummaryClient client; // used on the worker thread only
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<std::string> pending;
    quint64 latest = 0;
    std::optional<Result> finished;
    Done waiting;
    bool quitting = false;
    std::thread thread;
};
