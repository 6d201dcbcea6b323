#pragma once

#include <functional>
#include <vector>

class PDFDoc;
class TextOutputDev;

// Tells a scanned page from one with text: no character, and an image over at least half of
// the page. Kept cheap for text documents: a page whose resources name no image is never drawn
// for it. Every call but pagesWithoutText wants the engine lock held.
namespace ScanProbe {

// False when the page cannot be a scan: no image among its resources or its forms'.
bool mayBeScan(PDFDoc& document, int page);
// Whether one image drawn on the page covers at least half of its visible area.
bool imageCoversHalf(PDFDoc& document, int page);
// Whether the page that device has just been shown yields no character.
bool yieldsNoText(TextOutputDev& device);
// The pages of first..last without text, by all three tests. It takes the engine lock a page
// at a time, so a long walk never holds up another job. alive, when given, is called every 64
// pages.
std::vector<int> pagesWithoutText(PDFDoc& document, int firstPage, int lastPage,
                                  const std::function<void()>& alive = {});

} // namespace ScanProbe
