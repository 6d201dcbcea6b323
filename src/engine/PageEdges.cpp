#include "engine/PageEdges.h"

#include "engine/DocumentStyle.h"

#include <algorithm>
#include <regex>

namespace PageEdges {

namespace {

// Only text this near the top or bottom of the page can be a running head or foot.
constexpr double edgeShare = 0.15;

using WordRef = std::pair<std::size_t, std::size_t>;

std::vector<Fragment> rowFragments(const PageLayout& page, std::vector<WordRef> row, bool top) {
    std::sort(row.begin(), row.end(), [&](const WordRef& a, const WordRef& b) {
        return page.lines[a.first].words[a.second].left < page.lines[b.first].words[b.second].left;
    });
    std::vector<Fragment> fragments;
    double lastRight = 0;
    for (const WordRef& ref : row) {
        const PageLayout::Word& word = page.lines[ref.first].words[ref.second];
        if (fragments.empty() || word.left - lastRight > 1.5 * word.size)
            fragments.push_back({top, {}, {}, {}});
        Fragment& fragment = fragments.back();
        if (!fragment.text.empty())
            fragment.text += ' ';
        fragment.text += word.text;
        fragment.words.push_back(ref);
        lastRight = word.right;
    }
    for (Fragment& fragment : fragments)
        fragment.key = DocumentStyle::edgeKey(fragment.text);
    return fragments;
}

} // namespace

std::vector<Fragment> of(const PageLayout& page) {
    if (page.lines.empty() || page.height <= 0)
        return {};
    double highest = page.height;
    double lowest = 0;
    for (const PageLayout::Line& line : page.lines)
        for (const PageLayout::Word& word : line.words) {
            highest = std::min(highest, word.top);
            lowest = std::max(lowest, word.bottom);
        }
    std::vector<WordRef> topRow;
    std::vector<WordRef> bottomRow;
    for (std::size_t l = 0; l < page.lines.size(); ++l)
        for (std::size_t w = 0; w < page.lines[l].words.size(); ++w) {
            const PageLayout::Word& word = page.lines[l].words[w];
            const double middle = (word.top + word.bottom) / 2;
            if (highest < page.height * edgeShare && middle < highest + (word.bottom - word.top) * 0.8)
                topRow.push_back({l, w});
            else if (lowest > page.height * (1 - edgeShare) &&
                     middle > lowest - (word.bottom - word.top) * 0.8)
                bottomRow.push_back({l, w});
        }
    std::vector<Fragment> fragments = rowFragments(page, std::move(topRow), true);
    std::vector<Fragment> bottom = rowFragments(page, std::move(bottomRow), false);
    fragments.insert(fragments.end(), bottom.begin(), bottom.end());
    return fragments;
}

bool isPageNumber(const std::string& text) {
    static const std::regex number(
        R"(^\s*[-–—]?\s*((page|p\.)\s*)?(\d{1,5}|[ivxlc]{1,7})(\s*(of|/)\s*\d{1,5})?\s*[-–—]?\s*$)",
        std::regex::icase);
    return std::regex_match(text, number);
}

} // namespace PageEdges
