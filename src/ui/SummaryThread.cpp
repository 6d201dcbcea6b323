#include "ui/SummaryThread.h"

#include <QMetaObject>

SummaryThread::SummaryThread(WorkerPool::Settings settings, QObject* parent)
    : QObject(parent), client(std::move(settings)), thread([this] { serve(); }) {}

SummaryThread::~SummaryThread() {
    {
        const std::lock_guard lock(mutex);
        quitting = true;
    }
    changed.notify_all();
    thread.join();
}

void SummaryThread::request(SummaryRequest summary, Done done) {
    {
        const std::lock_guard lock(mutex);
        ++latest;
        pending = std::move(summary);
    }
    waiting = std::move(done);
    changed.notify_all();
}

void SummaryThread::forget() {
    const std::lock_guard lock(mutex);
    ++latest;
    pending.reset();
    waiting = {};
}

void SummaryThread::serve() {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return quitting || pending; });
        if (quitting)
            return;
        const SummaryRequest summary = std::move(*pending);
        pending.reset();
        const quint64 serial = latest;
        lock.unlock();
        std::string failure;
        const auto abandoned = [&] {
            const std::lock_guard check(mutex);
            return quitting || latest != serial;
        };
        std::optional<SummaryReport> report = client.build(summary, failure, abandoned);
        lock.lock();
        if (!report || latest != serial)
            continue;
        QMetaObject::invokeMethod(
            this, [this, serial, built = std::move(*report), failure] { deliver(serial, built, failure); },
            Qt::QueuedConnection);
    }
}

// A request made after this report was built may have come first: its report is the one shown.
void SummaryThread::deliver(quint64 serial, const SummaryReport& report, const std::string& failure) {
    {
        const std::lock_guard lock(mutex);
        if (serial != latest || !waiting)
            return;
    }
    const Done done = std::move(waiting);
    waiting = {};
    done(report, failure);
}
