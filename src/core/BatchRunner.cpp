#include "core/BatchRunner.h"

#include "core/OcrLanguages.h"
#include "core/OutputNames.h"
#include "platform/FileIdentity.h"
#include "platform/FilePath.h"

#include <algorithm>
#include <sys/stat.h>
#include <utility>

namespace {

std::string progressText(int jobNumber, int jobCount) {
    return "File " + std::to_string(jobNumber) + " of " + std::to_string(jobCount) + ", " +
           std::to_string(100LL * jobNumber / jobCount) + "%";
}

bool exists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

} // namespace

BatchRunner::BatchRunner(JobConverter& converter, BatchClient& client)
    : converter(converter), client(client) {
    converter.watchStop(stopRequested);
}

BatchOutcome BatchRunner::run(const std::vector<BatchEntry>& entries) {
    for (const BatchEntry& entry : entries) {
        if (const auto identity = platform::FileIdentity::of(entry.pdfPath))
            batchPdfs.try_emplace(*identity, entry.pdfPath);
    }
    BatchOutcome outcome = runJobs(entries);
    converter.batchEnded();
    return outcome;
}

BatchOutcome BatchRunner::runJobs(const std::vector<BatchEntry>& entries) {
    BatchOutcome outcome;
    if (entries.empty()) {
        outcome.end = BatchOutcome::End::NoJobs;
        return outcome;
    }
    const int jobCount = static_cast<int>(entries.size());
    ConvertOptions options;
    int expectedUpTo = 0;
    for (int index = 0; index < jobCount; ++index) {
        if (stopRequested) {
            outcome.end = BatchOutcome::End::Stopped;
            return outcome;
        }
        const BatchEntry& entry = entries[static_cast<std::size_t>(index)];
        client.jobStarted(index + 1);
        options = withRecognitionData(client.optionsForJob(), entry.pdfPath);
        const JobPasswords passwords = client.passwordsFor(entry);
        const std::string outputPath = OutputNames::pathFor(entry.pdfPath, options);
        // Jobs ahead are started first, so the workers have them while this one finishes.
        for (expectedUpTo = std::max(expectedUpTo, index + 1);
             expectedUpTo < std::min(jobCount, index + 1 + converter.lookahead()); ++expectedUpTo) {
            const BatchEntry& ahead = entries[static_cast<std::size_t>(expectedUpTo)];
            const JobPasswords typed = client.passwordsFor(ahead);
            converter.expect({ahead.pdfPath, typed.owner, typed.user, expectedUpTo + 1, jobCount}, options);
        }
        if (outputRefused(entry.pdfPath, outputPath, options)) {
            ++outcome.skipped;
            client.jobEnded(index + 1, JobOutcome::Skipped);
            continue;
        }
        const ConvertJob job{entry.pdfPath, passwords.owner, passwords.user, index + 1, jobCount};
        const JobOutcome converted = converter.convert(job, options, client);
        switch (converted) {
        case JobOutcome::Converted:
            ++outcome.converted;
            if (const auto written = platform::FileIdentity::canonicalPath(outputPath))
                writtenOutputs.try_emplace(*written, entry.pdfPath);
            client.jobConverted(index + 1, progressText(index + 1, jobCount), outputPath);
            break;
        case JobOutcome::Skipped:
            ++outcome.skipped;
            break;
        case JobOutcome::EndBatch:
            outcome.end = BatchOutcome::End::EndedEarly;
            break;
        case JobOutcome::Stopped:
            outcome.end = BatchOutcome::End::Stopped;
            break;
        }
        client.jobEnded(index + 1, converted);
        if (converted == JobOutcome::EndBatch || converted == JobOutcome::Stopped)
            return outcome;
    }
    outcome.resultToOpen = resultToOpen(entries, options);
    return outcome;
}

bool BatchRunner::outputRefused(const std::string& pdfPath, const std::string& outputPath,
                                const ConvertOptions& options) {
    for (const std::string& refusal : {OutputNames::foreignLinkMessage(outputPath, pdfPath),
                                       OutputNames::missingFolderMessage(options, pdfPath)}) {
        if (!refusal.empty()) {
            tell(refusal, pdfPath);
            return true;
        }
    }
    return outputReplacesBatchPdf(pdfPath, outputPath) || outputWrittenAlready(pdfPath, outputPath);
}

// An output named like a PDF of the batch, or a link to one, would destroy a document the
// user asked to convert.
bool BatchRunner::outputReplacesBatchPdf(const std::string& pdfPath, const std::string& outputPath) {
    const auto identity = platform::FileIdentity::of(outputPath);
    const auto found = identity ? batchPdfs.find(*identity) : batchPdfs.end();
    const bool itself = platform::FileIdentity::sameFile(outputPath, pdfPath);
    if (!itself && found == batchPdfs.end())
        return false;
    tell(itself ? OutputNames::selfOverwriteMessage(outputPath, pdfPath)
                : OutputNames::batchPdfOverwriteMessage(outputPath, found->second, pdfPath),
         pdfPath);
    return true;
}

// Two PDFs of one title may meet in one output folder: the second would silently replace what
// the first wrote.
bool BatchRunner::outputWrittenAlready(const std::string& pdfPath, const std::string& outputPath) {
    const auto canonical = platform::FileIdentity::canonicalPath(outputPath);
    const auto found = canonical ? writtenOutputs.find(*canonical) : writtenOutputs.end();
    if (found == writtenOutputs.end())
        return false;
    tell("The output file '" + outputPath + "' was written from '" + found->second + "' in this batch, so '" +
             pdfPath + "' is not converted over it.",
         pdfPath);
    return true;
}

// Without data for the chosen languages, or without the recognizer, no page can be recognised:
// the user hears it once a batch, not once a file, and the jobs leave their scanned pages as
// the engine gives them.
ConvertOptions BatchRunner::withRecognitionData(ConvertOptions options, const std::string& pdfPath) {
    options.ocrLanguages = OcrLanguages::chosen(options.ocrLanguages);
    if (options.recognizeScannedPages == option::recognizeNo)
        return options;
    const std::vector<std::string> missing = converter.readsScans()
                                                 ? OcrLanguages::missing(options.ocrLanguages)
                                                 : OcrLanguages::names(options.ocrLanguages);
    if (missing.empty())
        return options;
    if (!std::exchange(toldRecognitionDataMissing, true))
        tell(OcrLanguages::missingMessage(options.ocrLanguages, missing), pdfPath);
    options.ocrLanguages.clear();
    return options;
}

void BatchRunner::tell(const std::string& text, const std::string& pdfPath) {
    client.message({text, pdfPath});
}

BatchResultToOpen BatchRunner::resultToOpen(const std::vector<BatchEntry>& entries,
                                            const ConvertOptions& options) {
    using Verb = BatchResultToOpen::Verb;
    if (options.openResult != option::yes)
        return {};
    if (entries.size() == 1)
        return {Verb::Open, OutputNames::pathFor(entries.front().pdfPath, options)};
    if (exists(options.outputDirectory))
        return {Verb::Explore, options.outputDirectory};
    return {Verb::Explore, platform::CFilePath(entries.front().pdfPath).folder()};
}
