#pragma once

#include "core/JobConverter.h"
#include "core/MarkdownPage.h"
#include "core/PageOrder.h"
#include "engine/DocumentStyle.h"
#include "engine/PageReader.h"
#include "engine/ScanProbe.h"
#include "platform/FileStamp.h"
#include "platform/Result.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class AtomicFile;
}
class MarkdownPass;
class PageTextDevice;

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

    // Where the engine's configuration is read: the configuration file and the program's folder.
    struct EngineFiles {
        std::string configPath;
        std::string programDir;
    };
    // Writes the order's pages into output and commits it: the one way from a checked document
    // to its output, in this process and in a worker. opened is how opening output went.
    // Skipped, with the user told why, when the output could not be opened or written (named
    // outputPath), the PDF changed on disk while it was read, or the text encoding has no table.
    JobOutcome write(const PageOrder& order, const EngineFiles& files, platform::AtomicFile& output,
                     const platform::Status& opened, const std::string& outputPath);

    // The pages of first..last that the job reads from their picture, to plan by: every page
    // with "All Pages", else those likely read, guessed without drawing a page (the writing
    // decides); none when no reader serves the job (the user is told once why); no list with
    // recognition off, whose pages to read are only counted as they are written. On a long
    // document it tells no pages done now and then, to show it is alive.
    std::optional<std::vector<int>> pagesToRead(int firstPage, int lastPage);
    // Pages the last write() passed over because recognition is off, by reason.
    ScanProbe::Counts unreadPages() const { return unread; }

    // Tells the user the output could not be written, and why.
    static void reportWriteFailure(const std::string& outputPath, const std::string& reason,
                                   const std::string& pdfPath, JobFeedback& feedback);
    // Tells the user the PDF was replaced or rewritten while it was being converted.
    static void reportChanged(const std::string& pdfPath, JobFeedback& feedback);

private:
    // Builds the engine set-up for the job; false, with the user told, when the job's text
    // encoding has no table under configText (the page text would come out empty).
    bool startSession(const std::string& configText);
    JobOutcome writePages(const PageOrder& order, const std::string& configText, platform::AtomicFile& output,
                          const std::string& outputPath);
    void writeTextPages(const PageOrder& order, platform::AtomicFile& output);
    void writeMarkdownPages(const PageOrder& order, platform::AtomicFile& output);
    // The Markdown of the page, or of the page's read lines where it is read from its picture.
    markdown::Page markdownPage(int page, const PageOrder& order, MarkdownPass& pass);
    // The page's structure from its words, when it has any of its own (not read, not a scan);
    // the neighbours within the job judge its running heads.
    markdown::Page analysedPage(int page, MarkdownPass& pass);
    bool joinsAcross(int page, MarkdownPass& pass);
    void tell(const std::string& text) const;
    // The reader for this job's scans, or null (the user told why, once) when it has none.
    PageReader* reader();
    // Why the page is to be read from its picture, given what the text pass saw of it: with
    // "All Pages" one of the order's pages, else a page seen to be a scan or to carry unusable
    // text (counted when recognition is off). Nothing when it keeps its text.
    std::optional<PageRead::Reason> reasonToRead(int page, const PageOrder& order, ScanProbe::Reason seen);
    // The lines of the page read from its picture drawn at dotsPerInch, told as read for reason;
    // nothing when it cannot be read (the user told why).
    std::optional<std::vector<PageReader::Line>> readPage(int page, double dotsPerInch,
                                                          PageRead::Reason reason);

    struct Engine;
    std::unique_ptr<Engine> engine;
    std::string pdfPath;
    ConvertOptions options;
    JobFeedback& feedback;
    platform::FileStamp openedStamp;
    int first = 1;
    int last = 0;
    ScanProbe::Counts unread;
    bool readerChecked = false;
    PageReader* pageReader = nullptr;
    // Found once for the document, so every piece of the job judges its pages alike.
    std::optional<DocumentStyle> markdownStyle;
    std::map<int, markdown::Page> analysed;
};
