#pragma once

#include "core/JobConverter.h"
#include "core/SummaryReport.h"

#include <memory>
#include <string>

// folverin-cli's one-process mode: the PDF engine module loaded from beside the program the
// first time it is needed, and kept until the program ends.
class InProcessEngine {
public:
    explicit InProcessEngine(const std::string& programDir);

    // Why the module could not be loaded; empty when it was.
    const std::string& error() const { return loadError; }

    // Only when error() is empty.
    std::unique_ptr<JobConverter> fileConverter(const std::string& configPath) const;
    SummaryReport summary(const std::string& pdfPath, const std::string& ownerPassword,
                          const std::string& userPassword) const;

private:
    using NewFileConverter = JobConverter* (*)(const std::string&, const std::string&);
    using BuildSummary = void (*)(const std::string&, const std::string&, const std::string&, SummaryReport&);

    std::string programDir;
    std::string loadError;
    NewFileConverter newFileConverter = nullptr;
    BuildSummary buildSummary = nullptr;
};
