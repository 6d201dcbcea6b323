#include "convert/FileConverter.h"

#include "convert/CMapConfig.h"
#include "convert/Engine.h"
#include "convert/EngineSession.h"
#include "convert/HtmlHead.h"
#include "convert/OutputFile.h"
#include "platform/Dialogs.h"

#include <PDFDoc.h>
#include <QDir>
#include <QFileInfo>
#include <TextOutputDev.h>
#include <algorithm>
#include <memory>
#include <optional>

namespace {

struct PageRange {
    int first = 1;
    int last = 0;
};

PageRange pageRangeFor(const ConvertOptions& options, int pageCount) {
    if (options.pageRange == option::allPages)
        return {1, pageCount};
    return {options.startPage >= 1 ? options.startPage : 1, std::min(options.endPage, pageCount)};
}

void report(const QString& text, const QString& pdfPath) {
    platform::Dialogs::message(text, platform::MessageButtons::Ok, pdfPath);
}

// The page text goes straight to the file; in an HTML page it is escaped first.
struct BodySink {
    OutputFile* file;
    bool escape;
};

void writeBody(void* stream, const char* text, int length) {
    auto* sink = static_cast<BodySink*>(stream);
    if (!sink->escape) {
        sink->file->write(text, static_cast<std::size_t>(length));
        return;
    }
    const QByteArray escaped = HtmlHead::escape(QByteArray::fromRawData(text, length));
    sink->file->write(escaped.constData(), static_cast<std::size_t>(escaped.size()));
}

// Everything the engine owns for a job, released under the engine lock in the order the
// engine expects: the text device, the document, the global parameters.
struct EngineObjects {
    std::unique_ptr<PDFDoc> document;
    std::optional<EngineSession> session;
    std::unique_ptr<TextOutputDev> device;

    ~EngineObjects() {
        const auto lock = engine::lock();
        device.reset();
        document.reset();
        session.reset();
    }
};

} // namespace

FileConverter::FileConverter(const ConvertOptions& options, const QString& configPath,
                             const QString& programDir)
    : options(options), configPath(configPath), programDir(programDir) {}

void FileConverter::setProgressHandler(std::function<void(const QString&)> handler) {
    progress = std::move(handler);
}

QString FileConverter::outputPathFor(const QString& pdfPath, const ConvertOptions& options) {
    const QFileInfo pdf(pdfPath);
    const QString name =
        pdf.completeBaseName() +
        (options.outputMode != option::textFile ? QStringLiteral(".htm") : QStringLiteral(".txt"));
    // The folder is joined with exactly one separator, whether or not it was given one.
    const QFileInfo folder(options.outputDirectory);
    if (!options.outputDirectory.isEmpty() && folder.isDir())
        return QDir(options.outputDirectory).filePath(name);
    return pdf.dir().filePath(name);
}

JobOutcome FileConverter::convert(const ConvertJob& job) {
    EngineObjects engine;
    int pageCount = 0;
    {
        const auto lock = engine::lock();
        engine.document = engine::openDocument(job.pdfPath, job.ownerPassword, job.userPassword);
        if (engine.document->isOk() && engine.document->okToCopy())
            pageCount = engine.document->getNumPages();
    }
    if (!engine.document->isOk()) {
        report(QStringLiteral("Not a valid pdf file!"), job.pdfPath);
        return JobOutcome::Skipped;
    }
    if (!engine.document->okToCopy()) {
        report(QStringLiteral("Copying of text from this document is not allowed."), job.pdfPath);
        return JobOutcome::Skipped;
    }
    const PageRange range = pageRangeFor(options, pageCount);
    if (range.first > range.last) {
        report(QStringLiteral("The '%1' file only contain %2 pages, please correct the page range in the "
                              "setting dialog and try again.")
                   .arg(job.pdfPath)
                   .arg(pageCount),
               job.pdfPath);
        return JobOutcome::EndBatch;
    }

    const QByteArray configText = EngineSession::readConfiguration(configPath, programDir, job.pdfPath);
    const bool html = options.outputMode != option::textFile;
    const QString outputPath = outputPathFor(job.pdfPath, options);
    OutputFile output(outputPath);
    const bool opened = output.open();
    {
        const auto lock = engine::lock();
        engine.session.emplace(configText, options);
        if (opened && html)
            HtmlHead::write(output, *engine.document, *engine.session->headMap(),
                            options.htmlMeta == option::yes);
    }

    // The engine names the encoding of the page text; ISO-2022 output is all two-byte codes
    // whose halves may look like markup, and it holds no markup character of its own.
    BodySink sink{&output,
                  html &&
                      !CMapConfig::encodingName(options.textEncoding).startsWith(QLatin1String("ISO-2022"))};
    if (opened) {
        const auto lock = engine::lock();
        engine.device = std::make_unique<TextOutputDev>(writeBody, &sink, options.layout == option::yes, 0.0,
                                                        options.rawMode == option::yes);
        engine.device->setTextEOL(engine.session->endOfLine());
        engine.device->setTextPageBreaks(engine.session->pageBreaks());
    }
    if (engine.device && engine.device->isOk()) {
        // One page at a time, so a summary asked for meanwhile waits for a page, not a file.
        for (int page = range.first; page <= range.last; ++page) {
            const auto lock = engine::lock();
            engine.document->displayPage(engine.device.get(), page, 72, 72, 0, false, true, false);
        }
    }
    if (opened && html)
        HtmlHead::writeFoot(output);

    if (!opened || !output.commit()) {
        report(
            QStringLiteral("Could not write the output file '%1': %2.").arg(outputPath, output.errorString()),
            job.pdfPath);
        return JobOutcome::Skipped;
    }
    if (progress)
        progress(QStringLiteral("File %1 of %2, %3%")
                     .arg(job.jobNumber)
                     .arg(job.jobCount)
                     .arg(100LL * job.jobNumber / std::max(job.jobCount, 1)));
    return JobOutcome::Converted;
}
