#include "ocr/TesseractReader.h"

#include "core/OcrLanguages.h"
#include "engine/Engine.h"

#include <PDFDoc.h>
#include <Page.h>
#include <SplashOutputDev.h>
#include <cmath>
#include <cstdlib>
#include <omp.h>
#include <splash/SplashBitmap.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

namespace {

// The page's size in pixels at the reader's resolution, as the engine draws its crop box.
std::pair<double, double> pixelSize(::Page& page) {
    double width = page.getCropWidth() / 72.0 * TesseractReader::dotsPerInch;
    double height = page.getCropHeight() / 72.0 * TesseractReader::dotsPerInch;
    if (page.getRotate() % 180 != 0)
        std::swap(width, height);
    return {std::ceil(std::abs(width)), std::ceil(std::abs(height))};
}

std::string trimmed(const char* text) {
    std::string line = text ? text : "";
    while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::vector<PageReader::Line> linesOf(tesseract::TessBaseAPI& api) {
    std::vector<PageReader::Line> lines;
    const std::unique_ptr<tesseract::ResultIterator> line(api.GetIterator());
    if (!line)
        return lines;
    do {
        if (line->Empty(tesseract::RIL_TEXTLINE))
            continue;
        const std::unique_ptr<char[]> text(line->GetUTF8Text(tesseract::RIL_TEXTLINE));
        PageReader::Line read;
        read.text = trimmed(text.get());
        if (read.text.empty())
            continue;
        line->BoundingBox(tesseract::RIL_TEXTLINE, &read.left, &read.top, &read.right, &read.bottom);
        read.startsParagraph = line->IsAtBeginningOf(tesseract::RIL_PARA);
        lines.push_back(std::move(read));
    } while (line->Next(tesseract::RIL_TEXTLINE));
    return lines;
}

} // namespace

TesseractReader::TesseractReader(EngineLock engineLock) : engineLock(engineLock) {}

TesseractReader::~TesseractReader() {
    for (auto& [languages, api] : engines)
        api->End();
}

void TesseractReader::installForProcess() {
    // The recognizer's thread library reads this when it loads; where it is loaded already,
    // read() turns its threads off for the thread that reads.
    ::setenv("OMP_THREAD_LIMIT", "1", 0);
    static TesseractReader reader(engine::lock);
    PageReader::install(&reader);
}

// Language names are file names in the data folder: none may leave it.
bool TesseractReader::hasLanguages(const std::string& languages) {
    return !languages.empty() && OcrLanguages::missing(languages).empty();
}

tesseract::TessBaseAPI* TesseractReader::engineFor(const std::string& languages) {
    if (const auto found = engines.find(languages); found != engines.end())
        return found->second.get();
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    // Its notes on each page would reach the user's terminal in the one-process mode.
    api->SetVariable("debug_file", "/dev/null");
    if (!hasLanguages(languages) ||
        api->Init(OcrLanguages::dataFolder().c_str(), languages.c_str(), tesseract::OEM_DEFAULT) != 0)
        return nullptr;
    api->SetPageSegMode(tesseract::PSM_AUTO);
    return engines.emplace(languages, std::move(api)).first->second.get();
}

PageReader::Page TesseractReader::read(PDFDoc& document, int page, const std::string& languages) {
    Page result;
    omp_set_num_threads(1);
    omp_set_max_active_levels(0);
    tesseract::TessBaseAPI* const api = engineFor(languages);
    if (!api)
        return result;
    {
        const auto lock = engineLock();
        ::Page* const pageObject = document.getPage(page);
        if (!pageObject)
            return result;
        const auto [width, height] = pixelSize(*pageObject);
        result.megapixels = width * height / 1e6;
        if (!(result.megapixels <= maxMegapixels)) {
            result.status = Page::Status::TooLarge;
            return result;
        }
        SplashColor paper{0xFF};
        SplashOutputDev splash(splashModeMono8, 1, false, paper);
        splash.startDoc(&document);
        document.displayPage(&splash, page, dotsPerInch, dotsPerInch, 0, false, true, false);
        SplashBitmap* const bitmap = splash.getBitmap();
        if (!bitmap || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0)
            return result;
        // Tesseract keeps a copy: the engine's bitmap goes with its lock.
        api->SetImage(bitmap->getDataPtr(), bitmap->getWidth(), bitmap->getHeight(), 1, bitmap->getRowSize());
    }
    api->SetSourceResolution(static_cast<int>(dotsPerInch));
    if (api->Recognize(nullptr) == 0) {
        result.lines = linesOf(*api);
        result.status = Page::Status::Read;
    }
    api->Clear();
    return result;
}
