#include "engine/ScanProbe.h"

#include "engine/Engine.h"

#include <GfxState.h>
#include <GlobalParams.h>
#include <OutputDev.h>
#include <PDFDoc.h>
#include <Page.h>
#include <TextOutputDev.h>
#include <algorithm>
#include <cstring>

namespace {

// Forms may draw forms; a damaged file may make them draw each other for ever.
constexpr int deepestForm = 4;

bool namesImage(Dict* resources, int depth);

bool isImageOrFormWithImage(const Object& xObject, int depth) {
    if (!xObject.isStream())
        return false;
    Dict* dict = xObject.streamGetDict();
    const Object subtype = dict->lookup("Subtype");
    if (subtype.isName("Image"))
        return true;
    if (!subtype.isName("Form") || depth >= deepestForm)
        return false;
    Object resources = dict->lookup("Resources");
    return resources.isDict() && namesImage(resources.getDict(), depth + 1);
}

bool namesImage(Dict* resources, int depth) {
    if (!resources)
        return false;
    const Object xObjects = resources->lookup("XObject");
    if (!xObjects.isDict())
        return false;
    for (int i = 0; i < xObjects.dictGetLength(); ++i) {
        if (isImageOrFormWithImage(xObjects.dictGetVal(i), depth))
            return true;
    }
    return false;
}

// Draws nothing: notes the largest share of the page one image covers. Image data is never
// decoded, only the place the image is drawn at.
class CoverageProbe : public OutputDev {
public:
    double largestShare = 0;

    bool upsideDown() override { return true; }
    bool useDrawChar() override { return false; }
    bool interpretType3Chars() override { return false; }

    void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                       bool interpolate, bool inlineImg) override {
        note(state);
        OutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
    }
    void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                   GfxImageColorMap* colorMap, bool interpolate, const int* maskColors,
                   bool inlineImg) override {
        note(state);
        OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
    }
    void drawMaskedImage(GfxState* state, Object*, Stream*, int, int, GfxImageColorMap*, bool, Stream*, int,
                         int, bool, bool) override {
        note(state);
    }
    void drawSoftMaskedImage(GfxState* state, Object*, Stream*, int, int, GfxImageColorMap*, bool, Stream*,
                             int, int, GfxImageColorMap*, bool) override {
        note(state);
    }

private:
    // An image fills the unit square of its transformation: its corners on the page give the
    // box it covers, clipped to the page.
    void note(const GfxState* state) {
        const double pageWidth = state->getPageWidth();
        const double pageHeight = state->getPageHeight();
        if (pageWidth <= 0 || pageHeight <= 0)
            return;
        double left = pageWidth;
        double top = pageHeight;
        double right = 0;
        double bottom = 0;
        for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}}) {
            double deviceX = 0;
            double deviceY = 0;
            state->transform(x, y, &deviceX, &deviceY);
            left = std::min(left, deviceX);
            right = std::max(right, deviceX);
            top = std::min(top, deviceY);
            bottom = std::max(bottom, deviceY);
        }
        const double width = std::clamp(right, 0.0, pageWidth) - std::clamp(left, 0.0, pageWidth);
        const double height = std::clamp(bottom, 0.0, pageHeight) - std::clamp(top, 0.0, pageHeight);
        if (width > 0 && height > 0)
            largestShare = std::max(largestShare, width * height / (pageWidth * pageHeight));
    }
};

// Drawing a page needs the engine's global parameters, which only a job sets up: outside one
// this sets the engine's defaults, from the first need() to the end of its life.
class Parameters {
public:
    Parameters() = default;
    ~Parameters() { release(); }
    Parameters(const Parameters&) = delete;
    Parameters& operator=(const Parameters&) = delete;

    void need() {
        if (globalParams)
            return;
        globalParams = std::make_unique<GlobalParams>();
        own = globalParams.get();
    }

    void release() {
        if (own && globalParams.get() == own)
            globalParams.reset();
        own = nullptr;
    }

private:
    GlobalParams* own = nullptr;
};

} // namespace

namespace ScanProbe {

bool mayBeScan(PDFDoc& document, int page) {
    Page* pageObject = document.getPage(page);
    return pageObject && namesImage(pageObject->getResourceDict(), 0);
}

bool imageCoversHalf(PDFDoc& document, int page) {
    CoverageProbe probe;
    document.displayPage(&probe, page, 72, 72, 0, false, true, false);
    return probe.largestShare >= 0.5;
}

bool yieldsNoText(TextOutputDev& device) {
    return device.makeWordList()->getLength() == 0;
}

std::vector<int> pagesWithoutText(PDFDoc& document, int firstPage, int lastPage,
                                  const std::function<void()>& alive) {
    // Outside a job the probe draws with the engine's defaults, set up and let go under the lock.
    Parameters parameters;
    std::vector<int> pages;
    for (int page = firstPage; page <= lastPage; ++page) {
        {
            const auto lock = engine::lock();
            if (mayBeScan(document, page)) {
                parameters.need();
                TextOutputDev text(nullptr, false, 0.0, false, false);
                document.displayPage(&text, page, 72, 72, 0, false, true, false);
                if (yieldsNoText(text) && imageCoversHalf(document, page))
                    pages.push_back(page);
            }
        }
        if (alive && (page - firstPage) % 64 == 63)
            alive();
    }
    const auto lock = engine::lock();
    parameters.release();
    return pages;
}

} // namespace ScanProbe
