#include "pool/WorkerMessages.h"

#include "core/ConvertOptionFields.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

// The options go field by field behind their count: a peer built with other fields is
// refused instead of read with its values in the wrong fields.
void putOptions(wire::Writer& writer, const ConvertOptions& options) {
    const std::span<const ConvertOptionField> fields = convertOptionFields();
    writer.put(static_cast<std::int32_t>(fields.size()));
    for (const ConvertOptionField& field : fields)
        std::visit([&](auto member) { writer.put(options.*member); }, field.member);
}

void readInto(wire::Reader& reader, std::int32_t& value) {
    value = reader.getInt();
}

void readInto(wire::Reader& reader, std::string& value) {
    value = reader.getText();
}

ConvertOptions optionsFrom(wire::Reader& reader) {
    ConvertOptions options;
    const std::span<const ConvertOptionField> fields = convertOptionFields();
    if (reader.getInt() != static_cast<std::int32_t>(fields.size())) {
        reader.refuse();
        return options;
    }
    for (const ConvertOptionField& field : fields)
        std::visit([&](auto member) { readInto(reader, options.*member); }, field.member);
    return options;
}

} // namespace

std::string ConvertRequest::record() const {
    wire::Writer writer(request::convert);
    writer.put(job.pdfPath).put(job.ownerPassword).put(job.userPassword).put(job.jobNumber).put(job.jobCount);
    putOptions(writer, options);
    writer.put(configPath).put(programDir).put(outputPath).put(pieceIndex).put(cutFrom);
    writer.put(order ? 1 : 0);
    if (order) {
        writer.put(order->pages.first)
            .put(order->pages.last)
            .put(order->pages.head ? 1 : 0)
            .put(order->pages.foot ? 1 : 0);
        wire::putOptionalPages(writer, order->readPages);
        wire::putStamp(writer, documentStamp);
    }
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
    request.cutFrom = reader.getInt();
    if (reader.getInt() != 0) {
        PageOrder order;
        order.pages.first = reader.getInt();
        order.pages.last = reader.getInt();
        order.pages.head = reader.getInt() != 0;
        order.pages.foot = reader.getInt() != 0;
        order.readPages = wire::optionalPagesFrom(reader);
        request.documentStamp = wire::stampFrom(reader);
        request.order = std::move(order);
    }
    reader.expectEnd();
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
    reader.expectEnd();
    return request;
}

namespace reply {

std::string summaryRecord(const SummaryReport& report) {
    wire::Writer writer(summary);
    writer.put(report.documentValid ? 1 : 0)
        .put(report.encrypted ? 1 : 0)
        .put(report.pageCount)
        .put(report.pagesWithoutText)
        .put(report.pagesWithUnusableText)
        .put(static_cast<std::int32_t>(report.lines.size()));
    for (const SummaryLine& line : report.lines)
        writer.put(static_cast<std::int32_t>(line.style)).put(line.text);
    return writer.record();
}

// The skew travels in hundredths of a degree.
std::string pageReadRecord(const PageRead& read) {
    return wire::Writer(pageRead)
        .put(read.page)
        .put(static_cast<std::int32_t>(read.reason))
        .put(read.turnDegrees)
        .put(static_cast<std::int32_t>(std::lround(read.skewDegrees * 100)))
        .record();
}

PageRead pageReadFrom(wire::Reader& reader) {
    PageRead read;
    read.page = reader.getInt();
    read.reason = static_cast<PageRead::Reason>(
        std::clamp(reader.getInt(), 0, static_cast<std::int32_t>(PageRead::Reason::AllPages)));
    read.turnDegrees = reader.getInt();
    read.skewDegrees = reader.getInt() / 100.0;
    return read;
}

SummaryReport summaryFrom(wire::Reader& reader) {
    SummaryReport report;
    report.documentValid = reader.getInt() != 0;
    report.encrypted = reader.getInt() != 0;
    report.pageCount = reader.getInt();
    report.pagesWithoutText = reader.getInt();
    report.pagesWithUnusableText = reader.getInt();
    const std::int32_t count = reader.getInt();
    for (std::int32_t i = 0; i < count && !reader.broken(); ++i) {
        const auto style = static_cast<SummaryLine::Style>(
            std::clamp(reader.getInt(), 0, static_cast<std::int32_t>(SummaryLine::Style::Plain)));
        report.lines.push_back({style, reader.getText()});
    }
    reader.expectEnd();
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

void putOptionalPages(Writer& writer, const std::optional<std::vector<int>>& pages) {
    writer.put(pages ? 1 : 0);
    if (pages)
        putPages(writer, *pages);
}

std::optional<std::vector<int>> optionalPagesFrom(Reader& reader) {
    if (reader.getInt() == 0)
        return std::nullopt;
    return pagesFrom(reader);
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
