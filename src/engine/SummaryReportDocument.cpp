// The document part of the summary report, which reads the PDF: apart from the rest of the
// report so that code handing summaries to worker processes loads no PDF engine.
#include "core/SummaryReport.h"

#include "engine/Engine.h"
#include "engine/ScanProbe.h"

#include <Catalog.h>
#include <ErrorCodes.h>
#include <PDFDoc.h>
#include <Page.h>
#include <array>
#include <cstdio>

namespace {

using Style = SummaryLine::Style;

std::string acrobatName(const std::string& version) {
    static const std::array<const char*, 7> versions{"1.0", "1.1", "1.2", "1.3", "1.4", "1.5", "1.6"};
    for (std::size_t i = 0; i < versions.size(); ++i) {
        if (version == versions[i])
            return " (Acrobat " + std::to_string(i + 1) + ".x) ";
    }
    return " (Unknown Acrobat Version) ";
}

std::string permission(const char* what, bool allowed) {
    return std::string("\t") + what + (allowed ? ": Allowed" : ": Not Allowed");
}

std::string format(const char* pattern, double a, double b) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

// The page walk takes the engine lock a page at a time; the rest holds it, briefly.
void addDocumentLines(SummaryReport& report, PDFDoc& document) {
    report.pageCount = document.getNumPages();
    const ScanProbe::Counts toRead = ScanProbe::pagesToRead(document, 1, report.pageCount);
    report.pagesWithoutText = toRead.withoutText;
    report.pagesWithUnusableText = toRead.unusableText;
    const auto lock = engine::lock();
    double width = 0;
    double height = 0;
    // A document without pages has no page size to show.
    if (report.pageCount > 0) {
        if (Page* first = document.getCatalog()->getPage(1)) {
            const PDFRectangle* box = first->getMediaBox();
            width = (box->x2 - box->x1) * 1.3333333333333333;
            height = (box->y2 - box->y1) * 1.3333333333333333;
        }
    }
    char version[32];
    std::snprintf(version, sizeof version, "%.1f",
                  document.getPDFMajorVersion() + document.getPDFMinorVersion() / 10.0);
    auto add = [&](Style style, std::string text) { report.lines.push_back({style, std::move(text)}); };
    add(Style::Plain, std::string("\tPDF Version: ") + version + acrobatName(version) + "\n");
    add(Style::Plain, format("\tPage Size: %.0f x %.0f Pixel\n", width, height));
    add(Style::Plain, "\tNumber of Pages: " + std::to_string(report.pageCount) + "\n");
    add(Style::Plain, "\tPages without text: " + std::to_string(report.pagesWithoutText) + "\n");
    add(Style::Plain, "\tPages with unusable text: " + std::to_string(report.pagesWithUnusableText) + "\n");
    add(Style::Heading, "PDF Security:\n");
    add(Style::Plain, permission("Printing", document.okToPrint()) + "\n");
    add(Style::Plain, permission("Document Assembly", document.okToChange()) + "\n");
    add(Style::Plain, permission("Content Copying or Extraction", document.okToCopy()) + "\n");
    add(Style::Plain, permission("Commenting", document.okToAddNotes()));
}

} // namespace

SummaryReport SummaryReport::build(const std::string& pdfPath, const std::string& ownerPassword,
                                   const std::string& userPassword) {
    SummaryReport report = fileFacts(pdfPath);
    std::unique_ptr<PDFDoc> document;
    {
        const auto lock = engine::lock();
        document = engine::openDocument(pdfPath, ownerPassword, userPassword);
        report.documentValid = document->isOk();
        report.encrypted = !report.documentValid && document->getErrorCode() == errEncrypted;
    }
    if (report.documentValid)
        addDocumentLines(report, *document);
    const auto lock = engine::lock();
    document.reset();
    return report;
}
