#include "pool/PooledConverter.h"

#include "core/OcrLanguages.h"
#include "core/OutputNames.h"
#include "platform/AtomicFile.h"
#include "pool/PiecePlan.h"
#include "pool/WorkerMessages.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <sched.h>
#include <unistd.h>
#include <utility>

namespace {

// Where a piece goes when the output's folder takes no new file: a file without a name in the
// temporary folder, which nothing can leave behind; the output is written from it when the
// job's turn comes.
platform::AtomicFile::Reservation pieceInTemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    const std::string temporaryFolder = folder && *folder ? folder : "/tmp";
    platform::UniqueFd fd(::open(temporaryFolder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (!fd.valid()) {
        std::string pattern = temporaryFolder + "/folverin-XXXXXX.part";
        fd.reset(::mkostemps(pattern.data(), 5, O_CLOEXEC));
        if (fd.valid())
            ::unlink(pattern.c_str());
    }
    return {nullptr, {}, std::move(fd)};
}

// Copies a finished piece, read through the descriptor it was written to.
bool appendFile(platform::AtomicFile& output, int piece) {
    char buffer[256 * 1024];
    off_t offset = 0;
    for (;;) {
        const ssize_t count = ::pread(piece, buffer, sizeof buffer, offset);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count == 0;
        output.write(buffer, static_cast<std::size_t>(count));
        offset += count;
    }
}

} // namespace

// The pool's view of the jobs: makes the piece files and requests, and files the answers
// under their jobs.
class PooledConverter::Tasks : public WorkerPool::Listener {
public:
    explicit Tasks(PooledConverter& owner) : owner(owner) {}

    std::optional<Request> requestFor(const TaskId& task) override {
        Job* job = find(task);
        // After a stop no task starts and no temporary file is made: the batch is ending.
        if (!job || job->done || owner.stopSeen())
            return std::nullopt;
        Piece& piece = job->pieces[static_cast<std::size_t>(task.piece)];
        // A piece asked for again (its worker was ended for another task's sake) starts over
        // in the file it had.
        piece.pagesDone = 0;
        piece.unreadScans = 0;
        piece.unreadUnusable = 0;
        piece.heldMessages.clear();
        piece.pagesRead.clear();
        if (!piece.file.valid() && !makePieceFile(*job, piece))
            return std::nullopt;
        ConvertRequest request;
        request.job = job->job;
        request.options = job->options;
        request.configPath = owner.settings.configPath;
        request.programDir = owner.settings.programDir;
        request.outputPath = job->outputPath;
        request.pieceIndex = task.piece;
        if (job->planned) {
            request.order = piece.order;
            request.documentStamp = job->documentStamp;
        } else {
            request.cutFrom = owner.pool.workerCount() > 1 ? PiecePlan::minPagesToCut : 0;
        }
        return Request{request.record(), piece.file.descriptor.get()};
    }

    void answer(const TaskId& task, wire::Reader& reply) override {
        Job* job = find(task);
        if (!job || job->done)
            return;
        Piece& piece = job->pieces[static_cast<std::size_t>(task.piece)];
        switch (reply.kind()) {
        case reply::progress:
            piece.pagesDone = reply.getInt();
            if (job->pieces.size() == 1)
                job->pageCount = reply.getInt();
            break;
        case reply::message:
            (task.piece == 0 ? job->messages : piece.heldMessages).push_back(messageFrom(reply));
            break;
        case reply::facts:
            if (!takeFacts(*job, reply))
                lost(task, "it answered out of turn");
            break;
        case reply::unreadScans:
            piece.unreadScans = reply.getInt();
            piece.unreadUnusable = reply.getInt();
            break;
        case reply::pageRead:
            piece.pagesRead.push_back(reply::pageReadFrom(reply));
            break;
        case reply::finished:
            finish(*job, piece, static_cast<JobOutcome>(reply.getInt()));
            break;
        default:
            break;
        }
    }

    void lost(const TaskId& task, const std::string& reason) override {
        Job* job = find(task);
        if (!job || job->done)
            return;
        job->messages.push_back(
            {WorkerPool::stoppedOn(job->job.pdfPath, reason) + ", so it is not converted.",
             job->job.pdfPath});
        owner.fail(*job, JobOutcome::Skipped);
    }

private:
    bool makePieceFile(Job& job, Piece& piece) {
        const platform::Status located = job.output->locate();
        if (!located.ok())
            return refuse(job, located.error());
        platform::Result<platform::AtomicFile::Reservation> reserved = job.output->reserve();
        piece.besideOutput = reserved.ok();
        piece.file = reserved.ok() ? std::move(reserved).value() : pieceInTemporaryFolder();
        return piece.file.valid() || refuse(job, reserved.error());
    }

