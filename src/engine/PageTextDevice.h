#pragma once

#include <TextOutputDev.h>
#include <map>
#include <utility>

class GfxFont;

// The engine's text device that also notes, while it takes a page's text, what tells a scan
// from a text page: the share of the page its images cover and how many of its characters
// carry no usable letter. Images are only placed, never decoded, and only on pages that are
// said to name one, so a text page costs no more than its text.
class PageTextDevice : public TextOutputDev {
public:
    using TextOutputDev::TextOutputDev;

    // What the last page shown showed.
    struct Sight {
        int characters = 0;          // other than white space
        int unusableCharacters = 0;  // of those, no letter or a glyph number standing for one
        double imageShare = 0;       // of the page, its images' shares summed, at most 1
        bool invisibleText = false;  // the hidden text a recognizer lays over a scan
        double imageDotsPerInch = 0; // of its largest image, in pixels per inch as placed
    };

    // Whether the pages to come have their images placed: worth it only where one is named.
    void watchImages(bool watch) { watchingImages = watch; }
    const Sight& sight() const { return seen; }
    // The share of the last page shown that the boxes of its words cover.
    double textShare();

    void startPage(int pageNum, GfxState* state, XRef* xref) override;
    bool needNonText() override { return watchingImages; }
    void drawChar(GfxState* state, double x, double y, double dx, double dy, double originX, double originY,
                  CharCode code, int nBytes, const Unicode* u, int uLen) override;
    void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                       bool interpolate, bool inlineImg) override;
    void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                   GfxImageColorMap* colorMap, bool interpolate, const int* maskColors,
                   bool inlineImg) override;
    void drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                         GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                         int maskHeight, bool maskInvert, bool maskInterpolate) override;
    void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                             int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) override;

private:
    void notePlacedImage(const GfxState* state, int pixelsWide, int pixelsHigh);
    // Whether the font's codes reach the text as they are, with nothing to make them letters.
    bool mapsNoLetters(GfxFont* font);
    bool embedsUnicodeCmap(GfxFont* font);
    static double placedResolution(const GfxState& state, int pixelsWide, int pixelsHigh);

    Sight seen;
    bool watchingImages = false;
    double pageArea = 0;
    double largestImageShare = 0;
    XRef* pageXRef = nullptr;
    const GfxFont* lastFont = nullptr;
    bool lastFontMapsNoLetters = false;
    std::map<std::pair<int, int>, bool> embeddedUnicodeCmaps;
};
