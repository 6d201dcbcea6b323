#pragma once

#include "core/JobConverter.h"

#include "platform/FileIdentity.h"

#include <atomic>
#include <map>
#include <string>
#include <vector>

// One entry of the batch's job list: a PDF and the front end's own handle for it (the job
// pane's grid row; unused by the terminal front end).
struct BatchEntry {
    std::string pdfPath;
    int row = -1;
};

struct JobPasswords {
    std::string owner;
    std::string user;
};

// What a batch asks of its front end and tells it: besides what each job tells (its pages and
// messages), where a job begins and ends. Called on the batch's own thread, one call at a
// time; a front end with widgets answers through its user-interface thread.
class BatchClient : public JobFeedback {
public:
    virtual ~BatchClient() = default;
    // The options for the next job, read when its turn comes, so a change made during the
    // batch counts from the next job on.
    virtual ConvertOptions optionsForJob() = 0;
    // The passwords typed for this job, read when its turn comes.
    virtual JobPasswords passwordsFor(const BatchEntry& entry) = 0;
    // Job jobNumber (1-based) has its turn: what is told from now on is about it.
    virtual void jobStarted(int /*jobNumber*/) {}
    // Job jobNumber (1-based) was converted: "File 2 of 3, 66%" and the file written.
    virtual void jobConverted(int jobNumber, const std::string& progressText,
                              const std::string& outputPath) = 0;
    // Job jobNumber's turn has ended, with outcome (a job refused before it ran is Skipped).
    virtual void jobEnded(int /*jobNumber*/, JobOutcome /*outcome*/) {}
};

// What the front end opens when a batch has run to its end: one job's output file, else the
// output folder or the first PDF's folder. Empty when "Open Results" is "No".
struct BatchResultToOpen {
    enum class Verb { None, Open, Explore };
    Verb verb = Verb::None;
    std::string path;
};

struct BatchOutcome {
    enum class End {
        NoJobs,     // nothing was ticked: nothing to show
        Finished,   // every job had its turn: "Convert Finished"
        Stopped,    // the stop request was seen before a job or ended the one in progress
        EndedEarly, // a page range the document does not have ended the batch
    };
    End end = End::Finished;
    int converted = 0;
    int skipped = 0;
    BatchResultToOpen resultToOpen; // only for End::Finished
};

// Converts the entries one after another: the stop request is looked at before each job; a
// job is skipped with a message when the output folder set is gone, when its output would
// replace a PDF of the batch or when this batch has written that output already; a page
// range the document does not have ends the batch. Both front ends run their batches here.
class BatchRunner {
public:
    BatchRunner(JobConverter& converter, BatchClient& client);

    // May be called from any thread (or a signal handler); the job in progress ends too, keeping
    // its old output, where the converter can end it early.
    void requestStop() { stopRequested = true; }
    bool stopRequestedYet() const { return stopRequested; }

    BatchOutcome run(const std::vector<BatchEntry>& entries);

private:
    BatchOutcome runJobs(const std::vector<BatchEntry>& entries);
    bool outputRefused(const std::string& pdfPath, const std::string& outputPath,
                       const ConvertOptions& options);
    void tell(const std::string& text, const std::string& pdfPath);
    ConvertOptions withRecognitionData(ConvertOptions options, const std::string& pdfPath);
    bool outputWrittenAlready(const std::string& pdfPath, const std::string& outputPath);
    bool outputReplacesBatchPdf(const std::string& pdfPath, const std::string& outputPath);
    static BatchResultToOpen resultToOpen(const std::vector<BatchEntry>& entries,
                                          const ConvertOptions& options);

    JobConverter& converter;
    BatchClient& client;
    std::atomic<bool> stopRequested{false};
    bool toldRecognitionDataMissing = false;
    // The files this batch wrote, by their canonical paths, and the PDF each came from.
    std::map<std::string, std::string> writtenOutputs;
    // The batch's PDFs as files, so no output replaces one of them, also through a link.
    std::map<platform::FileIdentity, std::string> batchPdfs;
};