    bool refuse(Job& job, const std::string& reason) {
        job.messages.push_back({OutputNames::writeFailureMessage(job.outputPath, reason), job.job.pdfPath});
        owner.fail(job, JobOutcome::Skipped);
        return false;
    }

    Job* find(const TaskId& task) {
        const auto found = owner.jobs.find(task.job);
        if (found == owner.jobs.end() || task.piece >= static_cast<int>(found->second.pieces.size()))
            return nullptr;
        return &found->second;
    }

    static JobMessage messageFrom(wire::Reader& reply) {
        JobMessage message;
        message.text = reply.getText();
        message.subject = reply.getText();
        return message;
    }

    // False when the facts cannot be cut by: the job is then lost, not written empty.
    static bool takeFacts(Job& job, wire::Reader& reply) {
        Job::Facts facts;
        facts.first = reply.getInt();
        facts.last = reply.getInt();
        job.documentStamp = wire::stampFrom(reply);
        facts.readPages = wire::optionalPagesFrom(reply);
        reply.expectEnd();
        if (reply.broken() || facts.first > facts.last || job.planned)
            return false;
        job.facts = std::move(facts);
        return true;
    }

    // The one cut of the job, from the facts its first request found: every piece is asked
    // for with its exact pages, the first one again.
    void plan(Job& job) {
        const Job::Facts facts = *std::exchange(job.facts, std::nullopt);
        const auto cut = PiecePlan::cut(facts.first, facts.last, owner.pool.workerCount(),
                                        facts.readPages.value_or(std::vector<int>{}));
        job.planned = true;
        job.pageCount = facts.last - facts.first + 1;
        job.pieces.resize(cut.size());
        for (std::size_t index = 0; index < cut.size(); ++index) {
            job.pieces[index].order = {cut[index], pagesWithin(facts.readPages, cut[index])};
            owner.pool.submit({job.job.jobNumber, static_cast<int>(index)});
        }
    }

    static std::optional<std::vector<int>> pagesWithin(const std::optional<std::vector<int>>& pages,
                                                       const PagePiece& piece) {
        if (!pages)
            return std::nullopt;
        std::vector<int> within;
        std::copy_if(pages->begin(), pages->end(), std::back_inserter(within),
                     [&](int page) { return page >= piece.first && page <= piece.last; });
        return within;
    }

    void finish(Job& job, Piece& piece, JobOutcome outcome) {
        // Piece 0 may have said the same already (every piece meets a missing table); what only
        // this piece met, such as a page too large to read, is told.
        for (const JobMessage& held : piece.heldMessages) {
            if (std::find(job.messages.begin(), job.messages.end(), held) == job.messages.end())
                job.messages.push_back(held);
        }
        piece.heldMessages.clear();
        if (outcome != JobOutcome::Converted)
            return owner.fail(job, outcome);
        if (job.facts)
            return plan(job);
        piece.finished = true;
        piece.pagesDone = job.pieces.size() == 1 ? job.pageCount : piece.pagesDone;
        job.done =
            std::all_of(job.pieces.begin(), job.pieces.end(), [](const Piece& p) { return p.finished; });
        if (job.done) {
            tellUnreadScans(job);
            gatherPagesRead(job);
        }
    }

    static void gatherPagesRead(Job& job) {
        for (const Piece& piece : job.pieces)
            job.pagesRead.insert(job.pagesRead.end(), piece.pagesRead.begin(), piece.pagesRead.end());
    }

    // Once for the job, however many pieces found them.
    static void tellUnreadScans(Job& job) {
        int scans = 0;
        int unusable = 0;
        for (const Piece& piece : job.pieces) {
            scans += piece.unreadScans;
            unusable += piece.unreadUnusable;
        }
        if (scans > 0 || unusable > 0)
            job.messages.push_back(
                {option::pagesWithoutTextMessage(job.job.pdfPath, scans, unusable), job.job.pdfPath});
    }

    PooledConverter& owner;
};

PooledConverter::PooledConverter(Settings settings)
    : settings(std::move(settings)), tasks(std::make_unique<Tasks>(*this)), pool(this->settings.pool) {}

PooledConverter::~PooledConverter() {
    batchEnded();
}

int PooledConverter::usableCores() {
    cpu_set_t cores;
    if (::sched_getaffinity(0, sizeof cores, &cores) == 0)
        return std::max(CPU_COUNT(&cores), 1);
    return std::max(static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN)), 1);
}

PooledConverter::Settings PooledConverter::forProgram(const std::string& programDir,
                                                      const std::string& configPath, int workers) {
    Settings result;
    result.pool.program = programDir + "folverin-worker";
    result.pool.workers = workers > 0 ? workers : usableCores();
    result.configPath = configPath;
    result.programDir = programDir;
    return result;
}

bool PooledConverter::readsScans() const {
    return OcrLanguages::recognizerInstalled(settings.programDir);
}

int PooledConverter::lookahead() const {
    return 8 * pool.workerCount();
}

