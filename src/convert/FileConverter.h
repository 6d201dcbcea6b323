#pragma once

#include "convert/JobConverter.h"

#include <string>

// Turns one PDF file into a text or HTML file, here in this process. Every message goes
// through Dialogs, naming the PDF as its subject.
class FileConverter : public JobConverter {
public:
    FileConverter(std::string configPath, std::string programDir);

    JobOutcome convert(const ConvertJob& job, const ConvertOptions& options,
                       const PageProgress& progress = {}) override;

    // The file a PDF converts to with these options: the output folder when it exists, else
    // beside the PDF; the PDF's title with ".txt" or ".htm".
    static std::string outputPathFor(const std::string& pdfPath, const ConvertOptions& options);

    // What the user is told when writing outputPath would replace the PDF itself (the same
    // file, also through a link); empty when it would not.
    static std::string selfOverwriteMessage(const std::string& outputPath, const std::string& pdfPath);

private:
    std::string configPath;
    std::string programDir;
};
