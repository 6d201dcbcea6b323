#pragma once

#include "cli/CliOptions.h"
#include "cli/ProgressLine.h"
#include "core/BatchRunner.h"

#include <cstdio>
#include <optional>
#include <vector>

class ConsoleDialogs;
class RunReport;

// The terminal's side of a batch: the options and passwords of the command line for every
// job, the written files on out (one a line, or NUL-ended for scripts that ask; escaped on a
// terminal) and the progress on err. On a terminal the progress is one
// line redrawn in place, with messages and written files printed above it; elsewhere, for
// scripts, it is a line per converted file ("File 2 of 3, 66%").
class TerminalBatchClient : public BatchClient {
public:
    TerminalBatchClient(const ConvertOptions& options, const CliOptions& cli, int fileCount,
                        ConsoleDialogs& dialogs, std::FILE* out, std::FILE* err);
    ~TerminalBatchClient() override;

    ConvertOptions optionsForJob() override { return options; }
    JobPasswords passwordsFor(const BatchEntry&) override { return {cli.ownerPassword, cli.userPassword}; }
    void jobStarted(int jobNumber) override;
    void pageProgress(int pagesDone, int pageCount) override;
    void message(const JobMessage& message) override;
    void pageRead(const PageRead& read) override;
    void jobConverted(int jobNumber, const std::string& progressText, const std::string& outputPath) override;
    void jobEnded(int jobNumber, JobOutcome outcome) override;
    // Tells report of every job of entries, the batch's list, as its turn goes.
    void reportTo(RunReport& report, const std::vector<BatchEntry>& entries);
    // Leaves the progress line with the final count: all files when the batch ran to its end.
    void batchEnded(const BatchOutcome& outcome);

private:
    void writtenPath(const std::string& outputPath);

    const ConvertOptions& options;
    const CliOptions& cli;
    const int fileCount;
    ConsoleDialogs& dialogs;
    std::FILE* out;
    std::FILE* err;
    const bool outIsTerminal;
    std::optional<ProgressLine> line;
    BatchProgress progress;
    long long pagesOfEarlierFiles = 0;
    int pagesOfThisFile = 0;
    RunReport* report = nullptr;
    const std::vector<BatchEntry>* reportedEntries = nullptr;
};
