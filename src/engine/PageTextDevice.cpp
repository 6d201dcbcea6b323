#include "engine/PageTextDevice.h"

#include <GfxFont.h>
#include <GfxState.h>
#include <algorithm>
#include <cmath>
#include <fofi/FoFiTrueType.h>

namespace {

// Letters a text layer never carries: C0 controls other than tab and line ends, the
// replacement character and private-use code points.
bool isUnusableCodePoint(Unicode u) {
    if (u < 0x20)
        return u != '\t' && u != '\n' && u != '\r';
    return u == 0xFFFD || (u >= 0xE000 && u <= 0xF8FF) || u >= 0xF0000;
}

bool isWhiteSpace(const Unicode* u, int uLen) {
    return std::all_of(u, u + uLen, [](Unicode each) { return each == ' ' || each == 0xA0 || each == '\t'; });
}

} // namespace

void PageTextDevice::startPage(int pageNum, GfxState* state, XRef* xref) {
    seen = {};
    largestImageShare = 0;
    pageXRef = xref;
    lastFont = nullptr;
    pageArea = state ? state->getPageWidth() * state->getPageHeight() : 0;
    TextOutputDev::startPage(pageNum, state, xref);
}

double PageTextDevice::textShare() {
    if (pageArea <= 0)
        return 0;
    const std::unique_ptr<TextWordList> words = makeWordList();
    double covered = 0;
    for (int i = 0; i < words->getLength(); ++i) {
        double left = 0, top = 0, right = 0, bottom = 0;
        words->get(i)->getBBox(&left, &top, &right, &bottom);
        covered += (right - left) * (bottom - top);
    }
    return std::min(covered / pageArea, 1.0);
}

void PageTextDevice::drawChar(GfxState* state, double x, double y, double dx, double dy, double originX,
                              double originY, CharCode code, int nBytes, const Unicode* u, int uLen) {
    if (uLen == 0 || !isWhiteSpace(u, uLen)) {
        ++seen.characters;
        seen.invisibleText = seen.invisibleText || state->getRender() == 3;
        GfxFont* const font = state->getFont().get();
        if (font != lastFont) {
            lastFont = font;
            lastFontMapsNoLetters = font && mapsNoLetters(font);
        }
        // A code passed through as its own letter is a glyph number where the font has no map.
        const bool glyphNumber = lastFontMapsNoLetters && uLen == 1 && u[0] == code;
        if (uLen == 0 || glyphNumber || std::any_of(u, u + uLen, isUnusableCodePoint))
            ++seen.unusableCharacters;
    }
    TextOutputDev::drawChar(state, x, y, dx, dy, originX, originY, code, nBytes, u, uLen);
}

bool PageTextDevice::mapsNoLetters(GfxFont* font) {
    if (font->hasToUnicodeCMap())
        return false;
    if (font->isCIDFont()) {
        const GooString* collection = static_cast<GfxCIDFont*>(font)->getCollection();
        return !collection || collection->toStr() == "Adobe-Identity";
    }
    const bool trueType = font->getType() == fontTrueType || font->getType() == fontTrueTypeOT;
    return trueType && font->isSymbolic() && !embedsUnicodeCmap(font);
}

bool PageTextDevice::embedsUnicodeCmap(GfxFont* font) {
    Ref embedded;
    // A font the system supplies maps its codes as its encoding says.
    if (!font->getEmbeddedFontID(&embedded) || !pageXRef)
        return true;
    const auto known = embeddedUnicodeCmaps.find({embedded.num, embedded.gen});
    if (known != embeddedUnicodeCmaps.end())
        return known->second;
    bool unicode = false;
    if (const std::optional<std::vector<unsigned char>> file = font->readEmbFontFile(pageXRef)) {
        if (const auto trueType = FoFiTrueType::make(file->data(), static_cast<int>(file->size()))) {
            for (int i = 0; i < trueType->getNumCmaps(); ++i) {
                const int platform = trueType->getCmapPlatform(i);
                unicode = unicode || platform == 0 || (platform == 3 && trueType->getCmapEncoding(i) == 1);
            }
        } else {
            unicode = true; // not a font to judge: its text is taken as it comes
        }
    } else {
        unicode = true;
    }
    embeddedUnicodeCmaps.emplace(std::pair{embedded.num, embedded.gen}, unicode);
    return unicode;
}

void PageTextDevice::drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height,
                                   bool invert, bool interpolate, bool inlineImg) {
    notePlacedImage(state, width, height);
    OutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
}

void PageTextDevice::drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                               GfxImageColorMap* colorMap, bool interpolate, const int* maskColors,
                               bool inlineImg) {
    notePlacedImage(state, width, height);
    OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
}

void PageTextDevice::drawMaskedImage(GfxState* state, Object*, Stream*, int width, int height,
                                     GfxImageColorMap*, bool, Stream*, int, int, bool, bool) {
    notePlacedImage(state, width, height);
}

void PageTextDevice::drawSoftMaskedImage(GfxState* state, Object*, Stream*, int width, int height,
                                         GfxImageColorMap*, bool, Stream*, int, int, GfxImageColorMap*,
                                         bool) {
    notePlacedImage(state, width, height);
}

// An image fills the unit square of its transformation: its corners on the page give the box
// it covers, clipped to the page.
void PageTextDevice::notePlacedImage(const GfxState* state, int pixelsWide, int pixelsHigh) {
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
    if (width <= 0 || height <= 0)
        return;
    const double share = width * height / (pageWidth * pageHeight);
    seen.imageShare = std::min(seen.imageShare + share, 1.0);
    if (share > largestImageShare) {
        largestImageShare = share;
        seen.imageDotsPerInch = placedResolution(*state, pixelsWide, pixelsHigh);
    }
}

// The image's pixels per inch along its finer side, from the lengths of its sides as placed.
double PageTextDevice::placedResolution(const GfxState& state, int pixelsWide, int pixelsHigh) {
    double originX = 0;
    double originY = 0;
    double wideX = 0;
    double wideY = 0;
    double highX = 0;
    double highY = 0;
    state.transform(0, 0, &originX, &originY);
    state.transform(1, 0, &wideX, &wideY);
    state.transform(0, 1, &highX, &highY);
    const double inchesWide = std::hypot(wideX - originX, wideY - originY) / 72;
    const double inchesHigh = std::hypot(highX - originX, highY - originY) / 72;
    return std::max(inchesWide > 0 ? pixelsWide / inchesWide : 0.0,
                    inchesHigh > 0 ? pixelsHigh / inchesHigh : 0.0);
}
