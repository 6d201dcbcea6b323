#include "core/ConvertOptions.h"

#include "core/OcrLanguages.h"

ConvertOptions ConvertOptions::defaults() {
    ConvertOptions options;
    options.resetToDefaults();
    return options;
}

void ConvertOptions::resetToDefaults() {
    pageRange = option::allPages;
    startPage = 1;
    endPage = 1000;
    openResult = option::yes;
    htmlMeta = option::yes;
    outputMode = option::textFile;
    layout = option::yes;
    rawMode = 1;
    endOfLine = option::eolDos;
    pageBreaks = option::yes;
    recognizeScannedPages = option::recognizePagesWithoutText;
    ocrLanguages = OcrLanguages::defaultChoice;
}

std::string option::pagesWithoutTextMessage(const std::string& pdfPath, int pages, int unusablePages) {
    std::string counts;
    if (pages > 0)
        counts = std::to_string(pages) + " pages without text";
    if (unusablePages > 0)
        counts +=
            (counts.empty() ? "" : " and ") + std::to_string(unusablePages) + " pages with unusable text";
    return "'" + pdfPath + "' has " + counts + "; turn on Recognize Scanned Pages to read them.";
}
