#pragma once

#include "engine/PageReader.h"

#include <map>
#include <memory>
#include <string>

namespace tesseract {
class TessBaseAPI;
}

// Reads scanned pages with Tesseract: the page drawn by the engine in grey at the resolution it
// is asked for, turned upright and straightened when it lies turned or skewed, read one page at
// a time on the calling thread alone (the worker pool gives the parallelism; a recognizer running
// threads of its own in every worker would only crowd the cores).
class TesseractReader : public PageReader {
public:
    // A picture larger than this is refused rather than drawn: a hostile page size must not
    // take the worker's memory.
    static constexpr double maxMegapixels = 100;

    // engineLock guards the engine while a page is drawn.
    explicit TesseractReader(EngineLock engineLock);
    ~TesseractReader() override;

    bool hasLanguages(const std::string& languages) override;
    Page read(PDFDoc& document, int page, const std::string& languages, double dotsPerInch) override;

    // Makes this process's reader a Tesseract one linked into the program (the recognizer's
    // module is the programs' way; this is for code that links the recognizer itself).
    static void installForProcess();

private:
    tesseract::TessBaseAPI* engineFor(const std::string& languages);

    EngineLock engineLock;

    // Started once per set of languages: loading the models takes longer than a page.
    std::map<std::string, std::unique_ptr<tesseract::TessBaseAPI>> engines;
};
