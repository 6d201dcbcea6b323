#pragma once

#include "core/MarkdownPage.h"
#include "engine/DocumentStyle.h"
#include "engine/PageLayout.h"
#include "engine/PageReader.h"

#include <vector>

// The structure of a page from the words the engine found on it: headings, paragraphs, list
// items, code and tables in reading order, running heads, feet and page numbers left out.
// Everything it decides comes from the page, its neighbours and the document's style, so a
// page comes out the same whichever piece of a job writes it.
class PageAnalysis {
public:
    struct Context {
        const DocumentStyle& style;
        int page = 0;
        const PageLayout* previous = nullptr; // the neighbouring pages of the job, if any
        const PageLayout* next = nullptr;
    };

    static markdown::Page page(const PageLayout& layout, const Context& context);
    // The lines read from a scan: paragraphs as the reader found them, headings and list
    // items where they are plain.
    static markdown::Page recognized(const std::vector<PageReader::Line>& lines);
    // Marks a paragraph left open at the end of page as running on into the first block of
    // next, on both pages.
    static void joinAcross(markdown::Page& page, markdown::Page& next);
};
