#pragma once

#include "convert/JobConverter.h"

#include <memory>
#include <string>

namespace platform {
class AtomicFile;
}

// Pages first..last of a job's range written as one piece; the head goes with the piece that
// starts the file and the foot with the one that ends it, so pieces joined in page order are
// byte for byte the file written in one go.
struct PagePiece {
    int first = 1;
    int last = 0;
    bool head = true;
    bool foot = true;
};

// One job's PDF opened in the engine: the checks a job makes before it writes anything, then
// its pages, whole or in pieces. Messages reach the user through Dialogs, naming the PDF.
class JobDocument {
public:
    JobDocument(const ConvertJob& job, const ConvertOptions& options);
    ~JobDocument();
    JobDocument(const JobDocument&) = delete;
    JobDocument& operator=(const JobDocument&) = delete;

    // Converted when the document may be written: it opened, allows copying and has the
    // pages of the range; otherwise the user was told why.
    JobOutcome check();
    // The page range of the job, valid after check() said Converted.
    int firstPage() const { return first; }
    int lastPage() const { return last; }

    // The engine configuration for the job on pdfPath; it may tell the user something.
    static std::string configurationFor(const std::string& configPath, const std::string& programDir,
                                        const std::string& pdfPath);

    // Writes the piece into output, which is open; false when the file could not be written.
    // configText is the engine configuration read for this job.
    bool write(const PagePiece& piece, const std::string& configText, platform::AtomicFile& output,
               const PageProgress& progress);

    // Tells the user the output could not be written, and why.
    static void reportWriteFailure(const std::string& outputPath, const std::string& reason,
                                   const std::string& pdfPath);

private:
    struct Engine;
    std::unique_ptr<Engine> engine;
    std::string pdfPath;
    ConvertOptions options;
    int first = 1;
    int last = 0;
};
