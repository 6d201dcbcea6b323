#include "engine/PageAnalysis.h"

#include "engine/ListMarker.h"
#include "engine/PageBlocks.h"
#include "engine/WordSpans.h"

#include <algorithm>
#include <optional>

using markdown::Block;
using WordSpans::appendWord;
using WordSpans::endsSentence;
using WordSpans::Join;
using WordSpans::plainText;
using Word = PageLayout::Word;

markdown::Page PageAnalysis::page(const PageLayout& layout, const Context& context) {
    return PageBlocks(layout, context).build();
}

markdown::Page PageAnalysis::recognized(const std::vector<PageReader::Line>& lines) {
    std::vector<int> heights;
    for (const PageReader::Line& line : lines)
        heights.push_back(line.bottom - line.top);
    std::sort(heights.begin(), heights.end());
    const double usual = heights.empty() ? 0 : heights[heights.size() / 2];
    markdown::Page page;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const PageReader::Line& line = lines[i];
        std::vector<std::string> words;
        for (std::size_t at = 0; at < line.text.size();) {
            const std::size_t end = std::min(line.text.find(' ', at), line.text.size());
            if (end > at)
                words.push_back(line.text.substr(at, end - at));
            at = end + 1;
        }
        if (words.empty())
            continue;
        const bool alone = i + 1 == lines.size() || lines[i + 1].startsParagraph;
        const std::optional<ListMarker> marker = ListMarker::of(words.front());
        const bool tall = usual > 0 && line.bottom - line.top >= 1.5 * usual;
        if (line.startsParagraph || page.blocks.empty() || marker) {
            page.blocks.push_back({});
            Block& block = page.blocks.back();
            if (tall && alone) {
                block.kind = Block::Kind::Heading;
                block.level = line.bottom - line.top >= 2 * usual ? 1 : 2;
            } else if (marker && words.size() > 1) {
                block.kind = Block::Kind::ListItem;
                block.number = marker->number;
                words.erase(words.begin());
            }
        }
        for (std::size_t w = 0; w < words.size(); ++w) {
            Word word;
            word.text = words[w];
            appendWord(page.blocks.back().spans, word, w == 0 ? Join::NewLine : Join::Space);
        }
    }
    return page;
}

void PageAnalysis::joinAcross(markdown::Page& page, markdown::Page& next) {
    if (page.blocks.empty() || next.blocks.empty())
        return;
    Block& last = page.blocks.back();
    Block& first = next.blocks.front();
    // A page's only block may itself be carried over from the page before, which would leave
    // nothing on this page to join to: it is never carried on.
    if ((last.kind != Block::Kind::Paragraph && last.kind != Block::Kind::ListItem) ||
        page.blocks.size() < 2 || first.kind != Block::Kind::Paragraph || last.spans.empty() ||
        first.spans.empty())
        return;
    if (endsSentence(plainText(last.spans)))
        return;
    last.continuesNext = true;
    first.continuesPrevious = true;
}
