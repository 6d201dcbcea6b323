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
    const std::string configText =
        JobDocument::configurationFor(configPath, programDir, job.pdfPath, feedback);
    platform::AtomicFile output(outputPath);
    if (const platform::Status opened = output.open(); !opened.ok()) {
        JobDocument::reportWriteFailure(outputPath, opened.error(), job.pdfPath, feedback);
        return JobOutcome::Skipped;
    }
    const PagePiece whole{document.firstPage(), document.lastPage(), true, true};
    const JobOutcome outcome = document.write(whole, configText, output, outputPath);
    if (outcome == JobOutcome::Converted && document.pagesWithoutText() > 0)
        feedback.message(
            {option::pagesWithoutTextMessage(job.pdfPath, document.pagesWithoutText()), job.pdfPath});
    return outcome;
}
