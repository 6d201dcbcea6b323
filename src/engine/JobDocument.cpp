#include "engine/JobDocument.h"

#include "core/CMapConfig.h"
#include "core/OutputNames.h"
#include "engine/Engine.h"
#include "engine/EngineSession.h"
#include "engine/HtmlBodyEscaper.h"
#include "engine/HtmlHead.h"
#include "platform/AtomicFile.h"

#include <PDFDoc.h>
#include <TextOutputDev.h>
#include <algorithm>
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

// The page text goes straight to the file; in an HTML page it is escaped first.
struct BodySink {
    platform::AtomicFile* file;
    std::optional<HtmlBodyEscaper> escaper;
};

void writeBody(void* stream, const char* text, int length) {
    auto* sink = static_cast<BodySink*>(stream);
    if (!sink->escaper) {
        sink->file->write(text, static_cast<std::size_t>(length));
        return;
    }
    sink->file->write(sink->escaper->escape(text, static_cast<std::size_t>(length)));
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

std::string JobDocument::configurationFor(const std::string& configPath, const std::string& programDir,
                                          const std::string& pdfPath, JobFeedback& feedback) {
    return EngineSession::readConfiguration(configPath, programDir, pdfPath, feedback);
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

JobOutcome JobDocument::write(const PagePiece& piece, const std::string& configText,
                              platform::AtomicFile& output, const std::string& outputPath) {
    const bool html = options.outputMode != option::textFile;
    BodySink sink{&output, std::nullopt};
    std::unique_ptr<TextOutputDev> device;
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
        device = std::make_unique<TextOutputDev>(writeBody, &sink, options.layout == option::yes, 0.0,
                                                 options.rawMode == option::yes);
        device->setTextEOL(engine->session->endOfLine());
        device->setTextPageBreaks(engine->session->pageBreaks());
    }
    // One page at a time, so a summary asked for meanwhile waits for a page, not a file.
    const int pageCount = piece.last - piece.first + 1;
    for (int page = piece.first; page <= piece.last; ++page) {
        {
            const auto lock = engine::lock();
            engine->document->displayPage(device.get(), page, 72, 72, 0, false, true, false);
        }
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

void JobDocument::reportChanged(const std::string& pdfPath, JobFeedback& feedback) {
    feedback.message(
        {"The file '" + pdfPath + "' changed while it was being converted, so it is not converted.",
         pdfPath});
}

void JobDocument::reportWriteFailure(const std::string& outputPath, const std::string& reason,
                                     const std::string& pdfPath, JobFeedback& feedback) {
    feedback.message({OutputNames::writeFailureMessage(outputPath, reason), pdfPath});
}
