#pragma once

#include "core/JobConverter.h"
#include "core/PageOrder.h"
#include "platform/AtomicFile.h"
#include "platform/FileStamp.h"
#include "pool/WorkerPool.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// Converts a batch's jobs in worker processes: jobs ahead run in parallel and a long
// document is cut into pieces for several workers, but each job's messages, progress and
// output file reach the user and the disk only when its turn comes, in job order. Workers
// write into temporary files that this side makes beside the output and hands over open; the
// job's turn renames (or joins) them into place. A job whose worker crashes or hangs is
// skipped with a message; the batch goes on. A stop ends the job in progress (its old output
// stays) and drops all work ahead at once.
class PooledConverter : public JobConverter {
public:
    struct Settings {
        WorkerPool::Settings pool;
        std::string configPath;
        std::string programDir;
    };

    explicit PooledConverter(Settings settings);
    ~PooledConverter() override;

    JobOutcome convert(const ConvertJob& job, const ConvertOptions& options, JobFeedback& feedback) override;
    bool readsScans() const override;
    int lookahead() const override;
    void expect(const ConvertJob& job, const ConvertOptions& options) override;
    void batchEnded() override;
    void watchStop(const std::atomic<bool>& stopRequested) override;

    // How many workers a machine's usable cores call for.
    static int usableCores();
    // The installed worker program beside the program in programDir (with trailing '/'), workers
    // of it (0: one per usable core) and the engine configuration at configPath.
    static Settings forProgram(const std::string& programDir, const std::string& configPath, int workers = 0);

private:
    struct Piece {
        PageOrder order; // once the job is planned
        platform::AtomicFile::Reservation file;
        bool besideOutput = false;
        int pagesDone = 0;
        int unreadScans = 0;
        int unreadUnusable = 0;
        bool finished = false;
        // What a later piece says, told when it ends unless piece 0 said the same.
        std::vector<JobMessage> heldMessages;
        std::vector<PageRead> pagesRead;
    };
    struct Job {
        ConvertJob job;
        ConvertOptions options;
        std::string outputPath;
        std::optional<platform::AtomicFile> output; // its folder held once for every piece
        std::vector<JobMessage> messages;
        std::size_t messagesShown = 0;
        std::vector<PageRead> pagesRead; // of every piece, in page order once the job is done
        std::size_t pagesReadShown = 0;
        std::vector<Piece> pieces;
        int pageCount = 0;
        int pagesReported = 0;
        bool pageCountTold = false;
        platform::FileStamp documentStamp; // the PDF the facts came from
        // What the first request found instead of writing the job whole, to cut it by.
        struct Facts {
            int first = 1;
            int last = 0;
            std::optional<std::vector<int>> readPages;
        };
        std::optional<Facts> facts;
        bool planned = false; // every piece has its order
        bool done = false;
        JobOutcome outcome = JobOutcome::Converted;
    };
    class Tasks;

    Job& jobFor(const ConvertJob& job, const ConvertOptions& options);
    void replay(Job& job, JobFeedback& feedback);
    JobOutcome commit(Job& job, JobFeedback& feedback);
    // Puts the finished output in place: its one piece renamed, or its pieces joined into the
    // first, each removed once it is in, so a join needs no more room than one piece.
    static platform::Status publish(Job& job);
    void discard(int jobNumber);
    void fail(Job& job, JobOutcome outcome);
    void cancelTasksOf(int jobNumber);
    bool stopSeen() const;

    Settings settings;
    std::map<int, Job> jobs;
    std::unique_ptr<Tasks> tasks;
    WorkerPool pool;
    const std::atomic<bool>* stopRequested = nullptr;

    friend class Tasks;
};
