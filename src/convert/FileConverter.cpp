#include "convert/FileConverter.h"

#include "convert/CMapConfig.h"
#include "convert/Engine.h"
#include "convert/EngineSession.h"
#include "convert/HtmlBodyEscaper.h"
#include "convert/HtmlHead.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/FileIdentity.h"
#include "platform/FilePath.h"
#include "platform/SystemFolders.h"

#include <PDFDoc.h>
#include <TextOutputDev.h>
#include <algorithm>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace {

struct PageRange {
    int first = 1;
    int last = 0;
};

// Everything the engine owns for a job, released under the engine lock: the document, then
// the global parameters.
struct EngineObjects {
    std::unique_ptr<PDFDoc> document;
    std::optional<EngineSession> session;

    ~EngineObjects() {
        const auto lock = engine::lock();
        document.reset();
        session.reset();
    }
};

PageRange pageRangeFor(const ConvertOptions& options, int pageCount) {
    if (options.pageRange == option::allPages)
        return {1, pageCount};
    return {options.startPage >= 1 ? options.startPage : 1, std::min(options.endPage, pageCount)};
}

void report(const std::string& text, const std::string& pdfPath) {
    platform::Dialogs::message(text, platform::MessageButtons::Ok, pdfPath);
}

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

// Lets the engine's text device write the pages of the range into the sink.
void writePages(EngineObjects& engine, const PageRange& range, BodySink& sink, const ConvertOptions& options,
                const PageProgress& progress) {
    std::unique_ptr<TextOutputDev> device;
    {
        const auto lock = engine::lock();
        device = std::make_unique<TextOutputDev>(writeBody, &sink, options.layout == option::yes, 0.0,
                                                 options.rawMode == option::yes);
        device->setTextEOL(engine.session->endOfLine());
        device->setTextPageBreaks(engine.session->pageBreaks());
    }
    // One page at a time, so a summary asked for meanwhile waits for a page, not a file.
    const int pageCount = range.last - range.first + 1;
    for (int page = range.first; page <= range.last; ++page) {
        {
            const auto lock = engine::lock();
            engine.document->displayPage(device.get(), page, 72, 72, 0, false, true, false);
        }
        if (progress)
            progress(page - range.first + 1, pageCount);
    }
    {
        const auto lock = engine::lock();
        device.reset();
    }
}

// Writes the head, the pages and the foot; false when the file cannot be written.
bool writeOutput(EngineObjects& engine, const PageRange& range, const ConvertOptions& options,
                 const std::string& configText, platform::AtomicFile& output, const PageProgress& progress) {
    const bool html = options.outputMode != option::textFile;
    const bool opened = output.open();
    BodySink sink{&output, std::nullopt};
    {
        const auto lock = engine::lock();
        engine.session.emplace(configText, options);
        if (!opened)
            return false;
        if (html) {
            HtmlHead::write(output, *engine.document, *engine.session->headMap(),
                            options.htmlMeta == option::yes);
            sink.escaper.emplace(CMapConfig::encodingName(options.textEncoding), engine.session->textMap());
        }
    }
    writePages(engine, range, sink, options, progress);
    if (html)
        HtmlHead::writeFoot(output);
    return output.commit();
}

} // namespace

FileConverter::FileConverter(std::string configPath, std::string programDir)
    : configPath(std::move(configPath)), programDir(std::move(programDir)) {}

std::string FileConverter::outputPathFor(const std::string& pdfPath, const ConvertOptions& options) {
    const platform::CFilePath pdf(pdfPath);
    const std::string name = pdf.title() + (options.outputMode != option::textFile ? ".htm" : ".txt");
    // The folder is joined with exactly one separator, whether or not it was given one.
    struct stat info {};
    if (!options.outputDirectory.empty() && ::stat(options.outputDirectory.c_str(), &info) == 0 &&
        S_ISDIR(info.st_mode))
        return platform::SystemFolders::withTrailingSlash(options.outputDirectory) + name;
    return pdf.folder() + name;
}

JobOutcome FileConverter::convert(const ConvertJob& job, const ConvertOptions& options,
                                  const PageProgress& progress) {
    const std::string outputPath = outputPathFor(job.pdfPath, options);
    if (platform::FileIdentity::sameFile(outputPath, job.pdfPath)) {
        report("The output file '" + outputPath +
                   "' would replace the PDF file itself, so it is not converted.",
               job.pdfPath);
        return JobOutcome::Skipped;
    }
    EngineObjects engine;
    int pageCount = 0;
    {
        const auto lock = engine::lock();
        engine.document = engine::openDocument(job.pdfPath, job.ownerPassword, job.userPassword);
        if (engine.document->isOk() && engine.document->okToCopy())
            pageCount = engine.document->getNumPages();
    }
    if (!engine.document->isOk()) {
        report("Not a valid pdf file!", job.pdfPath);
        return JobOutcome::Skipped;
    }
    if (!engine.document->okToCopy()) {
        report("Copying of text from this document is not allowed.", job.pdfPath);
        return JobOutcome::Skipped;
    }
    const PageRange range = pageRangeFor(options, pageCount);
    if (range.first > range.last) {
        report("The '" + job.pdfPath + "' file only contain " + std::to_string(pageCount) +
                   " pages, please correct the page range in the setting dialog and try again.",
               job.pdfPath);
        return JobOutcome::EndBatch;
    }

    platform::AtomicFile output(outputPath);
    const std::string configText = EngineSession::readConfiguration(configPath, programDir, job.pdfPath);
    if (!writeOutput(engine, range, options, configText, output, progress)) {
        report("Could not write the output file '" + outputPath + "': " + output.errorString() + ".",
               job.pdfPath);
        return JobOutcome::Skipped;
    }
    return JobOutcome::Converted;
}
