#pragma once

#include "pool/WireFormat.h"

#include <chrono>
#include <compare>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class WorkerProcess;

// One piece of work for a worker: a piece of a job, or a summary.
struct TaskId {
    int job = 0;
    int piece = 0;
    auto operator<=>(const TaskId&) const = default;
};

// Worker processes started once and reused. Queued tasks go to free workers lowest first, so
// the job whose turn is next is never kept waiting by work ahead of it. A worker that dies or
// stays silent too long is killed; its task is reported lost and a new worker takes its place
// when one is needed.
class WorkerPool {
public:
    struct Settings {
        std::string program;
        int workers = 1;
        std::uint64_t memoryLimitBytes = 4ull << 30;
        // How long a worker may go without a word (a page done, a message) while the pool waits.
        std::chrono::milliseconds silenceLimit{60'000};
        // When set, a worker is a fork of this process running this (the worker program's
        // main loop, loaded into the process) in place of the program.
        int (*serveInFork)(int argc, char* argv[]) = nullptr;
    };

    // The owner of the tasks: makes each task's request when a worker is free for it and
    // takes what comes back.
    class Listener {
    public:
        // A record for the worker, and the file it is to write (owned by the listener), if any.
        struct Request {
            std::string record;
            int descriptor = -1;
        };
        virtual ~Listener() = default;
        // The request for the task, or nothing when the task has no more reason to run.
        virtual std::optional<Request> requestFor(const TaskId& task) = 0;
        virtual void answer(const TaskId& task, wire::Reader& reply) = 0;
        virtual void lost(const TaskId& task, const std::string& reason) = 0;
    };

    explicit WorkerPool(Settings settings);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int workerCount() const { return settings.workers; }
    // What the user is told of a task lost on pdfPath: "The converter stopped on the file
    // '…' (reason)", to be ended by the caller.
    static std::string stoppedOn(const std::string& pdfPath, const std::string& reason);
    void submit(const TaskId& task);
    // Drops the tasks the test picks, queued or running (their workers are killed).
    void cancel(const std::function<bool(const TaskId&)>& picked);
    // Hands queued tasks to free workers, then waits at most maxWait for answers and passes
    // them on. Silence counts only while the pool waits here.
    void pump(Listener& listener, std::chrono::milliseconds maxWait);

private:
    // Requests a worker holds at once: the one in progress and the next.
    static constexpr std::size_t requestsPerWorker = 2;

    struct Slot {
        std::unique_ptr<WorkerProcess> process;
        std::deque<TaskId> tasks; // in the order sent; the first is in progress
        std::chrono::milliseconds silentFor{0};
    };

    void dispatch(Listener& listener);
    void hand(Slot& slot, const TaskId& task, const Listener::Request& request, Listener& listener);
    bool startWorker(Slot& slot);
    void readAnswers(Slot& slot, Listener& listener);
    void loseTask(Slot& slot, Listener& listener, const std::string& reason);
    std::string crashReason(Slot& slot) const;
    std::string silenceReason() const;

    Settings settings;
    std::vector<Slot> slots;
    std::set<TaskId> queue;
};
