#pragma once

#include "engine/PageLayout.h"

#include <string>
#include <utility>
#include <vector>

// The topmost and bottommost rows of a page's text, where running heads, running feet and
// page numbers stand, cut into pieces where words stand far apart.
namespace PageEdges {

struct Fragment {
    bool top = false;
    std::string text;
    std::string key;                                        // the text as compared with other pages' edges
    std::vector<std::pair<std::size_t, std::size_t>> words; // line and word in the layout
};

std::vector<Fragment> of(const PageLayout& page);
// "12", "xiv", "Page 3", "3 of 10", "- 4 -": a page number standing alone.
bool isPageNumber(const std::string& text);

} // namespace PageEdges
