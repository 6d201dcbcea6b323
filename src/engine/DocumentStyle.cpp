#include "engine/DocumentStyle.h"

#include "engine/PageEdges.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

namespace {

// A heading stands out by this much against the body.
constexpr double headingRatio = 1.15;
// A running head is one on at least this share of the sampled pages.
constexpr double edgeShare = 0.4;

double rounded(double size) {
    return std::round(size * 2) / 2;
}

} // namespace

int DocumentStyle::headingLevel(double size, bool bold) const {
    if (bodySize <= 0)
        return 0;
    if (size >= bodySize * headingRatio) {
        const auto larger = std::count_if(headingSizes.begin(), headingSizes.end(),
                                          [&](double each) { return each > rounded(size) + 0.25; });
        return static_cast<int>(std::min<long>(larger + 1, 6));
    }
    if (bold && size >= bodySize - 0.25)
        return static_cast<int>(std::min<std::size_t>(headingSizes.size() + 1, 6));
    return 0;
}

DocumentStyle DocumentStyle::fromSample(const std::vector<PageLayout>& pages) {
    DocumentStyle style;
    std::map<double, std::size_t> characters;
    for (const PageLayout& page : pages)
        for (const PageLayout::Line& line : page.lines)
            for (const PageLayout::Word& word : line.words)
                characters[rounded(word.size)] += word.text.size();
    std::size_t most = 0;
    for (const auto& [size, count] : characters)
        if (count > most) {
            most = count;
            style.bodySize = size;
        }
    std::set<double> headings;
    for (const PageLayout& page : pages)
        for (const PageLayout::Line& line : page.lines) {
            const double size = rounded(line.words.front().size);
            if (size >= style.bodySize * headingRatio && !line.words.front().monospaced)
                headings.insert(size);
        }
    style.headingSizes.assign(headings.rbegin(), headings.rend());
    std::map<std::string, std::size_t> edges;
    for (const PageLayout& page : pages) {
        std::set<std::string> keys;
        for (const PageEdges::Fragment& fragment : PageEdges::of(page))
            if (!fragment.key.empty())
                keys.insert(fragment.key);
        for (const std::string& key : keys)
            ++edges[key];
    }
    for (const auto& [key, count] : edges)
        if (pages.size() >= 3 && count >= 2 &&
            static_cast<double>(count) >= edgeShare * static_cast<double>(pages.size()))
            style.edgeKeys.push_back(key);
    return style;
}

std::vector<int> DocumentStyle::samplePages(int first, int last, int count) {
    std::vector<int> pages;
    const int length = last - first + 1;
    if (length <= count) {
        for (int page = first; page <= last; ++page)
            pages.push_back(page);
        return pages;
    }
    for (int i = 0; i < count; ++i)
        pages.push_back(first + static_cast<int>(static_cast<long>(i) * (length - 1) / (count - 1)));
    return pages;
}

std::string DocumentStyle::edgeKey(const std::string& text) {
    std::string key;
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            continue;
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!key.empty() && key.back() != ' ')
                key += ' ';
            continue;
        }
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    while (!key.empty() && key.back() == ' ')
        key.pop_back();
    return key;
}
