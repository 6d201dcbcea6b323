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

// Whether visit holds for an image or a form the resources name, directly or through their
// forms; visit gets its dictionary and whether it is an image. Each object is looked at once
// per visited, however often it is named: a hostile file may name one form thousands of times
// from forms named thousands of times.
bool anyXObject(Dict* resources, int depth, Refs& visited, const std::function<bool(Dict*, bool)>& visit) {
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
        if (subtype.isName("Image") && visit(dict, true))
            return true;
        if (!subtype.isName("Form"))
            continue;
        if (visit(dict, false))
            return true;
        const Object formResources = dict->lookup("Resources");
        if (depth < deepestForm &&
            anyXObject(formResources.isDict() ? formResources.getDict() : nullptr, depth + 1, visited, visit))
            return true;
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

// A page that names a font and draws more than this many bytes has more text than a stamp.
constexpr long long stampBytes = 1024;

long long streamBytes(Dict* stream) {
    const Object bytes = stream->lookup("Length");
    return bytes.isInt() ? bytes.getInt() : 0;
}

bool namesFont(Dict* resources) {
    const Object fonts = resources ? resources->lookup("Font") : Object();
    return fonts.isDict() && fonts.dictGetLength() > 0;
}

// What a page draws, as its resources and its forms' tell without drawing it.
struct Named {
    bool largeImage = false; // one no earlier page of the walk named
    bool font = false;
    long long instructionBytes = 0; // of the page's and its forms' drawing instructions
};

Named namedBy(Page& page, Refs& named) {
    Named found;
    found.font = namesFont(page.getResourceDict());
    const Object contents = page.getContents();
    if (contents.isStream())
        found.instructionBytes = streamBytes(contents.streamGetDict());
    for (int i = 0; contents.isArray() && i < contents.arrayGetLength(); ++i) {
        const Object part = contents.arrayGet(i);
        found.instructionBytes += part.isStream() ? streamBytes(part.streamGetDict()) : 0;
    }
    anyXObject(page.getResourceDict(), 0, named, [&](Dict* dict, bool image) {
        if (image) {
            found.largeImage = found.largeImage || isLarge(dict);
        } else {
            found.instructionBytes += streamBytes(dict);
            const Object resources = dict->lookup("Resources");
            found.font = found.font || (resources.isDict() && namesFont(resources.getDict()));
        }
        return false;
    });
    return found;
}

// A page of text drawn with a picture, a photograph in a catalogue, is no scan: a scan names no
// font, or draws no more than a stamp.
bool mayBeScan(const Named& named) {
    return named.largeImage && (!named.font || named.instructionBytes <= stampBytes);
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
    return pageObject &&
           anyXObject(pageObject->getResourceDict(), 0, visited, [](Dict*, bool image) { return image; });
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
            if (pageObject && (mayBeScan(namedBy(*pageObject, named)) ||
                               namesGlyphNumberFont(pageObject->getResourceDict())))
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
