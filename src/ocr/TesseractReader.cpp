#include "ocr/TesseractReader.h"

#include "core/OcrLanguages.h"
#include "engine/Engine.h"

#include <PDFDoc.h>
#include <Page.h>
#include <SplashOutputDev.h>
#include <cmath>
#include <cstdlib>
#include <leptonica/allheaders.h>
#include <omp.h>
#include <optional>
#include <splash/SplashBitmap.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>
#include <tuple>

namespace {

// The page's size in pixels at the reader's resolution, as the engine draws its crop box.
std::pair<double, double> pixelSize(::Page& page, double dotsPerInch) {
    double width = page.getCropWidth() / 72.0 * dotsPerInch;
    double height = page.getCropHeight() / 72.0 * dotsPerInch;
    if (page.getRotate() % 180 != 0)
        std::swap(width, height);
    return {std::ceil(std::abs(width)), std::ceil(std::abs(height))};
}

// The orientation detection turns a page only when it is this sure (the margin of the best
// orientation over the next), so an upright page is never turned.
constexpr const char* minTurnMargin = "14";
// The orientation model, installed apart from the languages.
constexpr const char* orientationData = "osd";
// Skew below this reads as well as straight; above it recall falls fast.
constexpr float minSkewDegrees = 0.5f;
// Below this the skew found is noise, not the lines of the page.
constexpr float minSkewConfidence = 3;

struct PixFree {
    void operator()(Pix* picture) const { pixDestroy(&picture); }
};
using Picture = std::unique_ptr<Pix, PixFree>;

// The engine's grey bitmap copied into a picture the recognizer and its image library share.
Picture pictureOf(SplashBitmap& bitmap, double dotsPerInch) {
    const int width = bitmap.getWidth();
    const int height = bitmap.getHeight();
    Picture picture(pixCreate(width, height, 8));
    if (!picture)
        return nullptr;
    const unsigned char* row = bitmap.getDataPtr();
    l_uint32* const data = pixGetData(picture.get());
    const int wordsPerLine = pixGetWpl(picture.get());
    for (int y = 0; y < height; ++y, row += bitmap.getRowSize()) {
        l_uint32* const line = data + static_cast<std::ptrdiff_t>(y) * wordsPerLine;
        for (int x = 0; x < width; ++x)
            SET_DATA_BYTE(line, x, row[x]);
    }
    pixSetResolution(picture.get(), static_cast<int>(dotsPerInch), static_cast<int>(dotsPerInch));
    return picture;
}

// The picture straightened when its lines run at a slant a scanner's feed gives; skewDegrees
// says by how much (0 when it was left as it was).
Picture straightened(Picture picture, double& skewDegrees) {
    skewDegrees = 0;
    const Picture binary(pixConvertTo1(picture.get(), 130));
    float angle = 0;
    float confidence = 0;
    if (!binary || pixFindSkew(binary.get(), &angle, &confidence) != 0 || confidence < minSkewConfidence ||
        std::abs(angle) < minSkewDegrees)
        return picture;
    Picture turned(pixRotate(picture.get(), angle * static_cast<float>(M_PI) / 180.0f, L_ROTATE_AREA_MAP,
                             L_BRING_IN_WHITE, 0, 0));
    if (!turned)
        return picture;
    skewDegrees = angle;
    return turned;
}

// Below this mean word confidence a page may lie turned (an upside-down page reads at about 40,
// a clean upright one above 90).
constexpr int minUprightConfidence = 60;
// The paper's brightness varies more than this over a page lit unevenly.
constexpr l_uint32 maxPaperSpread = 64;
constexpr const char* globalThresholds = "0";
constexpr const char* sauvolaThresholds = "2";

// The paper's brightness in blocks of 16 pixels (each block's brightest pixel, as print rarely
// fills a block): an evenly lit page has nearly one level, a photographed one a wide range.
bool lightIsUneven(Pix* picture) {
    const Picture paper(pixScaleGrayMinMax(picture, 16, 16, L_CHOOSE_MAX));
    l_uint32 dark = 0;
    l_uint32 bright = 0;
    return paper && pixGetRankValue(paper.get(), 1, 0.1f, &dark) == 0 &&
           pixGetRankValue(paper.get(), 1, 0.9f, &bright) == 0 && bright > dark + maxPaperSpread;
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

struct Reading {
    std::vector<PageReader::Line> lines;
    int confidence = 0;
    int turnDegrees = 0;
};

// How far clockwise the page lay turned, as its first block's orientation says.
int turnOf(tesseract::TessBaseAPI& api) {
    const std::unique_ptr<tesseract::PageIterator> block(api.GetIterator());
    tesseract::Orientation orientation = tesseract::ORIENTATION_PAGE_UP;
    tesseract::WritingDirection direction{};
    tesseract::TextlineOrder order{};
    float deskew = 0;
    if (block)
        block->Orientation(&orientation, &direction, &order, &deskew);
    return 90 * static_cast<int>(orientation);
}

std::optional<Reading> recognize(tesseract::TessBaseAPI& api, Pix* picture, tesseract::PageSegMode mode) {
    api.SetPageSegMode(mode);
    api.SetImage(picture);
    api.SetSourceResolution(pixGetXRes(picture));
    std::optional<Reading> reading;
    if (api.Recognize(nullptr) == 0)
        reading =
            Reading{linesOf(api), api.MeanTextConf(), mode == tesseract::PSM_AUTO_OSD ? turnOf(api) : 0};
    api.Clear();
    return reading;
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
    api->SetVariable("min_orientation_margin", minTurnMargin);
    return engines.emplace(languages, std::move(api)).first->second.get();
}

PageReader::Page TesseractReader::read(PDFDoc& document, int page, const std::string& languages,
                                       double dotsPerInch) {
    Page result;
    omp_set_num_threads(1);
    omp_set_max_active_levels(0);
    tesseract::TessBaseAPI* const api = engineFor(languages);
    if (!api)
        return result;
    Picture picture;
    {
        const auto lock = engineLock();
        ::Page* const pageObject = document.getPage(page);
        if (!pageObject)
            return result;
        auto [width, height] = pixelSize(*pageObject, dotsPerInch);
        // A fine scan too large to draw at its own resolution is drawn coarser, down to the
        // least resolution, rather than refused.
        if (width * height / 1e6 > maxMegapixels && dotsPerInch > minDotsPerInch) {
            const double shrink = std::sqrt(maxMegapixels / (width * height / 1e6)) * 0.999;
            dotsPerInch = std::max(minDotsPerInch, dotsPerInch * shrink);
            std::tie(width, height) = pixelSize(*pageObject, dotsPerInch);
        }
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
        picture = pictureOf(*bitmap, dotsPerInch);
    }
    if (!picture)
        return result;
    picture = straightened(std::move(picture), result.skewDegrees);
    // Adaptive thresholds read a page lit unevenly (a photograph under a lamp) where a global one
    // loses its dark corners; they cost a quarter more, so an evenly lit page keeps the global one.
    api->SetVariable("thresholding_method",
                     lightIsUneven(picture.get()) ? sauvolaThresholds : globalThresholds);
    std::optional<Reading> reading = recognize(*api, picture.get(), tesseract::PSM_AUTO);
    // Finding the orientation costs more than half a reading: only a page that reads badly as
    // it lies is read again with it, and the surer reading is kept.
    if (reading && reading->confidence < minUprightConfidence && hasLanguages(orientationData)) {
        std::optional<Reading> turned = recognize(*api, picture.get(), tesseract::PSM_AUTO_OSD);
        if (turned && turned->confidence > reading->confidence)
            reading = std::move(turned);
    }
    if (reading) {
        result.lines = std::move(reading->lines);
        result.turnDegrees = reading->turnDegrees;
        result.status = Page::Status::Read;
    }
    return result;
}
