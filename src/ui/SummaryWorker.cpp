#include "ui/SummaryWorker.h"

#include <QMetaObject>

SummaryWorker::SummaryWorker(WorkerPool::Settings settings, QObject* parent)
    : QObject(parent), client(std::move(settings)), thread([this] { serve(); }) {}

SummaryWorker::~SummaryWorker() {
    {
        const std::lock_guard lock(mutex);
        quitting = true;
    }
    changed.notify_all();
    thread.join();
}

bool SummaryWorker::request(const std::string& pdfPath, Done done) {
    std::unique_lock lock(mutex);
    const quint64 serial = ++latest;
    pending = pdfPath;
    finished.reset();
    waiting = {};
    changed.notify_all();
    if (changed.wait_for(lock, patience, [&] { return finished && finished->serial == serial; })) {
        const Result result = std::move(*finished);
        finished.reset();
        lock.unlock();
        done(result.report, result.failure);
        return true;
    }
    waiting = std::move(done);
    return false;
}

void SummaryWorker::forget() {
    const std::lock_guard lock(mutex);
    ++latest;
    pending.reset();
    finished.reset();
    waiting = {};
}

void SummaryWorker::serve() {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return quitting || pending; });
        if (quitting)
            return;
        const std::string pdfPath = std::move(*pending);
        pending.reset();
        const quint64 serial = latest;
        lock.unlock();
        std::string failure;
        const auto abandoned = [&] {
            const std::lock_guard check(mutex);
            return quitting || latest != serial;
        };
        const std::optional<SummaryReport> report = client.build(pdfPath, failure, abandoned);
        lock.lock();
        if (!report || latest != serial)
            continue;
        finished = Result{serial, *report, failure};
        changed.notify_all();
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

// The report came after request() stopped waiting for it.
void SummaryWorker::deliver() {
    std::unique_lock lock(mutex);
    if (!finished || finished->serial != latest || !waiting)
        return;
    const Result result = std::move(*finished);
    finished.reset();
    const Done done = std::move(waiting);
    waiting = {};
    lock.unlock();
    done(result.report, result.failure);
}
