#include "engine/MarkdownPass.h"

#include "engine/Engine.h"
#include "engine/PageTextDevice.h"

#include <Annot.h>
#include <DateInfo.h>
#include <Link.h>
#include <Outline.h>
#include <PDFDoc.h>
#include <PDFDocEncoding.h>
#include <cstdio>
#include <goo/GooString.h>

namespace {

// A text string of the document: UTF-16BE after its mark, else PDFDocEncoding.
std::string utf8Of(const GooString& value) {
    const std::string& bytes = value.toStr();
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned unit =
                (static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1]);
            if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
                const unsigned low = (static_cast<unsigned char>(bytes[i + 2]) << 8) |
                                     static_cast<unsigned char>(bytes[i + 3]);
                if (low >= 0xDC00 && low < 0xE000) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            PageLayout::appendUtf8(text, unit);
        }
    } else {
        for (const char byte : bytes)
            PageLayout::appendUtf8(text, pdfDocEncoding[static_cast<unsigned char>(byte)]);
    }
    std::string printable;
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
            printable += c;
    return printable;
}

std::string isoDate(const GooString& value) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, tzHours = 0, tzMinutes = 0;
    char zone = 0;
    if (!parseDateString(&value, &year, &month, &day, &hour, &minute, &second, &zone, &tzHours, &tzMinutes))
        return {};
    char text[40];
    if (zone == '+' || zone == '-')
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", year, month, day, hour,
                      minute, second, zone, tzHours, tzMinutes);
    else if (zone == 'Z')
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, hour, minute,
                      second);
    else
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute,
                      second);
    return text;
}

} // namespace

MarkdownPass::MarkdownPass(PDFDoc& document, int firstPage, int lastPage, bool probeScans)
    : document(document), firstPage(firstPage), lastPage(lastPage), probeScans(probeScans) {
    const auto lock = engine::lock();
    device = std::make_unique<PageTextDevice>(nullptr, nullptr, false, 0.0, false);
}

MarkdownPass::~MarkdownPass() {
    const auto lock = engine::lock();
    device.reset();
}

const MarkdownPass::Shown& MarkdownPass::shown(int page) {
    const auto known = pages.find(page);
    if (known != pages.end())
        return known->second;
    Shown seen;
    {
        const auto lock = engine::lock();
        device->watchImages(probeScans && ScanProbe::namesImage(document, page));
        document.displayPage(device.get(), page, 72, 72, 0, false, true, false);
        const bool turned = document.getPageRotate(page) % 180 != 0;
        const double width = turned ? document.getPageCropHeight(page) : document.getPageCropWidth(page);
        const double height = turned ? document.getPageCropWidth(page) : document.getPageCropHeight(page);
        seen.layout = PageLayout::of(*device, width, height);
        linkWords(page, seen.layout);
        seen.reason = ScanProbe::reasonToRead(*device);
        seen.imageDotsPerInch = device->sight().imageDotsPerInch;
    }
    return pages.emplace(page, std::move(seen)).first->second;
}

// The page's link annotations to the web or to mail, placed as the device placed the words.
// The engine library keeps the type of its link annotations to itself, so the undefined
// behaviour checks, which compare an object's type with it, cannot be built in here.
__attribute__((no_sanitize("vptr"))) void MarkdownPass::linkWords(int page, PageLayout& layout) {
    const std::unique_ptr<Links> links = document.getLinks(page);
    if (!links)
        return;
    const double* matrix = device->getDefCTM();
    for (const AnnotLink* link : links->getLinks()) {
        const LinkAction* action = link->getAction();
        if (!action || action->getKind() != actionURI)
            continue;
        const std::string& uri = static_cast<const LinkURI*>(action)->getURI();
        if (!PageLayout::isLinkTarget(uri))
            continue;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        link->getRect(&x1, &y1, &x2, &y2);
        const double left1 = matrix[0] * x1 + matrix[2] * y1 + matrix[4];
        const double top1 = matrix[1] * x1 + matrix[3] * y1 + matrix[5];
        const double left2 = matrix[0] * x2 + matrix[2] * y2 + matrix[4];
        const double top2 = matrix[1] * x2 + matrix[3] * y2 + matrix[5];
        layout.linkWords(std::min(left1, left2), std::min(top1, top2), std::max(left1, left2),
                         std::max(top1, top2), uri);
    }
}

void MarkdownPass::forgetBefore(int page) {
    pages.erase(pages.begin(), pages.lower_bound(page));
}

DocumentStyle MarkdownPass::documentStyle() {
    std::vector<PageLayout> sample;
    for (const int page : DocumentStyle::samplePages(firstPage, lastPage, samplePages))
        sample.push_back(shown(page).layout);
    DocumentStyle style = DocumentStyle::fromSample(sample);
    readOutline(style);
    return style;
}

void MarkdownPass::readOutline(DocumentStyle& style) {
    const auto lock = engine::lock();
    Outline* const outline = document.getOutline();
    if (!outline || !outline->getItems())
        return;
    // Outlines can be deep and wide; a hostile one is walked without recursion, and only so far.
    constexpr std::size_t maxItems = 20000;
    std::vector<std::pair<OutlineItem*, int>> toVisit;
    for (auto item = outline->getItems()->rbegin(); item != outline->getItems()->rend(); ++item)
        toVisit.push_back({*item, 1});
    std::size_t visited = 0;
    while (!toVisit.empty() && visited++ < maxItems) {
        auto [item, level] = toVisit.back();
        toVisit.pop_back();
        style.hasOutline = true;
        const LinkAction* action = item->getAction();
        int page = 0;
        if (action && action->getKind() == actionGoTo) {
            const auto* goTo = static_cast<const LinkGoTo*>(action);
            std::unique_ptr<LinkDest> named;
            const LinkDest* dest = goTo->getDest();
            if (!dest && goTo->getNamedDest()) {
                named = document.findDest(goTo->getNamedDest());
                dest = named.get();
            }
            if (dest && dest->isOk())
                page = dest->isPageRef() ? document.findPage(dest->getPageRef()) : dest->getPageNum();
        }
        if (page >= firstPage && page <= lastPage) {
            std::string title;
            for (int i = 0; i < item->getTitleLength(); ++i)
                PageLayout::appendUtf8(title, item->getTitle()[i]);
            style.outline[page].push_back({title, std::min(level, 6)});
        }
        item->open();
        if (const std::vector<OutlineItem*>* kids = item->getKids(); kids && level < 64)
            for (auto kid = kids->rbegin(); kid != kids->rend(); ++kid)
                toVisit.push_back({*kid, level + 1});
    }
}

markdown::DocumentInfo MarkdownPass::documentInfo(PDFDoc& document) {
    const auto lock = engine::lock();
    markdown::DocumentInfo info;
    auto text = [&](const char* key) {
        const std::unique_ptr<GooString> value = document.getDocInfoStringEntry(key);
        return value ? utf8Of(*value) : std::string();
    };
    auto date = [&](const char* key) {
        const std::unique_ptr<GooString> value = document.getDocInfoStringEntry(key);
        return value ? isoDate(*value) : std::string();
    };
    info.title = text("Title");
    info.author = text("Author");
    info.subject = text("Subject");
    info.keywords = text("Keywords");
    info.created = date("CreationDate");
    info.modified = date("ModDate");
    return info;
}
