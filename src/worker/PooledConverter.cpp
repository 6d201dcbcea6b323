#include "worker/PooledConverter.h"

#include "convert/OutputNames.h"
#include "platform/AtomicFile.h"
#include "worker/PiecePlan.h"
#include "worker/WorkerMessages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sched.h>
#include <unistd.h>

namespace {

// Where a piece goes when the output's folder takes no new file: the output is then written
// from it when the job's turn comes.
std::string pieceInTemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/folverin-XXXXXX.part";
    const int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0)
        return {};
    ::close(fd);
    return pattern;
}

bool appendFile(platform::AtomicFile& output, const std::string& path) {
    std::FILE* piece = std::fopen(path.c_str(), "rbe");
    if (!piece)
        return false;
    char buffer[256 * 1024];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, piece)) > 0)
        output.write(buffer, count);
    const bool complete = std::ferror(piece) == 0;
    std::fclose(piece);
    return complete;
}

platform::MessageRequest messageAbout(const std::string& text, const std::string& pdfPath) {
    platform::MessageRequest request;
    request.text = text;
    request.subject = pdfPath;
    return request;
}

} // namespace

// The pool's view of the jobs: makes the piece files and requests, and files the answers
// under their jobs.
class PooledConverter::Tasks : public WorkerPool::Listener {
public:
    explicit Tasks(PooledConverter& owner) : owner(owner) {}

    std::optional<std::string> requestFor(const TaskId& task) override {
        Job* job = find(task);
        if (!job || job->done)
            return std::nullopt;
        Piece& piece = job->pieces[static_cast<std::size_t>(task.piece)];
        // A piece asked for again (its worker was ended for another task's sake) starts over
        // in the file it had.
        piece.pagesDone = 0;
        piece.heldMessages.clear();
        if (piece.path.empty() && !makePieceFile(*job, piece))
            return std::nullopt;
        ConvertRequest request{
            job->job,   job->options, owner.settings.configPath, owner.settings.programDir, job->outputPath,
            piece.path, task.piece,   owner.pool.workerCount()};
        return request.record();
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
        case reply::planned:
            plan(*job, reply);
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
        job->messages.push_back(messageAbout(
            WorkerPool::stoppedOn(job->job.pdfPath, reason) + ", so it is not converted.", job->job.pdfPath));
        owner.fail(*job, JobOutcome::Skipped);
    }

private:
    bool makePieceFile(Job& job, Piece& piece) {
        platform::AtomicFile output(job.outputPath);
        piece.path = output.reserve();
        piece.besideOutput = !piece.path.empty();
        if (piece.path.empty())
            piece.path = pieceInTemporaryFolder();
        if (!piece.path.empty())
            return true;
        job.messages.push_back(messageAbout(
            OutputNames::writeFailureMessage(job.outputPath, output.errorString()), job.job.pdfPath));
        owner.fail(job, JobOutcome::Skipped);
        return false;
    }

    Job* find(const TaskId& task) {
        const auto found = owner.jobs.find(task.job);
        if (found == owner.jobs.end() || task.piece >= static_cast<int>(found->second.pieces.size()))
            return nullptr;
        return &found->second;
    }

    static platform::MessageRequest messageFrom(wire::Reader& reply) {
        platform::MessageRequest request;
        request.text = reply.getText();
        request.buttons = static_cast<platform::MessageButtons>(reply.getInt());
        request.subject = reply.getText();
        return request;
    }

    void plan(Job& job, wire::Reader& reply) {
        const int count = reply.getInt();
        const int first = reply.getInt();
        const int last = reply.getInt();
        if (count < 2 || count > owner.pool.workerCount() * PiecePlan::piecesPerWorker ||
            job.pieces.size() != 1)
            return;
        job.pageCount = last - first + 1;
        job.pieces.resize(static_cast<std::size_t>(count));
        for (int index = 1; index < count; ++index)
            owner.pool.submit({job.job.jobNumber, index});
    }

    void finish(Job& job, Piece& piece, JobOutcome outcome) {
        if (outcome != JobOutcome::Converted) {
            job.messages.insert(job.messages.end(), piece.heldMessages.begin(), piece.heldMessages.end());
            return owner.fail(job, outcome);
        }
        piece.finished = true;
        piece.pagesDone = job.pieces.size() == 1 ? job.pageCount : piece.pagesDone;
        job.done =
            std::all_of(job.pieces.begin(), job.pieces.end(), [](const Piece& p) { return p.finished; });
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

int PooledConverter::lookahead() const {
    return 8 * pool.workerCount();
}

void PooledConverter::expect(const ConvertJob& job, const ConvertOptions& options) {
    jobFor(job, options);
}

JobOutcome PooledConverter::convert(const ConvertJob& job, const ConvertOptions& options,
                                    const PageProgress& progress) {
    // Work ahead for jobs whose turn passed without them (skipped at their turn) is useless.
    for (auto it = jobs.begin(); it != jobs.end() && it->first < job.jobNumber;)
        discard((it++)->first);
    Job& state = jobFor(job, options);
    while (!state.done) {
        replay(state, progress);
        pool.pump(*tasks, std::chrono::milliseconds{200});
    }
    replay(state, progress);
    const JobOutcome outcome = commit(state);
    discard(job.jobNumber);
    return outcome;
}

void PooledConverter::batchEnded() {
    pool.cancel([](const TaskId&) { return true; });
    while (!jobs.empty())
        discard(jobs.begin()->first);
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
    state.pieces.resize(1);
    if (const std::string refusal = OutputNames::selfOverwriteMessage(outputPath, job.pdfPath);
        !refusal.empty()) {
        state.messages.push_back(messageAbout(refusal, job.pdfPath));
        fail(state, JobOutcome::Skipped);
    } else {
        pool.submit({job.jobNumber, 0});
    }
    return state;
}

void PooledConverter::replay(Job& job, const PageProgress& progress) {
    while (job.messagesShown < job.messages.size())
        platform::Dialogs::instance().messageBox(job.messages[job.messagesShown++]);
    int pagesDone = 0;
    for (const Piece& piece : job.pieces)
        pagesDone += piece.pagesDone;
    // Pieces finish pages side by side: the count is told a page at a time all the same, as
    // for a job converted in one piece.
    while (progress && job.pagesReported < pagesDone && job.pageCount > 0)
        progress(++job.pagesReported, job.pageCount);
}

JobOutcome PooledConverter::commit(Job& job) {
    if (job.outcome != JobOutcome::Converted)
        return job.outcome;
    std::string error;
    bool written = false;
    if (job.pieces.size() == 1 && job.pieces.front().besideOutput) {
        written = platform::AtomicFile::publish(job.pieces.front().path, job.outputPath, error);
        job.pieces.front().path.clear();
    } else {
        platform::AtomicFile output(job.outputPath);
        written = output.open();
        error = output.errorString();
        for (const Piece& piece : job.pieces) {
            if (written && !appendFile(output, piece.path)) {
                written = false;
                error = "a finished part of it could not be read back";
            }
        }
        if (written && !output.commit()) {
            written = false;
            error = output.errorString();
        }
    }
    if (written)
        return JobOutcome::Converted;
    platform::Dialogs::message(OutputNames::writeFailureMessage(job.outputPath, error),
                               platform::MessageButtons::Ok, job.job.pdfPath);
    return JobOutcome::Skipped;
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
    for (const Piece& piece : found->second.pieces) {
        if (!piece.path.empty())
            ::unlink(piece.path.c_str());
    }
    jobs.erase(found);
}
