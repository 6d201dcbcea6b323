#pragma once

#include "core/JobConverter.h"

#include <string>

// Turns one PDF file into a text or HTML file, here in this process. Every message goes
// through Dialogs, naming the PDF as its subject.
class FileConverter : public JobConverter {
public:
    FileConverter(std::string configPath, std::string programDir);

    JobOutcome convert(const ConvertJob& job, const ConvertOptions& options,
                       const PageProgress& progress = {}) override;

private:
    std::string configPath;
    std::string programDir;
};
