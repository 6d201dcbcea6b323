#include "engine/JobDocument.h"

#include "core/CMapConfig.h"
#include "core/OutputNames.h"
#include "engine/Engine.h"
#include "engine/EngineSession.h"
#include "engine/HtmlBodyEscaper.h"
#include "engine/HtmlHead.h"
#include "engine/PageReader.h"
#include "engine/PageTextDevice.h"
#include "engine/RecognizedText.h"
#include "engine/ScanProbe.h"
#include "platform/AtomicFile.h"

#include <PDFDoc.h>
#include <TextOutputDev.h>
#include <algorithm>
#include <cstdio>
#include <optional>

// Everything the engine owns for a job, released under the engine lock: the document, then
// the global parameters.
struct JobDocument::Engine {
    std::unique_ptr<PDFDoc> document;
    std::optional<EngineSession> session;

    ~Engine() {
        const auto lock = engine::lock();
        document.reset();
        session.reset();
    }
};

namespace {

// A page's text is held until the page is done, as a scan's text may take its place; in an
// HTML page it is escaped first.
struct BodySink {
    std::string page;
    std::optional<HtmlBodyEscaper> escaper;

    void add(const char* text, std::size_t length) {
        if (escaper)
            page += escaper->escape(text, length);
        else
            page.append(text, length);
    }
};

void writeBody(void* stream, const char* text, int length) {
    static_cast<BodySink*>(stream)->add(text, static_cast<std::size_t>(length));
}

std::string megapixels(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

} // namespace

JobDocument::JobDocument(const ConvertJob& job, const ConvertOptions& options, JobFeedback& feedback)
    : engine(std::make_unique<Engine>()), pdfPath(job.pdfPath), options(options), feedback(feedback),
      openedStamp(platform::FileStamp::of(job.pdfPath)) {
    const auto lock = engine::lock();
    engine->document = engine::openDocument(job.pdfPath, job.ownerPassword, job.userPassword);
}

JobDocument::~JobDocument() = default;

JobOutcome JobDocument::check() {
    int pageCount = 0;
    {
        const auto lock = engine::lock();
        if (engine->document->isOk() && engine->document->okToCopy())
            pageCount = engine->document->getNumPages();
    }
    if (!engine->document->isOk()) {
        tell("Not a valid pdf file!");
        return JobOutcome::Skipped;
    }
    if (!engine->document->okToCopy()) {
        tell("Copying of text from this document is not allowed.");
        return JobOutcome::Skipped;
    }
    // A damaged file can open without a single page; no page range could fit it, so it is
    // passed over rather than ending the batch.
    if (pageCount == 0) {
        tell("The file '" + pdfPath + "' has no pages, so it is not converted.");
        return JobOutcome::Skipped;
    }
    first = 1;
    last = pageCount;
    if (options.pageRange != option::allPages) {
        first = std::max(options.startPage, 1);
        last = std::min(options.endPage, pageCount);
    }
    if (first > last) {
        tell("The '" + pdfPath + "' file only contain " + std::to_string(pageCount) +
             " pages, please correct the page range in the setting dialog and try again.");
        return JobOutcome::EndBatch;
    }
    return JobOutcome::Converted;
}

JobOutcome JobDocument::write(const PageOrder& order, const EngineFiles& files, platform::AtomicFile& output,
                              const platform::Status& opened, const std::string& outputPath) {
    const std::string configText =
        EngineSession::readConfiguration(files.configPath, files.programDir, pdfPath, feedback);
    if (!opened.ok()) {
        reportWriteFailure(outputPath, opened.error(), pdfPath, feedback);
        return JobOutcome::Skipped;
    }
    return writePages(order, configText, output, outputPath);
}

bool JobDocument::startSession(const std::string& configText) {
    bool hasTable = false;
    {
        const auto lock = engine::lock();
        engine->session.emplace(configText, options);
        hasTable = engine->session->textMap() != nullptr;
    }
    if (!hasTable)
        tell(EngineSession::missingTableMessage(CMapConfig::encodingName(options.textEncoding), pdfPath));
    return hasTable;
}

JobOutcome JobDocument::writePages(const PageOrder& order, const std::string& configText,
                                   platform::AtomicFile& output, const std::string& outputPath) {
    const PagePiece& piece = order.pages;
    const bool html = options.outputMode != option::textFile;
    BodySink sink;
    std::unique_ptr<PageTextDevice> device;
    unread = {};
    if (!startSession(configText))
        return JobOutcome::Skipped;
    {
        const auto lock = engine::lock();
        if (html) {
            if (piece.head)
                HtmlHead::write(output, *engine->document, *engine->session->textMap(),
                                options.htmlMeta == option::yes);
            sink.escaper.emplace(CMapConfig::encodingName(options.textEncoding), engine->session->textMap());
        }
        device = std::make_unique<PageTextDevice>(writeBody, &sink, options.layout == option::yes, 0.0,
                                                  options.rawMode == option::yes);
        device->setTextEOL(engine->session->endOfLine());
        device->setTextPageBreaks(engine->session->pageBreaks());
    }
    // One page at a time, so a summary asked for meanwhile waits for a page, not a file.
    const int pageCount = piece.last - piece.first + 1;
    for (int page = piece.first; page <= piece.last; ++page) {
        std::optional<PageRead::Reason> toRead;
        {
            const auto lock = engine::lock();
            device->watchImages(options.recognizeScannedPages != option::recognizeAllPages &&
                                ScanProbe::namesImage(*engine->document, page));
            engine->document->displayPage(device.get(), page, 72, 72, 0, false, true, false);
            toRead = reasonToRead(page, order, *device);
        }
        if (toRead) {
            if (const std::optional<std::string> read =
                    readPage(page, PageReader::readingResolution(device->sight().imageDotsPerInch), *toRead))
                sink.page = sink.escaper ? sink.escaper->escape(read->data(), read->size()) : *read;
        }
        output.write(sink.page);
        sink.page.clear();
        feedback.pageProgress(page - piece.first + 1, pageCount);
    }
    {
        const auto lock = engine::lock();
        device.reset();
    }
    if (html && piece.foot)
        HtmlHead::writeFoot(output);
    // Pages of two documents must never make one output: a file replaced or rewritten while
    // it was read gives nothing.
    if (platform::FileStamp::of(pdfPath) != openedStamp) {
        reportChanged(pdfPath, feedback);
        return JobOutcome::Skipped;
    }
    if (const platform::Status committed = output.commit(); !committed.ok()) {
        reportWriteFailure(outputPath, committed.error(), pdfPath, feedback);
        return JobOutcome::Skipped;
    }
    return JobOutcome::Converted;
}

void JobDocument::tell(const std::string& text) const {
    feedback.message({text, pdfPath});
}

PageReader* JobDocument::reader() {
    if (readerChecked)
        return pageReader;
    readerChecked = true;
    PageReader* const installed = PageReader::installed();
    // No languages: the batch found no data for the chosen ones and said so once already.
    if (options.ocrLanguages.empty())
        return nullptr;
    if (!installed)
        tell("This program reads no scanned pages, so those of '" + pdfPath + "' keep the text they have.");
    else if (!installed->hasLanguages(options.ocrLanguages))
        tell("No text recognition data is installed for '" + options.ocrLanguages +
             "', so the scanned pages of '" + pdfPath + "' are not read.");
    else
        pageReader = installed;
    return pageReader;
}

std::optional<PageRead::Reason> JobDocument::reasonToRead(int page, const PageOrder& order,
                                                          PageTextDevice& device) {
    if (options.recognizeScannedPages == option::recognizeAllPages) {
        const bool ordered =
            !order.readPages || std::binary_search(order.readPages->begin(), order.readPages->end(), page);
        return ordered && reader() ? std::optional(PageRead::Reason::AllPages) : std::nullopt;
    }
    // A list of pages to read is only the plan's guess: the text pass decides, the same way
    // in every piece and in one process.
    const ScanProbe::Reason reason = ScanProbe::reasonToRead(device);
    if (reason == ScanProbe::Reason::None)
        return std::nullopt;
    const bool noText = reason == ScanProbe::Reason::NoText;
    if (options.recognizeScannedPages != option::recognizePagesWithoutText) {
        ++(noText ? unread.withoutText : unread.unusableText);
        return std::nullopt;
    }
    if (!reader())
        return std::nullopt;
    return noText ? PageRead::Reason::NoText : PageRead::Reason::UnusableText;
}

std::optional<std::string> JobDocument::readPage(int page, double dotsPerInch, PageRead::Reason reason) {
    const PageReader::Page read =
        pageReader->read(*engine->document, page, options.ocrLanguages, dotsPerInch);
    const std::string which = "Page " + std::to_string(page) + " of '" + pdfPath + "'";
    if (read.status == PageReader::Page::Status::TooLarge) {
        tell(which + " would be a picture of " + megapixels(read.megapixels) +
             " megapixels, too large to read, so it keeps the text it has.");
        return std::nullopt;
    }
    if (read.status != PageReader::Page::Status::Read) {
        tell(which + " could not be read, so it keeps the text it has.");
        return std::nullopt;
    }
    feedback.pageRead({page, reason, read.turnDegrees, read.skewDegrees});
    const auto lock = engine::lock();
    const RecognizedText text(*engine->session->textMap(), engine->session->endOfLine(),
                              engine->session->pageBreaks(), options.layout == option::yes);
    return text.page(read.lines);
}

std::optional<std::vector<int>> JobDocument::pagesToRead(int firstPage, int lastPage) {
    if (options.recognizeScannedPages != option::recognizePagesWithoutText &&
        options.recognizeScannedPages != option::recognizeAllPages)
        return std::nullopt;
    std::vector<int> pages;
    if (options.recognizeScannedPages == option::recognizeAllPages) {
        for (int page = firstPage; page <= lastPage; ++page)
            pages.push_back(page);
    } else {
        pages = ScanProbe::pagesLikelyRead(*engine->document, firstPage, lastPage,
                                           [&] { feedback.pageProgress(0, lastPage - firstPage + 1); });
    }
    if (!pages.empty() && !reader())
        pages.clear();
    return pages;
}

void JobDocument::reportChanged(const std::string& pdfPath, JobFeedback& feedback) {
    feedback.message(
        {"The file '" + pdfPath + "' changed while it was being converted, so it is not converted.",
         pdfPath});
}

void JobDocument::reportWriteFailure(const std::string& outputPath, const std::string& reason,
                                     const std::string& pdfPath, JobFeedback& feedback) {
    feedback.message({OutputNames::writeFailureMessage(outputPath, reason), pdfPath});
}
