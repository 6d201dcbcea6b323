#pragma once

class GlobalParams;
class PDFDoc;
class TextOutputDev;

// Tells a scanned page from one with text: no character, and an image over at least half of
// the page. Kept cheap for text documents: a page whose resources name no image is never drawn
// for it. Every call wants the engine lock held.
namespace ScanProbe {

// False when the page cannot be a scan: no image among its resources or its forms'.
bool mayBeScan(PDFDoc& document, int page);
// Whether one image drawn on the page covers at least half of its visible area.
bool imageCoversHalf(PDFDoc& document, int page);
// Whether the page that device has just been shown yields no character.
bool yieldsNoText(TextOutputDev& device);
// All three, for callers that do not draw the page's text themselves.
bool isWithoutText(PDFDoc& document, int page);

// Drawing a page needs the engine's global parameters, which only a job sets up: outside one
// this sets the engine's defaults, from the first need() to the end of its life.
class Parameters {
public:
    Parameters() = default;
    ~Parameters();
    Parameters(const Parameters&) = delete;
    Parameters& operator=(const Parameters&) = delete;

    void need();

private:
    GlobalParams* own = nullptr;
};

} // namespace ScanProbe