void PooledConverter::expect(const ConvertJob& job, const ConvertOptions& options) {
    jobFor(job, options);
}

JobOutcome PooledConverter::convert(const ConvertJob& job, const ConvertOptions& options,
                                    JobFeedback& feedback) {
    // Work ahead for jobs whose turn passed without them (skipped at their turn) is useless.
    for (auto it = jobs.begin(); it != jobs.end() && it->first < job.jobNumber;)
        discard((it++)->first);
    Job& state = jobFor(job, options);
    while (!state.done && !stopSeen()) {
        replay(state, feedback);
        pool.pump(*tasks, std::chrono::milliseconds{200});
    }
    if (!stopSeen())
        replay(state, feedback);
    // Checked again after the last messages, which a user may answer with Stop: a stop seen
    // before the output is replaced ends the job in progress too. Its workers are ended, its
    // temporary files go and its old output stays; so does all work ahead.
    if (stopSeen()) {
        batchEnded();
        return JobOutcome::Stopped;
    }
    const JobOutcome outcome = commit(state, feedback);
    discard(job.jobNumber);
    return outcome;
}

void PooledConverter::batchEnded() {
    pool.cancel([](const TaskId&) { return true; });
    while (!jobs.empty())
        discard(jobs.begin()->first);
}

void PooledConverter::watchStop(const std::atomic<bool>& flag) {
    stopRequested = &flag;
}

bool PooledConverter::stopSeen() const {
    return stopRequested && *stopRequested;
}

PooledConverter::Job& PooledConverter::jobFor(const ConvertJob& job, const ConvertOptions& options) {
    const std::string outputPath = OutputNames::pathFor(job.pdfPath, options);
    const auto found = jobs.find(job.jobNumber);
    if (found != jobs.end()) {
        const Job& known = found->second;
        if (known.job.opensTheSameAs(job) && known.options == options && known.outputPath == outputPath)
            return found->second;
        discard(job.jobNumber);
    }
    Job& state = jobs[job.jobNumber];
    state.job = job;
    state.options = options;
    state.outputPath = outputPath;
    state.output.emplace(outputPath);
    state.pieces.resize(1);
    pool.submit({job.jobNumber, 0});
    return state;
}

void PooledConverter::replay(Job& job, JobFeedback& feedback) {
    while (job.messagesShown < job.messages.size())
        feedback.message(job.messages[job.messagesShown++]);
    while (job.pagesReadShown < job.pagesRead.size())
        feedback.pageRead(job.pagesRead[job.pagesReadShown++]);
    int pagesDone = 0;
    for (const Piece& piece : job.pieces)
        pagesDone += piece.pagesDone;
    if (job.pageCount <= 0)
        return;
    // The count is told as soon as it is known, before any page: a long document whose first
    // pages take a while (pages read from their picture) shows its length from the start.
    if (!std::exchange(job.pageCountTold, true))
        feedback.pageProgress(0, job.pageCount);
    // Pieces finish pages side by side: the count is told a page at a time all the same, as
    // for a job converted in one piece.
    while (job.pagesReported < pagesDone)
        feedback.pageProgress(++job.pagesReported, job.pageCount);
}

JobOutcome PooledConverter::commit(Job& job, JobFeedback& feedback) {
    if (job.outcome != JobOutcome::Converted)
        return job.outcome;
    const platform::Status written = publish(job);
    if (written.ok())
        return JobOutcome::Converted;
    feedback.message({OutputNames::writeFailureMessage(job.outputPath, written.error()), job.job.pdfPath});
    return JobOutcome::Skipped;
}

platform::Status PooledConverter::publish(Job& job) {
    platform::AtomicFile& output = *job.output;
    Piece& first = job.pieces.front();
    if (job.pieces.size() == 1 && first.besideOutput)
        return output.publish(first.file);
    const platform::Status opened = first.besideOutput ? output.extend(first.file) : output.open();
    if (!opened.ok())
        return opened;
    for (Piece& piece : job.pieces) {
        if (!piece.file.valid())
            continue;
        if (!appendFile(output, piece.file.descriptor.get()))
            return platform::Failure{"a finished part of it could not be read back"};
        piece.file.drop();
    }
    return output.commit();
}

void PooledConverter::fail(Job& job, JobOutcome outcome) {
    job.done = true;
    job.outcome = outcome;
    cancelTasksOf(job.job.jobNumber);
}

void PooledConverter::cancelTasksOf(int jobNumber) {
    pool.cancel([jobNumber](const TaskId& task) { return task.job == jobNumber; });
}

void PooledConverter::discard(int jobNumber) {
    const auto found = jobs.find(jobNumber);
    if (found == jobs.end())
        return;
    cancelTasksOf(jobNumber);
    for (Piece& piece : found->second.pieces)
        piece.file.drop();
    jobs.erase(found);
}
