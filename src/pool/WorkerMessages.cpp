#include "pool/WorkerMessages.h"

#include <algorithm>

namespace {

void putOptions(wire::Writer& writer, const ConvertOptions& options) {
    writer.put(options.pageRange)
        .put(options.startPage)
        .put(options.endPage)
        .put(options.openResult)
        .put(options.outputMode)
        .put(options.outputDirectory)
        .put(options.htmlMeta)
        .put(options.layout)
        .put(options.rawMode)
        .put(options.endOfLine)
        .put(options.pageBreaks)
        .put(options.textEncoding)
        .put(options.recognizeScannedPages)
        .put(options.ocrLanguages);
}

ConvertOptions optionsFrom(wire::Reader& reader) {
    ConvertOptions options;
    options.pageRange = reader.getInt();
    options.startPage = reader.getInt();
    options.endPage = reader.getInt();
    options.openResult = reader.getInt();
    options.outputMode = reader.getInt();
    options.outputDirectory = reader.getText();
    options.htmlMeta = reader.getInt();
    options.layout = reader.getInt();
    options.rawMode = reader.getInt();
    options.endOfLine = reader.getInt();
    options.pageBreaks = reader.getInt();
    options.textEncoding = reader.getInt();
    options.recognizeScannedPages = reader.getInt();
    options.ocrLanguages = reader.getText();
    return options;
}

} // namespace

std::string ConvertRequest::record() const {
    wire::Writer writer(request::convert);
    writer.put(job.pdfPath).put(job.ownerPassword).put(job.userPassword).put(job.jobNumber).put(job.jobCount);
    putOptions(writer, options);
    writer.put(configPath).put(programDir).put(outputPath).put(pieceIndex).put(workers);
    wire::putStamp(writer, documentStamp);
    wire::putPages(writer, readPages);
    return writer.record();
}

ConvertRequest ConvertRequest::from(wire::Reader& reader) {
    ConvertRequest request;
    request.job.pdfPath = reader.getText();
    request.job.ownerPassword = reader.getText();
    request.job.userPassword = reader.getText();
    request.job.jobNumber = reader.getInt();
    request.job.jobCount = reader.getInt();
    request.options = optionsFrom(reader);
    request.configPath = reader.getText();
    request.programDir = reader.getText();
    request.outputPath = reader.getText();
    request.pieceIndex = reader.getInt();
    request.workers = reader.getInt();
    request.documentStamp = wire::stampFrom(reader);
    request.readPages = wire::pagesFrom(reader);
    return request;
}

std::string SummaryRequest::record() const {
    return wire::Writer(request::summary).put(pdfPath).put(ownerPassword).put(userPassword).record();
}

SummaryRequest SummaryRequest::from(wire::Reader& reader) {
    SummaryRequest request;
    request.pdfPath = reader.getText();
    request.ownerPassword = reader.getText();
    request.userPassword = reader.getText();
    return request;
}

namespace reply {

std::string summaryRecord(const SummaryReport& report) {
    wire::Writer writer(summary);
    writer.put(report.documentValid ? 1 : 0)
        .put(report.encrypted ? 1 : 0)
        .put(report.pageCount)
        .put(report.pagesWithoutText)
        .put(static_cast<std::int32_t>(report.lines.size()));
    for (const SummaryLine& line : report.lines)
        writer.put(static_cast<std::int32_t>(line.style)).put(line.text);
    return writer.record();
}

SummaryReport summaryFrom(wire::Reader& reader) {
    SummaryReport report;
    report.documentValid = reader.getInt() != 0;
    report.encrypted = reader.getInt() != 0;
    report.pageCount = reader.getInt();
    report.pagesWithoutText = reader.getInt();
    const std::int32_t count = reader.getInt();
    for (std::int32_t i = 0; i < count && !reader.broken(); ++i) {
        const auto style = static_cast<SummaryLine::Style>(
            std::clamp(reader.getInt(), 0, static_cast<std::int32_t>(SummaryLine::Style::Plain)));
        report.lines.push_back({style, reader.getText()});
    }
    return report;
}

} // namespace reply

namespace wire {

void putStamp(Writer& writer, const platform::FileStamp& stamp) {
    writer.put64(stamp.device)
        .put64(stamp.inode)
        .put64(stamp.size)
        .put64(stamp.modifiedSeconds)
        .put64(stamp.modifiedNanoseconds);
}

void putPages(Writer& writer, const std::vector<int>& pages) {
    writer.put(static_cast<std::int32_t>(pages.size()));
    for (const int page : pages)
        writer.put(page);
}

std::vector<int> pagesFrom(Reader& reader) {
    std::vector<int> pages;
    const std::int32_t count = reader.getInt();
    for (std::int32_t i = 0; i < count && !reader.broken(); ++i)
        pages.push_back(reader.getInt());
    return pages;
}

platform::FileStamp stampFrom(Reader& reader) {
    platform::FileStamp stamp;
    stamp.device = reader.getInt64();
    stamp.inode = reader.getInt64();
    stamp.size = reader.getInt64();
    stamp.modifiedSeconds = reader.getInt64();
    stamp.modifiedNanoseconds = reader.getInt64();
    return stamp;
}

} // namespace wire
