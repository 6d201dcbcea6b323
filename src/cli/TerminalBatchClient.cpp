#include "cli/TerminalBatchClient.h"

#include "cli/ConsoleDialogs.h"
#include "cli/PrintLine.h"

#include <unistd.h>

namespace {

bool isTerminal(std::FILE* stream) {
    return ::isatty(fileno(stream)) == 1;
}

} // namespace

TerminalBatchClient::TerminalBatchClient(const ConvertOptions& options, const CliOptions& cli, int fileCount,
                                         ConsoleDialogs& dialogs, std::FILE* out, std::FILE* err)
    : options(options), cli(cli), fileCount(fileCount), dialogs(dialogs), out(out), err(err) {
    if (cli.quiet || fileCount == 0 || !isTerminal(err))
        return;
    line.emplace(err, fileCount);
    dialogs.setProgressLine(&*line);
    outIsTerminal = isTerminal(out);
}

TerminalBatchClient::~TerminalBatchClient() {
    dialogs.setProgressLine(nullptr);
}

// Pages are counted per file: a count that does not grow belongs to the next file, after one
// that ended without being converted.
void TerminalBatchClient::pageProgress(int pagesDone, int pageCount) {
    if (pagesDone <= pagesOfThisFile)
        pagesOfEarlierFiles += pagesOfThisFile;
    pagesOfThisFile = pagesDone;
    progress.pagesDone = pagesOfEarlierFiles + pagesDone;
    progress.fileInProgress = pageCount > 0 ? static_cast<double>(pagesDone) / pageCount : 0;
    if (line)
        line->update(progress);
}

void TerminalBatchClient::jobConverted(int jobNumber, const std::string& progressText,
                                       const std::string& outputPath) {
    progress.filesDone = jobNumber; // the files skipped before this one had their turn too
    progress.fileInProgress = 0;
    pagesOfEarlierFiles += pagesOfThisFile;
    pagesOfThisFile = 0;
    if (cli.quiet)
        return;
    if (!line) {
        printLine(err, progressText);
        printLine(out, outputPath);
        return;
    }
    if (outIsTerminal)
        line->printAbove(out, outputPath);
    else
        printLine(out, outputPath);
    line->update(progress);
}

void TerminalBatchClient::batchEnded(const BatchOutcome& outcome) {
    if (!line)
        return;
    if (outcome.end == BatchOutcome::End::Finished)
        progress.filesDone = fileCount;
    line->update(progress);
    dialogs.setProgressLine(nullptr);
    line.reset();
}
