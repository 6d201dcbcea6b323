#pragma once

#include "engine/PageLayout.h"

#include <map>
#include <string>
#include <vector>

// What a page's structure is judged against, the same for every page of a job however it is
// cut: the size of the body text, the sizes headings come in, the edge lines that repeat over
// the document, and the outline's headings by page.
struct DocumentStyle {
    struct OutlineHeading {
        std::string title; // UTF-8
        int level = 1;
    };

    double bodySize = 0;
    std::vector<double> headingSizes;  // largest first
    std::vector<std::string> edgeKeys; // top or bottom lines repeating on most sampled pages
    bool hasOutline = false;
    std::map<int, std::vector<OutlineHeading>> outline; // by page

    // 1 to 6 for a line of this size, whole in a bold font or not; 0 for body text.
    int headingLevel(double size, bool bold) const;

    // From a sample of the document's pages.
    static DocumentStyle fromSample(const std::vector<PageLayout>& pages);
    // The pages of first..last sampled: all of a short range, else count spread evenly.
    static std::vector<int> samplePages(int first, int last, int count);
    // A line's text compared as a running head is: lowercase, digits and repeated spaces gone.
    static std::string edgeKey(const std::string& text);
};
