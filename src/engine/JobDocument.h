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
// its pages, whole or in pieces. Its progress and messages, naming the PDF, go to the feedback.
class JobDocument {
public:
    JobDocument(const ConvertJob& job, const ConvertOptions& options, JobFeedback& feedback);
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
                                        const std::string& pdfPath, JobFeedback& feedback);

    // Writes the piece into output, which is open, and commits it; configText is the engine
    // configuration read for this job. Skipped, with the user told why, when the output could
    // not be written (named outputPath), the PDF changed on disk while it was read, or the text
    // encoding has no table.
    JobOutcome write(const PagePiece& piece, const std::string& configText, platform::AtomicFile& output,
                     const std::string& outputPath);

    // The pages of first..last that the job reads from their picture: none with recognition
    // off or unavailable (the user is told once why), every page with "All Pages", else the
    // scans. On a long document it tells no pages done now and then, to show it is alive.
    std::vector<int> pagesToRead(int firstPage, int lastPage);
    // Scans the last write() passed over because recognition is off.
    int pagesWithoutText() const { return unreadScans; }

    // Tells the user the output could not be written, and why.
    static void reportWriteFailure(const std::string& outputPath, const std::string& reason,
                                   const std::string& pdfPath, JobFeedback& feedback);
    // Tells the user the PDF was replaced or rewritten while it was being converted.
    static void reportChanged(const std::string& pdfPath, JobFeedback& feedback);

private:
    // Builds the engine set-up for the job; false, with the user told, when the job's text
    // encoding has no table under configText (the page text would come out empty).
    bool startSession(const std::string& configText);
    void tell(const std::string& text) const;
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
    JobFeedback& feedback;
    platform::FileStamp openedStamp;
    int first = 1;
    int last = 0;
    int unreadScans = 0;
    bool readerChecked = false;
    PageReader* pageReader = nullptr;
};
