#include "engine/PageBlocks.h"

#include "engine/PageEdges.h"
#include "engine/WordSpans.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <regex>

using markdown::Block;
using WordSpans::appendSpan;
using WordSpans::appendWord;
using WordSpans::endsSentence;
using WordSpans::Join;
using Word = PageLayout::Word;
using WordRef = std::pair<std::size_t, std::size_t>;

namespace {

// Letters and digits only, lowercase: how a title is matched to the line that shows it.
std::string matchKey(const std::string& text) {
    std::string key;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80)
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// Pages with more regions than this keep the engine's order: ordering costs the square of them.
constexpr std::size_t maxOrderedRegions = 2000;

std::size_t characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

PageBlocks::PageBlocks(const PageLayout& layout, const PageAnalysis::Context& context)
    : layout(layout), context(context), taken(layout.lines.size()) {
    for (std::size_t l = 0; l < layout.lines.size(); ++l)
        taken[l].assign(layout.lines[l].words.size(), 0);
}

void PageBlocks::readingOrder(std::vector<Region> regions, double gutter, std::vector<Region>& ordered) {
    if (regions.size() <= 1) {
        ordered.insert(ordered.end(), regions.begin(), regions.end());
        return;
    }
    std::vector<Region> sorted = regions;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Region& a, const Region& b) { return a.box.left < b.box.left; });
    double reach = sorted.front().box.right;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i].box.left - reach >= gutter) {
            readingOrder({sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(i)}, gutter, ordered);
            readingOrder({sorted.begin() + static_cast<std::ptrdiff_t>(i), sorted.end()}, gutter, ordered);
            return;
        }
        reach = std::max(reach, sorted[i].box.right);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Region& a, const Region& b) { return a.box.top < b.box.top; });
    reach = sorted.front().box.bottom;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i].box.top > reach) {
            readingOrder({sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(i)}, gutter, ordered);
            readingOrder({sorted.begin() + static_cast<std::ptrdiff_t>(i), sorted.end()}, gutter, ordered);
            return;
        }
        reach = std::max(reach, sorted[i].box.bottom);
    }
    ordered.insert(ordered.end(), regions.begin(), regions.end());
}

markdown::Page PageBlocks::build() {
    markFurniture();
    std::vector<PageTables::Table> tables = PageTables(layout, taken).find();
    if (context.style.hasOutline) {
        const auto found = context.style.outline.find(context.page);
        if (found != context.style.outline.end())
            outline = found->second;
    }
    std::map<int, std::vector<std::size_t>> linesOfBlock;
    for (std::size_t l = 0; l < layout.lines.size(); ++l)
        linesOfBlock[layout.lines[l].block].push_back(l);
    std::multimap<std::size_t, std::size_t> tableBefore; // table by the line it comes before
    for (const Region& region : regions(tables)) {
        if (region.table >= 0) {
            tableBefore.emplace(lines.size(), static_cast<std::size_t>(region.table));
            continue;
        }
        for (const std::size_t l : linesOfBlock[region.block]) {
            LineView view = LineView::of(layout.lines[l], taken[l]);
            if (!view.words.empty())
                lines.push_back(std::move(view));
        }
    }
    measureBlocks();
    for (std::size_t l = 0; l <= lines.size(); ++l) {
        for (auto table = tableBefore.find(l); table != tableBefore.end() && table->first == l; ++table) {
            close();
            page.blocks.push_back(std::move(tables[table->second].block));
        }
        if (l < lines.size())
            l += place(l) - 1;
    }
    close();
    return std::move(page);
}

std::vector<PageBlocks::Region> PageBlocks::regions(const std::vector<PageTables::Table>& tables) const {
    std::map<int, Region> blocks;
    for (std::size_t l = 0; l < layout.lines.size(); ++l)
        for (std::size_t w = 0; w < layout.lines[l].words.size(); ++w) {
            if (taken[l][w])
                continue;
            const Word& word = layout.lines[l].words[w];
            const auto [region, fresh] = blocks.try_emplace(
                layout.lines[l].block, Region{PageBox::of(word), layout.lines[l].block, -1});
            region->second.box.add(word);
        }
    std::vector<Region> unordered;
    for (const auto& [block, region] : blocks)
        unordered.push_back(region);
    for (std::size_t t = 0; t < tables.size(); ++t)
        unordered.push_back({tables[t].box, -1, static_cast<int>(t)});
    if (unordered.size() > maxOrderedRegions)
        return unordered;
    std::vector<Region> ordered;
    readingOrder(std::move(unordered), std::max(context.style.bodySize, 6.0), ordered);
    return ordered;
}

