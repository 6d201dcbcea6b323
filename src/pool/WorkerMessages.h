#pragma once

#include "core/JobConverter.h"
#include "core/PagePiece.h"
#include "core/SummaryReport.h"
#include "platform/FileStamp.h"
#include "pool/WireFormat.h"

#include <string>
#include <vector>

// What the program asks of a worker process and what the worker answers, as records of the
// wire format.

// Convert one piece of a job into the file whose descriptor travels with the request (the
// worker never opens an output by name). Piece 0 runs the job's checks and decides how the
// range is cut (the cut depends only on the range and the workers, so both ends compute it
// alike); the other pieces are asked for once the worker of piece 0 said how many there are
// and which file it read, so each piece can tell that its file is the same.
struct ConvertRequest {
    ConvertJob job;
    ConvertOptions options;
    std::string configPath;
    std::string programDir;
    std::string outputPath; // the final file, named in messages
    int pieceIndex = 0;
    int workers = 1;                     // how many pieces the range may be cut into at most
    platform::FileStamp documentStamp{}; // the PDF as piece 0 read it; for later pieces only
    std::vector<int> readPages;          // pages read from their picture, as piece 0 found them

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

// The worker's answers: any number of messages and progress reports, then Planned (piece 0
// of a cut range only) and Finished; or one Summary.
namespace reply {
inline constexpr std::uint8_t progress = 1;    // pages done, pages of the piece
inline constexpr std::uint8_t message = 2;     // text, subject
inline constexpr std::uint8_t planned = 3;     // pieces, first page, last page, the PDF's stamp, pages read
inline constexpr std::uint8_t finished = 4;    // JobOutcome
inline constexpr std::uint8_t summary = 5;     // the report
inline constexpr std::uint8_t unreadScans = 6; // scans the piece left unread, recognition being off

std::string summaryRecord(const SummaryReport& report);
SummaryReport summaryFrom(wire::Reader& reader);
} // namespace reply

namespace wire {
void putStamp(Writer& writer, const platform::FileStamp& stamp);
platform::FileStamp stampFrom(Reader& reader);
void putPages(Writer& writer, const std::vector<int>& pages);
std::vector<int> pagesFrom(Reader& reader);
} // namespace wire
