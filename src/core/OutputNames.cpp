#include "core/OutputNames.h"

#include "platform/FileIdentity.h"
#include "platform/FilePath.h"
#include "platform/HeldFolder.h"
#include "platform/SystemFolders.h"

#include <sys/stat.h>

namespace {

// An output mode out of range is written as HTML, so it is named so.
const char* extension(std::int32_t outputMode) {
    switch (outputMode) {
    case option::textFile:
        return ".txt";
    case option::markdownFile:
        return ".md";
    default:
        return ".htm";
    }
}

} // namespace

namespace OutputNames {

std::string pathFor(const std::string& pdfPath, const ConvertOptions& options) {
    const platform::CFilePath pdf(pdfPath);
    const std::string name = pdf.title() + extension(options.outputMode);
    // The folder is joined with exactly one separator, whether or not it was given one.
    if (!options.outputDirectory.empty())
        return platform::SystemFolders::withTrailingSlash(options.outputDirectory) + name;
    return pdf.folder() + name;
}

std::string missingFolderMessage(const ConvertOptions& options, const std::string& pdfPath) {
    struct stat info {};
    if (options.outputDirectory.empty() ||
        (::stat(options.outputDirectory.c_str(), &info) == 0 && S_ISDIR(info.st_mode)))
        return {};
    return "The output folder '" + options.outputDirectory + "' does not exist, so '" + pdfPath +
           "' is not converted.";
}

std::string foreignLinkMessage(const std::string& outputPath, const std::string& pdfPath) {
    std::string name;
    const platform::HeldFolder folder = platform::HeldFolder::ofFile(outputPath, name);
    if (folder.refusedLink().empty())
        return {};
    return "The folder '" + folder.refusedLink() + "' is another user's link, so '" + pdfPath +
           "' is not converted.";
}

std::string batchPdfOverwriteMessage(const std::string& outputPath, const std::string& otherPdf,
                                     const std::string& pdfPath) {
    return "The output file '" + outputPath + "' would replace the PDF file '" + otherPdf +
           "' of this batch, so '" + pdfPath + "' is not converted.";
}

std::string selfOverwriteMessage(const std::string& outputPath, const std::string& pdfPath) {
    if (!platform::FileIdentity::sameFile(outputPath, pdfPath))
        return {};
    return "The output file '" + outputPath + "' would replace the PDF file itself, so it is not converted.";
}

std::string writeFailureMessage(const std::string& outputPath, const std::string& reason) {
    return "Could not write the output file '" + outputPath + "': " + reason + ".";
}

} // namespace OutputNames
