#include "convert/SummaryReport.h"

#include "convert/Engine.h"
#include "convert/FileFacts.h"
#include "platform/FilePath.h"

#include <Catalog.h>
#include <PDFDoc.h>
#include <Page.h>

namespace {

using Style = SummaryLine::Style;

QString acrobatName(const QString& version) {
    static const QStringList names{QStringLiteral("1.0"), QStringLiteral("1.1"), QStringLiteral("1.2"),
                                   QStringLiteral("1.3"), QStringLiteral("1.4"), QStringLiteral("1.5"),
                                   QStringLiteral("1.6")};
    const qsizetype index = names.indexOf(version);
    if (index < 0)
        return QStringLiteral(" (Unknown Acrobat Version) ");
    return QStringLiteral(" (Acrobat %1.x) ").arg(index + 1);
}

QString permission(const char* what, bool allowed) {
    return QStringLiteral("\t%1: %2")
        .arg(QLatin1String(what), allowed ? QStringLiteral("Allowed") : QStringLiteral("Not Allowed"));
}

void addDocumentLines(SummaryReport& report, PDFDoc& document) {
    report.pageCount = document.getNumPages();
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
    const QString version =
        QString::asprintf("%.1f", document.getPDFMajorVersion() + document.getPDFMinorVersion() / 10.0);
    report.lines.append({Style::Plain, QStringLiteral("\tPDF Version: ") + version + acrobatName(version) +
                                           QLatin1Char('\n')});
    report.lines.append({Style::Plain, QString::asprintf("\tPage Size: %.0f x %.0f Pixel\n", width, height)});
    report.lines.append({Style::Plain, QStringLiteral("\tNumber of Pages: %1\n").arg(report.pageCount)});
    report.lines.append({Style::Heading, QStringLiteral("PDF Security:\n")});
    report.lines.append({Style::Plain, permission("Printing", document.okToPrint()) + QLatin1Char('\n')});
    report.lines.append(
        {Style::Plain, permission("Document Assembly", document.okToChange()) + QLatin1Char('\n')});
    report.lines.append(
        {Style::Plain, permission("Content Copying or Extraction", document.okToCopy()) + QLatin1Char('\n')});
    report.lines.append({Style::Plain, permission("Commenting", document.okToAddNotes())});
}

} // namespace

SummaryReport SummaryReport::build(const QString& pdfPath) {
    SummaryReport report;
    const platform::CFilePath file(pdfPath);
    quint64 bytes = 0;
    file.size(bytes);
    QDateTime created;
    file.time(0, created);
    report.lines.append({Style::Path, file.longPath() + QLatin1Char('\n')});
    report.lines.append({Style::Heading, QStringLiteral("Summary:\n")});
    report.lines.append(
        {Style::Plain, QStringLiteral("\tFile Size: %1 KB (%2 Bytes)\n")
                           .arg(FileFacts::groupThousands(bytes / 1024), FileFacts::groupThousands(bytes))});
    report.lines.append(
        {Style::Plain, QStringLiteral("\tCreation Time: %1\n").arg(FileFacts::formatTime(created))});
    report.lines.append({Style::Heading, QStringLiteral("PDF Description:\n")});

    const auto lock = engine::lock();
    const std::unique_ptr<PDFDoc> document = engine::openDocument(pdfPath);
    report.documentValid = document->isOk();
    if (report.documentValid)
        addDocumentLines(report, *document);
    return report;
}

QString SummaryReport::plainText() const {
    QString text;
    for (const SummaryLine& line : lines)
        text += line.text;
    return text;
}
