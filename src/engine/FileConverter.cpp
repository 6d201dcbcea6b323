#include "engine/FileConverter.h"

#include "core/OutputNames.h"
#include "engine/JobDocument.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"

namespace {

void report(const std::string& text, const std::string& pdfPath) {
    platform::Dialogs::message(text, platform::MessageButtons::Ok, pdfPath);
}

} // namespace

FileConverter::FileConverter(std::string configPath, std::string programDir)
    : configPath(std::move(configPath)), programDir(std::move(programDir)) {}

JobOutcome FileConverter::convert(const ConvertJob& job, const ConvertOptions& options,
                                  const PageProgress& progress) {
    const std::string outputPath = OutputNames::pathFor(job.pdfPath, options);
    JobDocument document(job, options);
    const JobOutcome checked = document.check();
    if (checked != JobOutcome::Converted)
        return checked;
    const std::string configText = JobDocument::configurationFor(configPath, programDir, job.pdfPath);
    platform::AtomicFile output(outputPath);
    if (const platform::Status opened = output.open(); !opened.ok()) {
        JobDocument::reportWriteFailure(outputPath, opened.error(), job.pdfPath);
        return JobOutcome::Skipped;
    }
    const PagePiece whole{document.firstPage(), document.lastPage(), true, true};
    const JobOutcome outcome = document.write(whole, configText, output, outputPath, progress);
    if (outcome == JobOutcome::Converted && document.pagesWithoutText() > 0)
        report(option::pagesWithoutTextMessage(job.pdfPath, document.pagesWithoutText()), job.pdfPath);
    return outcome;
}
