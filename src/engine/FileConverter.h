#pragma once

#include "core/JobConverter.h"

#include <string>

// Turns one PDF file into a text or HTML file, here in this process.
class FileConverter : public JobConverter {
public:
    FileConverter(std::string configPath, std::string programDir);

    JobOutcome convert(const ConvertJob& job, const ConvertOptions& options, JobFeedback& feedback) override;

private:
    std::string configPath;
    std::string programDir;
};