void PageBlocks::markFurniture() {
    std::vector<PageEdges::Fragment> before;
    std::vector<PageEdges::Fragment> after;
    if (context.previous)
        before = PageEdges::of(*context.previous);
    if (context.next)
        after = PageEdges::of(*context.next);
    auto repeats = [&](const PageEdges::Fragment& fragment, const std::vector<PageEdges::Fragment>& other) {
        return std::any_of(other.begin(), other.end(), [&](const PageEdges::Fragment& each) {
            return each.top == fragment.top && each.key == fragment.key;
        });
    };
    const std::vector<std::string>& keys = context.style.edgeKeys;
    for (const PageEdges::Fragment& fragment : PageEdges::of(layout)) {
        const bool furniture =
            PageEdges::isPageNumber(fragment.text) ||
            (!fragment.key.empty() && (repeats(fragment, before) || repeats(fragment, after) ||
                                       std::find(keys.begin(), keys.end(), fragment.key) != keys.end()));
        if (furniture)
            for (const WordRef& ref : fragment.words)
                taken[ref.first][ref.second] = 1;
    }
}

void PageBlocks::measureBlocks() {
    for (const LineView& line : lines) {
        if (line.words.empty())
            continue;
        auto [entry, fresh] = blockRight.try_emplace(line.block, line.right);
        if (!fresh)
            entry->second = std::max(entry->second, line.right);
        auto [bold, freshBold] = blockBold.try_emplace(line.block, line.bold);
        if (!freshBold)
            bold->second = bold->second && line.bold;
    }
}

std::size_t PageBlocks::place(std::size_t l) {
    if (const std::size_t heading = outlineHeading(l))
        return heading;
    const LineView& line = lines[l];
    // Leader dots of a table of contents say nothing of their own.
    if (std::all_of(line.words.begin(), line.words.end(),
                    [](const Word* word) { return word->text.find_first_not_of('.') == std::string::npos; }))
        return 1;
    if (line.monospaced) {
        if (!open || open->kind != Block::Kind::Code)
            close();
        code.push_back(&line);
        openCode();
        return 1;
    }
    if (!context.style.hasOutline) {
        const bool boldHeading =
            blockBold[line.block] && line.words.size() <= 12 && !line.text().ends_with(".");
        if (const int level = context.style.headingLevel(line.size, boldHeading);
            level > 0 && line.words.size() <= 20)
            return fontHeading(l, level);
    }
    const std::string& first = line.words.front()->text;
    if (const std::optional<ListMarker> marker = ListMarker::of(first); marker && startsItem(l)) {
        startItem(line, *marker);
        return 1;
    }
    if (open && (open->kind == Block::Kind::Paragraph || open->kind == Block::Kind::ListItem) &&
        continues(l)) {
        appendLine(line, 0);
        last = &line;
        return 1;
    }
    close();
    page.blocks.push_back({});
    open = &page.blocks.back();
    appendLine(line, 0);
    last = &line;
    itemLefts.clear();
    return 1;
}

std::size_t PageBlocks::outlineHeading(std::size_t l) {
    if (outline.empty())
        return 0;
    // An outline often leaves out the section number the heading is printed with.
    static const std::regex sectionNumber(R"(^([0-9]{1,3}|[A-Z])(\.[0-9]{1,3})*\.?$)");
    const bool numbered =
        lines[l].words.size() > 1 && std::regex_match(lines[l].words.front()->text, sectionNumber);
    std::string key;
    std::string unnumbered;
    for (std::size_t n = 0; n < 3 && l + n < lines.size(); ++n) {
        if (lines[l + n].words.empty() || lines[l + n].block != lines[l].block)
            break;
        key += matchKey(lines[l + n].text());
        unnumbered += matchKey(lines[l + n].text(n == 0 && numbered ? 1 : 0));
        for (auto entry = outline.begin(); entry != outline.end(); ++entry)
            if (!key.empty() &&
                (matchKey(entry->title) == key || (numbered && matchKey(entry->title) == unnumbered))) {
                close();
                Block heading;
                heading.kind = Block::Kind::Heading;
                heading.level = std::clamp(entry->level, 1, 6);
                for (std::size_t k = 0; k <= n; ++k)
                    appendLine(heading, lines[l + k]);
                page.blocks.push_back(std::move(heading));
                outline.erase(entry);
                itemLefts.clear();
                return n + 1;
            }
    }
    return 0;
}

std::size_t PageBlocks::fontHeading(std::size_t l, int level) {
    close();
    Block heading;
    heading.kind = Block::Kind::Heading;
    heading.level = level;
    std::size_t n = 0;
    while (l + n < lines.size() && !lines[l + n].words.empty() && lines[l + n].block == lines[l].block &&
           std::abs(lines[l + n].size - lines[l].size) < 0.5 && lines[l + n].bold == lines[l].bold)
        appendLine(heading, lines[l + n++]);
    page.blocks.push_back(std::move(heading));
    itemLefts.clear();
    return n;
}

bool PageBlocks::startsItem(std::size_t l) const {
    const std::string& first = lines[l].words.front()->text;
    const bool dash = first == "-" || first == "–" || first == "*";
    if (!dash || !open || open->kind != Block::Kind::Paragraph || !last)
        return lines[l].words.size() > 1 || !ListMarker::of(first)->rest.empty();
    return endsShort(*last, lines[l], blockRight.at(last->block));
}

