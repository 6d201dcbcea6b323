#include "cli/TerminalBatchClient.h"

#include "cli/ConsoleDialogs.h"
#include "cli/PrintLine.h"
#include "cli/RunReport.h"
#include "cli/Terminal.h"
#include "core/OutputNames.h"

TerminalBatchClient::TerminalBatchClient(const ConvertOptions& options, const CliOptions& cli, int fileCount,
                                         ConsoleDialogs& dialogs, std::FILE* out, std::FILE* err)
    : options(options), cli(cli), fileCount(fileCount), dialogs(dialogs), out(out), err(err),
      outIsTerminal(isTerminal(out)) {
    if (cli.quiet || fileCount == 0 || !isTerminal(err))
        return;
    line.emplace(err, fileCount);
    dialogs.setProgressLine(&*line);
}

TerminalBatchClient::~TerminalBatchClient() {
    dialogs.setProgressLine(nullptr);
}

// The pages of a file that ended without being converted still count as done.
void TerminalBatchClient::jobStarted(int jobNumber) {
    pagesOfEarlierFiles += pagesOfThisFile;
    pagesOfThisFile = 0;
    if (!report)
        return;
    const std::string& pdfPath = (*reportedEntries)[static_cast<std::size_t>(jobNumber - 1)].pdfPath;
    report->jobStarted(pdfPath, OutputNames::pathFor(pdfPath, options));
}

void TerminalBatchClient::jobEnded(int, JobOutcome outcome) {
    if (report)
        report->jobEnded(outcome);
}

void TerminalBatchClient::reportTo(RunReport& runReport, const std::vector<BatchEntry>& entries) {
    report = &runReport;
    reportedEntries = &entries;
}

void TerminalBatchClient::pageProgress(int pagesDone, int pageCount) {
    pagesOfThisFile = pagesDone;
    if (report)
        report->pageCount(pageCount);
    progress.pagesDone = pagesOfEarlierFiles + pagesDone;
    progress.fileInProgress = pageCount > 0 ? static_cast<double>(pagesDone) / pageCount : 0;
    if (line)
        line->update(progress);
}

void TerminalBatchClient::pageRead(const PageRead& read) {
    if (report)
        report->pageRead(read);
}

void TerminalBatchClient::message(const JobMessage& message) {
    platform::MessageRequest request;
    request.text = message.text;
    request.subject = message.subject;
    if (report)
        report->message(message.text);
    dialogs.messageBox(request);
}

void TerminalBatchClient::jobConverted(int jobNumber, const std::string& progressText,
                                       const std::string& outputPath) {
    progress.filesDone = jobNumber; // the files skipped before this one had their turn too
    progress.fileInProgress = 0;
    pagesOfEarlierFiles += pagesOfThisFile;
    pagesOfThisFile = 0;
    if (cli.quiet)
        return;
    if (!line)
        printLine(err, progressText);
    writtenPath(outputPath);
    if (line)
        line->update(progress);
}

// A terminal is shown the name safely, above the progress line when that shares the screen;
// a script is given the exact bytes.
void TerminalBatchClient::writtenPath(const std::string& outputPath) {
    if (!outIsTerminal) {
        std::fputs(outputPath.c_str(), out);
        std::fputc(cli.nullEnded ? '\0' : '\n', out);
        std::fflush(out);
    } else if (line) {
        line->printAbove(out, terminalSafeText(outputPath));
    } else {
        printLine(out, terminalSafeText(outputPath));
    }
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
