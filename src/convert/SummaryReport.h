#pragma once

#include <QList>
#include <QString>

// The short report on one PDF file that a click on a job shows: file facts, document facts
// and permissions. Each line keeps its line end; the last has none.
struct SummaryLine {
    enum class Style {
        Path,    // bold, dark blue
        Heading, // bold and underlined
        Plain,
    };
    Style style;
    QString text;
};

struct SummaryReport {
    QList<SummaryLine> lines;
    // False when the file could not be opened as a PDF: the report then ends after the
    // "PDF Description:" heading, and the caller tells the user "Not a valid pdf file!".
    bool documentValid = false;
    int pageCount = 0;

    static SummaryReport build(const QString& pdfPath);
    QString plainText() const;
};
