#pragma once

#include <mutex>
#include <string>
#include <vector>

class PDFDoc;

// Reads the text of a page from its picture, for pages that are scans. The engine knows only
// this seam: the processes that may read scans (the workers) install a reader that loads the
// recognizer when a page is to be read, so the window, the terminal program and text work
// never map it.
class PageReader {
public:
    // Takes the engine lock of the process that reads: a reader built apart from the engine
    // is handed it.
    using EngineLock = std::unique_lock<std::mutex> (*)();

    // One line as read, in pixels of the page's picture (origin top left).
    struct Line {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        std::string text; // UTF-8, without line end
        bool startsParagraph = false;
    };
    struct Page {
        enum class Status { Read, TooLarge, Failed };
        Status status = Status::Failed;
        std::vector<Line> lines;
        double megapixels = 0;  // of the picture it would take; set when TooLarge
        int turnDegrees = 0;    // clockwise, as the page lay before it was set upright
        double skewDegrees = 0; // the slant straightened before reading
    };

    virtual ~PageReader() = default;

    // Whether the data for every language of "eng+deu" is installed.
    virtual bool hasLanguages(const std::string& languages) = 0;
    // Draws the page at dotsPerInch (taking the engine lock for it) and reads it. Never called
    // with the lock held: reading takes seconds.
    virtual Page read(PDFDoc& document, int page, const std::string& languages, double dotsPerInch) = 0;

    // A page is read at 300 dpi at least (a coarser scan reads better drawn finer), at its
    // images' own resolution where finer, up to 400.
    static constexpr double minDotsPerInch = 300;
    static constexpr double maxDotsPerInch = 400;
    static double readingResolution(double imageDotsPerInch);

    // The reader of this process; null when it reads no scans.
    static PageReader* installed();
    static void install(PageReader* reader);
};
