#pragma once

#include "core/JobConverter.h"
#include "core/PageOrder.h"
#include "core/SummaryReport.h"
#include "platform/FileStamp.h"
#include "pool/WireFormat.h"

#include <optional>
#include <string>
#include <vector>

// What the program asks of a worker process and what the worker answers, as records of the
// wire format.

// Convert pages of a job into the file whose descriptor travels with the request (the worker
// never opens an output by name). The program alone decides how a job is cut: its first
// request opens the document and either writes the whole range (when it is shorter than
// cutFrom pages and has no page to read from its picture) or only reports the facts the cut
// needs; each later request names its exact pages and the pages among them to read, with the
// stamp of the file the facts came from.
struct ConvertRequest {
    ConvertJob job;
    ConvertOptions options;
    std::string configPath;
    std::string programDir;
    std::string outputPath; // the final file, named in messages
    int pieceIndex = 0;
    // First request only: the range length from which the program cuts it; 0 never cuts.
    int cutFrom = 0;
    std::optional<PageOrder> order;      // none on the first request
    platform::FileStamp documentStamp{}; // the PDF the facts came from; with an order only

    std::string record() const;
    static ConvertRequest from(wire::Reader& reader);
};

struct SummaryRequest {
    std::string pdfPath;
    std::string ownerPassword;
    std::string userPassword;

    std::string record() const;
    static SummaryRequest from(wire::Reader& reader);
};

namespace request {
inline constexpr std::uint8_t convert = 1;
inline constexpr std::uint8_t summary = 2;
} // namespace request

// The worker's answers: any number of messages and progress reports, then Facts (a first
// request that wrote nothing) and Finished; or one Summary.
namespace reply {
inline constexpr std::uint8_t progress = 1;    // pages done, pages of the piece
inline constexpr std::uint8_t message = 2;     // text, subject
inline constexpr std::uint8_t facts = 3;       // first page, last page, the PDF's stamp, pages to read
inline constexpr std::uint8_t finished = 4;    // JobOutcome
inline constexpr std::uint8_t summary = 5;     // the report
inline constexpr std::uint8_t unreadScans = 6; // pages the piece left unread, recognition being off:
                                               // without text, with unusable text
inline constexpr std::uint8_t pageRead = 7;    // a page the recognizer read: page, reason, turn, skew

std::string summaryRecord(const SummaryReport& report);
SummaryReport summaryFrom(wire::Reader& reader);
std::string pageReadRecord(const PageRead& read);
PageRead pageReadFrom(wire::Reader& reader);
} // namespace reply

namespace wire {
void putStamp(Writer& writer, const platform::FileStamp& stamp);
platform::FileStamp stampFrom(Reader& reader);
void putPages(Writer& writer, const std::vector<int>& pages);
std::vector<int> pagesFrom(Reader& reader);
// A list that may be absent (pages found as they are written).
void putOptionalPages(Writer& writer, const std::optional<std::vector<int>>& pages);
std::optional<std::vector<int>> optionalPagesFrom(Reader& reader);
} // namespace wire
