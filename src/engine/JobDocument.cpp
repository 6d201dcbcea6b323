#include "engine/JobDocument.h"

#include "core/CMapConfig.h"
#include "core/MarkdownWriter.h"
#include "core/OutputNames.h"
#include "engine/Engine.h"
#include "engine/EngineSession.h"
#include "engine/HtmlBodyEscaper.h"
#include "engine/HtmlHead.h"
#include "engine/MarkdownPass.h"
#include "engine/PageAnalysis.h"
#include "engine/PageReader.h"
#include "engine/PageTextDevice.h"
#include "engine/RecognizedText.h"
#include "engine/ScanProbe.h"
#include "engine/TextEncoder.h"
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
    unread = {};
    if (!startSession(configText))
        return JobOutcome::Skipped;
    if (options.outputMode == option::markdownFile)
        writeMarkdownPages(order, output);
    else
        writeTextPages(order, output);
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

void JobDocument::writeTextPages(const PageOrder& order, platform::AtomicFile& output) {
    const PagePiece& piece = order.pages;
    const bool html = options.outputMode != option::textFile;
    BodySink sink;
    std::unique_ptr<PageTextDevice> device;
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
            toRead = reasonToRead(page, order, ScanProbe::reasonToRead(*device));
        }
        if (toRead) {
            if (const auto lines = readPage(
                    page, PageReader::readingResolution(device->sight().imageDotsPerInch), *toRead)) {
                const auto lock = engine::lock();
                const RecognizedText text(*engine->session->textMap(), engine->session->endOfLine(),
                                          engine->session->pageBreaks(), options.layout == option::yes);
                const std::string read = text.page(*lines);
                sink.page = sink.escaper ? sink.escaper->escape(read.data(), read.size()) : read;
            }
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
}

void JobDocument::writeMarkdownPages(const PageOrder& order, platform::AtomicFile& output) {
    const PagePiece& piece = order.pages;
    MarkdownPass pass(*engine->document, first, last,
                      options.recognizeScannedPages != option::recognizeAllPages);
    if (!markdownStyle)
        markdownStyle = pass.documentStyle();
    analysed.clear();
    const TextEncoder encoder(*engine->session->textMap(), engine->session->endOfLine());
    if (piece.head && options.htmlMeta == option::yes)
        output.write(
            encoder.encode(MarkdownWriter::frontMatter(MarkdownPass::documentInfo(*engine->document))));
    // A page break stands on a line of its own, so the page after it starts a line of its own.
    const std::string pageBreak =
        engine->session->pageBreaks() ? encoder.pageBreak() + encoder.endOfLine() : std::string();
    const int pageCount = piece.last - piece.first + 1;
    for (int page = piece.first; page <= piece.last; ++page) {
        markdown::Page model = markdownPage(page, order, pass);
        std::optional<markdown::Page> next;
        if (joinsAcross(page, pass) && joinsAcross(page + 1, pass)) {
            next = analysedPage(page + 1, pass);
            PageAnalysis::joinAcross(model, *next);
        }
        const bool runsOn = !model.blocks.empty() && model.blocks.back().continuesNext;
        output.write(encoder.encode(MarkdownWriter::page(model, runsOn ? &next->blocks.front() : nullptr)));
        output.write(pageBreak);
        feedback.pageProgress(page - piece.first + 1, pageCount);
        analysed.erase(analysed.begin(), analysed.lower_bound(page - 1));
        pass.forgetBefore(page - 2);
    }
    analysed.clear();
}

markdown::Page JobDocument::markdownPage(int page, const PageOrder& order, MarkdownPass& pass) {
    const MarkdownPass::Shown& shown = pass.shown(page);
    if (const auto reason = reasonToRead(page, order, shown.reason)) {
        if (const auto lines = readPage(page, PageReader::readingResolution(shown.imageDotsPerInch), *reason))
            return PageAnalysis::recognized(*lines);
    }
    markdown::Page model = analysedPage(page, pass);
    if (page > first && joinsAcross(page - 1, pass) && joinsAcross(page, pass)) {
        markdown::Page previous = analysedPage(page - 1, pass);
        PageAnalysis::joinAcross(previous, model);
    }
    return model;
}

markdown::Page JobDocument::analysedPage(int page, MarkdownPass& pass) {
    const auto known = analysed.find(page);
    if (known != analysed.end())
        return known->second;
    const PageAnalysis::Context context{*markdownStyle, page,
                                        page > first ? &pass.shown(page - 1).layout : nullptr,
                                        page < last ? &pass.shown(page + 1).layout : nullptr};
    return analysed.emplace(page, PageAnalysis::page(pass.shown(page).layout, context)).first->second;
}

// Whether a paragraph may run across the page's edges: only between pages whose own words
// are written, never onto or off a page that is read or would be.
bool JobDocument::joinsAcross(int page, MarkdownPass& pass) {
    return page >= first && page <= last && options.recognizeScannedPages != option::recognizeAllPages &&
           pass.shown(page).reason == ScanProbe::Reason::None;
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
                                                          ScanProbe::Reason reason) {
    if (options.recognizeScannedPages == option::recognizeAllPages) {
        const bool ordered =
            !order.readPages || std::binary_search(order.readPages->begin(), order.readPages->end(), page);
        return ordered && reader() ? std::optional(PageRead::Reason::AllPages) : std::nullopt;
    }
    // A list of pages to read is only the plan's guess: the text pass decides, the same way
    // in every piece and in one process.
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

std::optional<std::vector<PageReader::Line>> JobDocument::readPage(int page, double dotsPerInch,
                                                                   PageRead::Reason reason) {
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
    return read.lines;
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
