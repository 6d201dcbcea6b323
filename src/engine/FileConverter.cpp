#include "engine/FileConverter.h"

#include "core/OutputNames.h"
#include "engine/JobDocument.h"
#include "platform/AtomicFile.h"

FileConverter::FileConverter(std::string configPath, std::string programDir)
    : configPath(std::move(configPath)), programDir(std::move(programDir)) {}

JobOutcome FileConverter::convert(const ConvertJob& job, const ConvertOptions& options,
                                  JobFeedback& feedback) {
    const std::string outputPath = OutputNames::pathFor(job.pdfPath, options);
    JobDocument document(job, options, feedback);
    const JobOutcome checked = document.check();
    if (checked != JobOutcome::Converted)
        return checked;
    platform::AtomicFile output(outputPath);
    const platform::Status opened = output.open();
    // One pass: the scans are found as the pages are written.
    const PageOrder whole{{document.firstPage(), document.lastPage(), true, true}, std::nullopt};
    const JobOutcome outcome = document.write(whole, {configPath, programDir}, output, opened, outputPath);
    const ScanProbe::Counts unread = document.unreadPages();
    if (outcome == JobOutcome::Converted && (unread.withoutText > 0 || unread.unusableText > 0))
        feedback.message(
            {option::pagesWithoutTextMessage(job.pdfPath, unread.withoutText, unread.unusableText),
             job.pdfPath});
    return outcome;
}
