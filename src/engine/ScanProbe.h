#pragma once

#include <functional>
#include <vector>

class PDFDoc;
class PageTextDevice;

// Tells the pages to read from their picture from those whose text the engine takes, from
// what the text pass sees: a page showing images and no text, a scan whose only text is a
// stamp over it, and a page whose text carries no usable letters. Every call but the walks
// wants the engine lock held.
namespace ScanProbe {

enum class Reason {
    None,         // a text page, or nothing to read
    NoText,       // what it shows is pictures
    UnusableText, // its text layer holds no letters a reader could use
};

// False when no image is named among the page's resources or its forms': its images are then
// not worth placing.
bool namesImage(PDFDoc& document, int page);
// Why the page the device has just been shown is to be read, when it is.
Reason reasonToRead(PageTextDevice& device);

// A cheap guess, from the page's resources alone, at whether the page will be read: it names a
// picture large enough to be a scan and not named by an earlier page of the walk, and no font
// or drawing instructions short enough for a stamp; or a font whose codes are glyph numbers.
// The job's own text pass decides.
std::vector<int> pagesLikelyRead(PDFDoc& document, int firstPage, int lastPage,
                                 const std::function<void()>& alive = {});

// How many pages of first..last are read, by reason, each page drawn as the text pass draws it.
struct Counts {
    int withoutText = 0;
    int unusableText = 0;
};
Counts pagesToRead(PDFDoc& document, int firstPage, int lastPage);

} // namespace ScanProbe
