#pragma once

#include <string>
#include <vector>

// The short report on one PDF file that a click on a job shows: file facts, document facts
// and permissions. Each line keeps its line end; the last has none.
struct SummaryLine {
    enum class Style {
        Path,    // bold, dark blue
        Heading, // bold and underlined
        Plain,
    };
    Style style;
    std::string text;
};

struct SummaryReport {
    std::vector<SummaryLine> lines;
    // False when the file could not be opened as a PDF: the report then ends after the
    // "PDF Description:" heading, and the caller says why after it.
    bool documentValid = false;
    // The document is encrypted and the password it needs was not given or is wrong, so the
    // user is told where to type it rather than that the file is no PDF.
    bool encrypted = false;
    int pageCount = 0;
    // Pages a conversion reads from their picture: scans, with no text or a stamp on them, and
    // pages whose text layer holds no usable letters.
    int pagesWithoutText = 0;
    int pagesWithUnusableText = 0;

    // The document is opened with the passwords given, as a job would open it.
    static SummaryReport build(const std::string& pdfPath, const std::string& ownerPassword = {},
                               const std::string& userPassword = {});
    // The lines about the file alone, up to the "PDF Description:" heading: the report on a
    // file the engine cannot read.
    static SummaryReport fileFacts(const std::string& pdfPath);
    std::string plainText() const;
};
