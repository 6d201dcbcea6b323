#include "pool/WorkerPool.h"

#include "pool/WorkerMessages.h"
#include "pool/WorkerProcess.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

WorkerPool::WorkerPool(Settings settings) : settings(std::move(settings)) {
    this->settings.workers = std::max(this->settings.workers, 1);
    slots.resize(static_cast<std::size_t>(this->settings.workers));
}

WorkerPool::~WorkerPool() = default;

void WorkerPool::submit(const TaskId& task) {
    queue.insert(task);
}

void WorkerPool::cancel(const std::function<bool(const TaskId&)>& picked) {
    std::erase_if(queue, picked);
    for (Slot& slot : slots) {
        if (std::none_of(slot.tasks.begin(), slot.tasks.end(), picked))
            continue;
        // The worker is ended mid-task; what it held besides goes to another worker.
        for (const TaskId& task : slot.tasks) {
            if (!picked(task))
                queue.insert(task);
        }
        slot.process.reset();
        slot.tasks.clear();
    }
}

void WorkerPool::pump(Listener& listener, std::chrono::milliseconds maxWait) {
    dispatch(listener);
    std::vector<pollfd> waits;
    std::vector<Slot*> busy;
    for (Slot& slot : slots) {
        if (!slot.tasks.empty()) {
            waits.push_back({slot.process->fd(), POLLIN, 0});
            busy.push_back(&slot);
            maxWait = std::min(maxWait, settings.silenceLimit - slot.silentFor);
        }
    }
    if (busy.empty())
        return;
    const auto started = std::chrono::steady_clock::now();
    const int ready =
        ::poll(waits.data(), waits.size(), static_cast<int>(std::max<long>(maxWait.count(), 0)));
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (ready < 0 && errno != EINTR)
        return;
    for (std::size_t i = 0; i < busy.size(); ++i) {
        Slot& slot = *busy[i];
        if (slot.tasks.empty())
            continue; // cancelled while an earlier worker's answers were passed on
        if (ready > 0 && waits[i].revents != 0) {
            slot.silentFor = std::chrono::milliseconds{0};
            readAnswers(slot, listener);
        } else if ((slot.silentFor += waited) >= settings.silenceLimit) {
            loseTask(slot, listener, silenceReason());
        }
    }
}

void WorkerPool::dispatch(Listener& listener) {
    // A cold pool starts every worker at once: the pieces of a long document, asked for once
    // the first worker has read it, then find workers that are ready.
    const bool cold =
        std::none_of(slots.begin(), slots.end(), [](const Slot& slot) { return slot.process != nullptr; });
    if (cold && !queue.empty()) {
        for (Slot& slot : slots)
            startWorker(slot);
    }
    // Free workers first, then a second request for each: a worker that has its next request
    // waiting never idles while the program is busy elsewhere.
    for (std::size_t depth = 1; depth <= requestsPerWorker; ++depth) {
        for (Slot& slot : slots) {
            while (slot.tasks.size() < depth && !queue.empty()) {
                const TaskId task = *queue.begin();
                queue.erase(queue.begin());
                const std::optional<Listener::Request> request = listener.requestFor(task);
                if (request)
                    hand(slot, task, *request, listener);
            }
        }
    }
}

void WorkerPool::hand(Slot& slot, const TaskId& task, const Listener::Request& request, Listener& listener) {
    if (slot.tasks.empty())
        slot.silentFor = std::chrono::milliseconds{0};
    slot.tasks.push_back(task);
    if (startWorker(slot) && slot.process->send(request.record, request.descriptor))
        return;
    if (slot.tasks.size() == 1) {
        // The worker may have died while it waited for work: a new one takes the task.
        slot.process.reset();
        if (startWorker(slot) && slot.process->send(request.record, request.descriptor))
            return;
    }
    loseTask(slot, listener, crashReason(slot));
}

bool WorkerPool::startWorker(Slot& slot) {
    if (slot.process && slot.process->started())
        return true;
    const std::vector<std::string> arguments{"--memory-limit", std::to_string(settings.memoryLimitBytes)};
    slot.process = settings.serveInFork ? std::make_unique<WorkerProcess>(settings.serveInFork, arguments)
                                        : std::make_unique<WorkerProcess>(settings.program, arguments);
    return slot.process->started();
}

void WorkerPool::readAnswers(Slot& slot, Listener& listener) {
    const bool alive = slot.process->readAvailable();
    // The listener may cancel tasks while it is told, this one's included.
    while (slot.process && !slot.tasks.empty()) {
        const std::optional<std::string> record = slot.process->nextRecord();
        if (!record)
            break;
        wire::Reader reader(*record);
        const TaskId task = slot.tasks.front();
        // The task ends with its last answer; the worker is free for more before the listener
        // hears of it, so what the listener submits can go to this worker.
        if (reader.kind() == reply::finished || reader.kind() == reply::summary) {
            slot.tasks.pop_front();
            slot.silentFor = std::chrono::milliseconds{0};
        }
        listener.answer(task, reader);
    }
    if (alive || !slot.process)
        return;
    if (!slot.tasks.empty())
        loseTask(slot, listener, crashReason(slot));
    else
        slot.process.reset();
}

// The task in progress is lost with its worker; the one waiting behind it goes to another.
void WorkerPool::loseTask(Slot& slot, Listener& listener, const std::string& reason) {
    const TaskId task = slot.tasks.front();
    queue.insert(std::next(slot.tasks.begin()), slot.tasks.end());
    slot.process.reset();
    slot.tasks.clear();
    listener.lost(task, reason);
}

// A worker that cannot even be started names its program, so a broken installation is
// found at once; one that ran out of memory says so, for that is what the user can act on.
std::string WorkerPool::crashReason(Slot& slot) const {
    if (!settings.serveInFork && ::access(settings.program.c_str(), X_OK) != 0)
        return "its program " + settings.program + " cannot be started";
    const std::string& errors = slot.process ? slot.process->errorOutput() : std::string();
    if (errors.find("bad_alloc") != std::string::npos || errors.find("out of memory") != std::string::npos ||
        errors.find("Cannot allocate memory") != std::string::npos)
        return "it ran out of memory";
    return "crashed";
}

std::string WorkerPool::stoppedOn(const std::string& pdfPath, const std::string& reason) {
    return "The converter stopped on the file '" + pdfPath + "' (" + reason + ")";
}

std::string WorkerPool::silenceReason() const {
    return "no progress for " + std::to_string(settings.silenceLimit.count() / 1000) + " s";
}
