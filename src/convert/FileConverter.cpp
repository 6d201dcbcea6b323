#include "convert/FileConverter.h"

#include "convert/JobDocument.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/FileIdentity.h"
#include "platform/FilePath.h"
#include "platform/SystemFolders.h"

#include <sys/stat.h>

FileConverter::FileConverter(std::string configPath, std::string programDir)
    : configPath(std::move(configPath)), programDir(std::move(programDir)) {}

std::string FileConverter::outputPathFor(const std::string& pdfPath, const ConvertOptions& options) {
    const platform::CFilePath pdf(pdfPath);
    const std::string name = pdf.title() + (options.outputMode != option::textFile ? ".htm" : ".txt");
    // The folder is joined with exactly one separator, whether or not it was given one.
    struct stat info {};
    if (!options.outputDirectory.empty() && ::stat(options.outputDirectory.c_str(), &info) == 0 &&
        S_ISDIR(info.st_mode))
        return platform::SystemFolders::withTrailingSlash(options.outputDirectory) + name;
    return pdf.folder() + name;
}

std::string FileConverter::selfOverwriteMessage(const std::string& outputPath, const std::string& pdfPath) {
    if (!platform::FileIdentity::sameFile(outputPath, pdfPath))
        return {};
    return "The output file '" + outputPath + "' would replace the PDF file itself, so it is not converted.";
}

JobOutcome FileConverter::convert(const ConvertJob& job, const ConvertOptions& options,
                                  const PageProgress& progress) {
    const std::string outputPath = outputPathFor(job.pdfPath, options);
    if (const std::string refusal = selfOverwriteMessage(outputPath, job.pdfPath); !refusal.empty()) {
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
