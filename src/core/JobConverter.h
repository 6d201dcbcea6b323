#pragma once

#include "core/ConvertOptions.h"
#include "core/JobFeedback.h"

#include <atomic>
#include <string>

// One job of a batch: one PDF file and the passwords typed in its row.
struct ConvertJob {
    std::string pdfPath;
    std::string ownerPassword;
    std::string userPassword;
    int jobNumber = 1; // 1-based
    int jobCount = 1;

    // The same PDF opened with the same passwords, whatever its place in the batch.
    bool opensTheSameAs(const ConvertJob& other) const {
        return pdfPath == other.pdfPath && ownerPassword == other.ownerPassword &&
               userPassword == other.userPassword;
    }
};

enum class JobOutcome {
    Converted,
    Skipped,  // the user was told why; the batch goes on
    EndBatch, // the page range does not fit the document; no later job may run
    Stopped,  // the stop request ended the job before its output was replaced
};

// Converts one job: the one seam of the batch loop, so what does the work (this process, or
// worker processes) can change without the loop or the front ends noticing. Progress and
// messages, each naming the PDF as its subject, go to the feedback given for the job.
class JobConverter {
public:
    virtual ~JobConverter() = default;
    virtual JobOutcome convert(const ConvertJob& job, const ConvertOptions& options,
                               JobFeedback& feedback) = 0;

    // Whether the recognizer that reads scanned pages is there to be loaded: without it the
    // batch says once that no language can be read, as for missing recognition data.
    virtual bool readsScans() const { return true; }
    // How many jobs past the one in progress the converter may work on ahead.
    virtual int lookahead() const { return 0; }
    // A job whose turn comes later, with the options and passwords known now. What is done
    // ahead shows nothing and writes no output: its convert() call, with the options and
    // passwords of its turn, does that, and work done with other ones is thrown away.
    virtual void expect(const ConvertJob&, const ConvertOptions&) {}
    // The batch is over (run to its end, stopped or ended early): work done ahead is thrown
    // away and its temporary files removed.
    virtual void batchEnded() {}
    // The batch's stop request, set from any thread (or a signal handler): once it is set, the
    // converter may end the job in progress as Stopped, its old output kept, and drop the work
    // ahead, for no later job will run.
    virtual void watchStop(const std::atomic<bool>& /*stopRequested*/) {}
};
