#include "convert/FileConverter.h"

#include "convert/JobDocument.h"
#include "convert/OutputNames.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"

FileConverter::FileConverter(std::string configPath, std::string programDir)
    : configPath(std::move(configPath)), programDir(std::move(programDir)) {}

JobOutcome FileConverter::convert(const ConvertJob& job, const ConvertOptions& options,
                                  const PageProgress& progress) {
    const std::string outputPath = OutputNames::pathFor(job.pdfPath, options);
    if (const std::string refusal = OutputNames::selfOverwriteMessage(outputPath, job.pdfPath);
        !refusal.empty()) {
        platform::Dialogs::message(refusal, platform::MessageButtons::Ok, job.pdfPath);
        return JobOutcome::Skipped;
    }
    JobDocument document(job, options);
    const JobOutcome checked = document.check();
    if (checked != JobOutcome::Converted)
        return checked;
    const std::string configText = JobDocument::configurationFor(configPath, programDir, job.pdfPath);
    platform::AtomicFile output(outputPath);
    const PagePiece whole{document.firstPage(), document.lastPage(), true, true};
    if (!output.open() || !document.write(whole, configText, output, progress)) {
        JobDocument::reportWriteFailure(outputPath, output.errorString(), job.pdfPath);
        return JobOutcome::Skipped;
    }
    return JobOutcome::Converted;
}
