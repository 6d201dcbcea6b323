#pragma once

#include "core/JobConverter.h"
#include "core/PagePiece.h"
#include "platform/FileStamp.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class AtomicFile;
}
class PageReader;
class TextOutputDev;

// One job's PDF opened in the engine: the checks a job makes before it writes anything, then
// its pages, whole or in pieces. Messages reach the user through Dialogs, naming the PDF.
class JobDocument {
public:
    JobDocument(const ConvertJob& job, const ConvertOptions& options);
    ~JobDocument();
    JobDocument(const JobDocument&) = delete;
    JobDocument& operator=(const JobDocument&) = delete;

    // Converted when the document may be written: it opened, allows copying, has pages and the
    // pages of the range; otherwise the user was told why (a range past the end of a real
    // document ends the batch, anything else costs only this job).
    JobOutcome check();
    // The file as it was opened: every piece of a job must come from this very file.
    const platform::FileStamp& stamp() const { return openedStamp; }
    // The page range of the job, valid after check() said Converted.
    int firstPage() const { return first; }
    int lastPage() const { return last; }

    // The engine configuration for the job on pdfPath; it may tell the user something.
    static std::string configurationFor(const std::string& configPath, const std::string& programDir,
                                        const std::string& pdfPath);

    // Writes the piece into output, which is open, and commits it; configText is the engine
    // configuration read for this job. Skipped, with the user told why, when the output could
    // not be written (named outputPath), the PDF changed on disk while it was read, or the text
    // encoding has no table.
    JobOutcome write(const PagePiece& piece, const std::string& configText, platform::AtomicFile& output,
                     const std::string& outputPath, const PageProgress& progress);

    // The pages of first..last that the job reads from their picture: none with recognition
    // off or unavailable (the user is told once why), every page with "All Pages", else the
    // scans. alive is called now and then on a long document.
    std::vector<int> pagesToRead(int firstPage, int lastPage, const PageProgress& alive);
    // Scans the last write() passed over because recognition is off.
    int pagesWithoutText() const { return unreadScans; }

    // Tells the user the output could not be written, and why.
    static void reportWriteFailure(const std::string& outputPath, const std::string& reason,
                                   const std::string& pdfPath);
    // Tells the user the PDF was replaced or rewritten while it was being converted.
    static void reportChanged(const std::string& pdfPath);

private:
    // Builds the engine set-up for the job; false, with the user told, when the job's text
    // encoding has no table under configText (the page text would come out empty).
    bool startSession(const std::string& configText);
    // The reader for this job's scans, or null (the user told why, once) when it has none.
    PageReader* reader();
    // Whether the page just shown to device is to be read from its picture; counts the scans
    // left as they are when recognition is off.
    bool readsPage(int page, TextOutputDev& device);
    // The page read from its picture, written as the engine writes text; nothing when it
    // cannot be read (the user told why).
    std::optional<std::string> readPage(int page);

    struct Engine;
    std::unique_ptr<Engine> engine;
    std::string pdfPath;
    ConvertOptions options;
    platform::FileStamp openedStamp;
    int first = 1;
    int last = 0;
    int unreadScans = 0;
    bool readerChecked = false;
    PageReader* pageReader = nullptr;
};
