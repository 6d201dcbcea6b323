#include "engine/ScanProbe.h"

#include "engine/Engine.h"
#include "engine/PageTextDevice.h"

#include <GfxState.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Page.h>
#include <algorithm>
#include <set>
#include <utility>

namespace {

// Forms may draw forms; a damaged file may make them draw each other for ever.
constexpr int deepestForm = 4;

using Refs = std::set<std::pair<int, int>>;

// Whether onImage holds for the dictionary of an image the resources name, directly or through
// their forms. Each object is looked at once per visited, however often it is named: a hostile
// file may name one form thousands of times from forms named thousands of times.
bool anyImage(Dict* resources, int depth, Refs& visited, const std::function<bool(Dict*)>& onImage) {
    const Object xObjects = resources ? resources->lookup("XObject") : Object();
    if (!xObjects.isDict())
        return false;
    for (int i = 0; i < xObjects.dictGetLength(); ++i) {
        const Object& ref = xObjects.dictGetValNF(i);
        if (ref.isRef() && !visited.insert({ref.getRefNum(), ref.getRefGen()}).second)
            continue;
        const Object xObject = xObjects.dictGetVal(i);
        if (!xObject.isStream())
            continue;
        Dict* dict = xObject.streamGetDict();
        const Object subtype = dict->lookup("Subtype");
        if (subtype.isName("Image") && onImage(dict))
            return true;
        if (subtype.isName("Form") && depth < deepestForm) {
            const Object formResources = dict->lookup("Resources");
            if (anyImage(formResources.isDict() ? formResources.getDict() : nullptr, depth + 1, visited,
                         onImage))
                return true;
        }
    }
    return false;
}

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

// A picture below this many pixels is a logo or an ornament, never a page's scan.
constexpr long long scanPixels = 500'000;
// A page with no text shows its pictures unless they are specks.
constexpr double shownShare = 0.01;
// A scan covers most of its page; a stamp on it covers a sliver.
constexpr double scanShare = 0.8;
constexpr double stampShare = 0.02;
// A text layer with this share of unusable characters is no text to keep.
constexpr double unusableShare = 0.1;

// A picture large enough to be a scan.
bool isLarge(Dict* image) {
    const Object width = image->lookup("Width");
    const Object height = image->lookup("Height");
    return width.isInt() && height.isInt() &&
           static_cast<long long>(width.getInt()) * height.getInt() >= scanPixels;
}

// A composite font whose codes are glyph numbers, with no map from them to letters.
bool namesGlyphNumberFont(Dict* resources) {
    const Object fonts = resources ? resources->lookup("Font") : Object();
    if (!fonts.isDict())
        return false;
    for (int i = 0; i < fonts.dictGetLength(); ++i) {
        const Object font = fonts.dictGetVal(i);
        if (!font.isDict() || !font.dictLookup("Subtype").isName("Type0"))
            continue;
        const Object encoding = font.dictLookup("Encoding");
        if ((encoding.isName("Identity-H") || encoding.isName("Identity-V")) &&
            font.dictLookup("ToUnicode").isNull())
            return true;
    }
    return false;
}

} // namespace

namespace ScanProbe {

bool namesImage(PDFDoc& document, int page) {
    Page* pageObject = document.getPage(page);
    Refs visited;
    return pageObject && anyImage(pageObject->getResourceDict(), 0, visited, [](Dict*) { return true; });
}

Reason reasonToRead(PageTextDevice& device) {
    const PageTextDevice::Sight& sight = device.sight();
    if (sight.characters == 0)
        return sight.imageShare >= shownShare ? Reason::NoText : Reason::None;
    if (sight.unusableCharacters >= sight.characters * unusableShare)
        return Reason::UnusableText;
    // A searchable scan's hidden text is the scan's own, however little of it there is.
    if (!sight.invisibleText && sight.imageShare >= scanShare && device.textShare() <= stampShare)
        return Reason::NoText;
    return Reason::None;
}

std::vector<int> pagesLikelyRead(PDFDoc& document, int firstPage, int lastPage,
                                 const std::function<void()>& alive) {
    // An image or form an earlier page named is a letterhead's, not a scan.
    Refs named;
    std::vector<int> pages;
    for (int page = firstPage; page <= lastPage; ++page) {
        {
            const auto lock = engine::lock();
            Page* pageObject = document.getPage(page);
            Dict* resources = pageObject ? pageObject->getResourceDict() : nullptr;
            const bool largeImage = anyImage(resources, 0, named, isLarge);
            if (largeImage || namesGlyphNumberFont(resources))
                pages.push_back(page);
        }
        if (alive && (page - firstPage) % 64 == 63)
            alive();
    }
    return pages;
}

Counts pagesToRead(PDFDoc& document, int firstPage, int lastPage) {
    // Outside a job the pages are drawn with the engine's defaults, set up and let go under the
    // lock.
    Parameters parameters;
    Counts counts;
    for (int page = firstPage; page <= lastPage; ++page) {
        const auto lock = engine::lock();
        parameters.need();
        PageTextDevice device(nullptr, false, 0.0, false, false);
        device.watchImages(namesImage(document, page));
        document.displayPage(&device, page, 72, 72, 0, false, true, false);
        const Reason reason = reasonToRead(device);
        counts.withoutText += reason == Reason::NoText;
        counts.unusableText += reason == Reason::UnusableText;
    }
    const auto lock = engine::lock();
    parameters.release();
    return counts;
}

} // namespace ScanProbe