void PageBlocks::startItem(const LineView& line, const ListMarker& marker) {
    close();
    const double tolerance = PageTables::columnTolerance * line.size;
    while (!itemLefts.empty() && itemLefts.back() > line.left + tolerance)
        itemLefts.pop_back();
    if (itemLefts.empty() || line.left > itemLefts.back() + tolerance)
        itemLefts.push_back(line.left);
    Block item;
    item.kind = Block::Kind::ListItem;
    item.level = static_cast<int>(itemLefts.size()) - 1;
    item.number = marker.number;
    page.blocks.push_back(std::move(item));
    open = &page.blocks.back();
    if (!marker.rest.empty())
        appendSpan(open->spans, marker.rest, line.words.front()->link);
    appendLine(line, 1);
    itemTextLeft = line.words.size() > 1 ? line.words[1]->left : line.left;
    last = &line;
}

bool PageBlocks::continues(std::size_t l) const {
    const LineView& line = lines[l];
    if (!last)
        return false;
    // The engine may cut a widely spaced line into blocks: its parts follow on one row.
    const double middle = (line.top + line.bottom) / 2;
    if (middle > last->top && middle < last->bottom && line.left > last->right)
        return true;
    // An item goes on with lines set in line with its text, right below it.
    if (open->kind == Block::Kind::ListItem)
        return line.left >= itemTextLeft - 0.5 * line.size && line.top - last->bottom < line.size;
    if (line.block == last->block)
        return !endsShort(*last, line, blockRight.at(last->block));
    return continuesAcrossBlocks(line);
}

bool PageBlocks::continuesAcrossBlocks(const LineView& line) const {
    // Right below, in line with it, in its size, after a full line that ended no sentence.
    return open->kind == Block::Kind::Paragraph && std::abs(line.left - last->left) < 0.5 * line.size &&
           line.top - last->bottom < 0.6 * line.size && std::abs(line.size - last->size) < 0.5 &&
           !endsSentence(last->text()) && !endsShort(*last, line, blockRight.at(line.block));
}

bool PageBlocks::endsShort(const LineView& before, const LineView& line, double rightEdge) {
    const Word& first = *line.words.front();
    return rightEdge - before.right > (first.right - first.left) + before.size;
}

void PageBlocks::appendLine(Block& block, const LineView& line, std::size_t from) {
    for (std::size_t i = from; i < line.words.size(); ++i)
        appendWord(block.spans, *line.words[i],
                   i == from                       ? Join::NewLine
                   : line.words[i - 1]->spaceAfter ? Join::Space
                                                   : Join::Directly);
}

void PageBlocks::openCode() {
    if (open && open->kind == Block::Kind::Code)
        return;
    page.blocks.push_back({});
    page.blocks.back().kind = Block::Kind::Code;
    open = &page.blocks.back();
    itemLefts.clear();
}

void PageBlocks::close() {
    if (open && open->kind == Block::Kind::Code)
        writeCode(*open);
    open = nullptr;
    last = nullptr;
    code.clear();
}

void PageBlocks::writeCode(Block& block) const {
    std::vector<const Word*> words;
    for (const LineView* line : code)
        words.insert(words.end(), line->words.begin(), line->words.end());
    std::stable_sort(words.begin(), words.end(),
                     [](const Word* a, const Word* b) { return a->top < b->top; });
    double left = words.front()->left;
    double characterWidth = 0;
    for (const Word* word : words) {
        left = std::min(left, word->left);
        characterWidth = std::max(characterWidth,
                                  (word->right - word->left) / std::max<double>(1, characters(word->text)));
    }
    characterWidth = std::max(characterWidth, 0.1);
    std::vector<std::vector<const Word*>> rows;
    for (const Word* word : words) {
        if (rows.empty() || (word->top + word->bottom) / 2 > rows.back().front()->bottom)
            rows.push_back({});
        rows.back().push_back(word);
    }
    double pitch = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const double step = rows[i].front()->top - rows[i - 1].front()->top;
        pitch = pitch > 0 ? std::min(pitch, step) : step;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0 && pitch > 0) {
            const long blanks = std::lround((rows[i].front()->top - rows[i - 1].front()->top) / pitch) - 1;
            for (long k = 0; k < std::clamp(blanks, 0L, 5L); ++k)
                block.codeLines.emplace_back();
        }
        std::stable_sort(rows[i].begin(), rows[i].end(),
                         [](const Word* a, const Word* b) { return a->left < b->left; });
        std::string text;
        std::size_t column = 0;
        for (const Word* word : rows[i]) {
            const auto wanted =
                static_cast<std::size_t>(std::max(0L, std::lround((word->left - left) / characterWidth)));
            const std::size_t spaces = std::max(wanted, column + (column > 0 ? 1 : 0)) - column;
            text.append(spaces, ' ');
            text += word->text;
            column += spaces + characters(word->text);
        }
        block.codeLines.push_back(std::move(text));
    }
}
