#include "core/SummaryReport.h"

#include "core/FileFacts.h"
#include "platform/FilePath.h"

SummaryReport SummaryReport::fileFacts(const std::string& pdfPath) {
    using Style = SummaryLine::Style;
    SummaryReport report;
    const platform::CFilePath file(pdfPath);
    std::uint64_t bytes = 0;
    file.size(bytes);
    std::time_t created = 0;
    file.time(platform::CFilePath::CreationTime, created);
    report.lines.push_back({Style::Path, file.longPath() + "\n"});
    report.lines.push_back({Style::Heading, "Summary:\n"});
    report.lines.push_back({Style::Plain, "\tFile Size: " + FileFacts::groupThousands(bytes / 1024) +
                                              " KB (" + FileFacts::groupThousands(bytes) + " Bytes)\n"});
    report.lines.push_back({Style::Plain, "\tCreation Time: " + FileFacts::formatTime(created) + "\n"});
    report.lines.push_back({Style::Heading, "PDF Description:\n"});
    return report;
}

std::string SummaryReport::plainText() const {
    std::string text;
    for (const SummaryLine& line : lines)
        text += line.text;
    return text;
}
