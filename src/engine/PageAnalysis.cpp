#include "engine/PageAnalysis.h"

#include "engine/PageEdges.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <regex>
#include <string_view>

namespace {

using Word = PageLayout::Word;
using WordRef = std::pair<std::size_t, std::size_t>;
using markdown::Block;

// Words further apart than this many font sizes stand in different table cells.
constexpr double cellGap = 1.0;
// Cells of one column start or end within this many font sizes of each other.
constexpr double columnTolerance = 0.6;
// Columns whose lines fill this much of their width with this many words are running text.
constexpr double proseFill = 0.6;
constexpr std::size_t proseWords = 4;
constexpr std::size_t minTableRows = 3;

bool isLowercaseStart(std::string_view text) {
    return !text.empty() && std::islower(static_cast<unsigned char>(text.front()));
}

// The hyphen a line ends in, when it breaks a word: a soft hyphen (drawn as a hyphen or not),
// or a hyphen between lowercase word parts. Its length in bytes, else 0.
std::size_t brokenWordHyphen(const std::string& text, std::string_view next) {
    static const std::string softHyphen = "\u00AD";
    std::size_t length = 0;
    for (const std::string_view hyphen : {std::string_view("-"), std::string_view("\u2010")})
        if (text.ends_with(hyphen))
            length = hyphen.size();
    if (text.substr(0, text.size() - length).ends_with(softHyphen))
        return length + softHyphen.size();
    if (length == 0 || text.size() <= length || !isLowercaseStart(next))
        return 0;
    return std::islower(static_cast<unsigned char>(text[text.size() - length - 1])) ? length : 0;
}

// Appends text to spans, run together with the last span when it links to the same target.
void appendSpan(markdown::Spans& spans, const std::string& text, const std::string& target) {
    if (!spans.empty() && spans.back().target == target)
        spans.back().text += text;
    else
        spans.push_back({text, target});
}

// How a word follows the text before it.
enum class Join { Directly, Space, NewLine };

// Whether the text ends in a hyphen that belongs to its word ("Anglo-"): the next line's word
// follows it without a space.
bool endsInWordHyphen(const std::string& text) {
    for (const std::string_view hyphen : {std::string_view("-"), std::string_view("\u2010")})
        if (text.ends_with(hyphen) && text.size() > hyphen.size() &&
            text[text.size() - hyphen.size() - 1] != ' ')
            return true;
    return false;
}

// Appends a word; at a new line a word broken at the line end is joined again.
void appendWord(markdown::Spans& spans, const Word& word, Join join) {
    if (!spans.empty() && join == Join::NewLine) {
        if (const std::size_t hyphen = brokenWordHyphen(spans.back().text, word.text))
            spans.back().text.resize(spans.back().text.size() - hyphen);
        else if (!endsInWordHyphen(spans.back().text))
            join = Join::Space;
    }
    if (!spans.empty() && join == Join::Space)
        appendSpan(spans, " ", spans.back().target == word.link ? word.link : std::string());
    appendSpan(spans, word.text, word.link);
}

std::string plainText(const markdown::Spans& spans) {
    std::string text;
    for (const markdown::Span& span : spans)
        text += span.text;
    return text;
}

// Letters and digits only, lowercase: how a title is matched to the line that shows it.
std::string matchKey(const std::string& text) {
    std::string key;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80)
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

struct Marker {
    std::string number; // empty for a bullet
    std::string rest;   // text glued to a bullet
};

std::optional<Marker> listMarker(const std::string& word) {
    static const std::vector<std::string> bullets{"•", "◦", "▪", "–", "-", "*", "‣", "●", "○", "■", "□", "·"};
    for (const std::string& bullet : bullets) {
        if (word == bullet)
            return Marker{};
        // A round bullet set close to its text comes glued to the first word.
        if (bullet.size() > 1 && bullet != "–" && word.starts_with(bullet))
            return Marker{{}, word.substr(bullet.size())};
    }
    static const std::regex numbered(R"(^(\d{1,3}|[a-z])[.)]$)");
    if (std::regex_match(word, numbered))
        return Marker{word.substr(0, word.size() - 1), {}};
    return std::nullopt;
}

// One line of the page with the words that are neither furniture nor table.
struct LineView {
    std::vector<const Word*> words;
    int block = 0;
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
    double size = 0;
    bool bold = true;
    bool monospaced = true;
};

LineView viewOf(const PageLayout::Line& line, const std::vector<char>& taken) {
    LineView view;
    view.block = line.block;
    std::map<double, std::size_t> sizes;
    for (std::size_t w = 0; w < line.words.size(); ++w) {
        if (taken[w])
            continue;
        const Word& word = line.words[w];
        view.words.push_back(&word);
        sizes[std::round(word.size * 2) / 2] += word.text.size();
        view.bold = view.bold && word.bold;
        view.monospaced = view.monospaced && word.monospaced;
    }
    if (view.words.empty())
        return view;
    view.left = view.words.front()->left;
    view.right = view.words.back()->right;
    view.top = view.words.front()->top;
    view.bottom = view.words.front()->bottom;
    for (const Word* word : view.words) {
        view.top = std::min(view.top, word->top);
        view.bottom = std::max(view.bottom, word->bottom);
    }
    view.size = std::max_element(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) {
                    return a.second < b.second;
                })->first;
    return view;
}

std::string lineText(const LineView& line, std::size_t from = 0) {
    markdown::Spans spans;
    for (std::size_t i = from; i < line.words.size(); ++i)
        appendWord(spans, *line.words[i],
                   i > from && line.words[i - 1]->spaceAfter ? Join::Space : Join::Directly);
    return plainText(spans);
}

// Cells of a row on the page, as found by the gaps between words.
struct Cell {
    double left = 0;
    double right = 0;
    std::vector<WordRef> words;
};
struct Row {
    double top = 0;
    double bottom = 0;
    std::vector<Cell> cells;
};

struct Band {
    double left = 0;
    double right = 0;
};

struct Box {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    void add(const Word& word) {
        left = std::min(left, word.left);
        top = std::min(top, word.top);
        right = std::max(right, word.right);
        bottom = std::max(bottom, word.bottom);
    }
    static Box of(const Word& word) { return {word.left, word.top, word.right, word.bottom}; }
};

struct FoundTable {
    Box box;
    Block block;
};

// A region of the page read as one: a block of lines or a table.
struct Region {
    Box box;
    int block = 0;
    int table = -1;
};

// Pages with more regions than this keep the engine's order: ordering costs the square of them.
constexpr std::size_t maxOrderedRegions = 2000;

// Orders regions as a page is read: columns side by side from left to right, each read down
// before the next, and otherwise from top to bottom; regions the cuts cannot part keep the
// engine's order.
void readingOrder(std::vector<Region> regions, double gutter, std::vector<Region>& ordered) {
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

class TableFinder {
public:
    TableFinder(const PageLayout& layout, std::vector<std::vector<char>>& taken)
        : layout(layout), taken(taken) {}

    // The tables of the page, each with the first line (in reading order) it takes words from;
    // their words are marked taken.
    std::vector<FoundTable> find() {
        const std::vector<Row> rows = pageRows();
        std::vector<FoundTable> tables;
        for (std::size_t i = 0; i < rows.size();) {
            std::size_t end = i + 1;
            if (rows[i].cells.size() >= 2) {
                std::vector<Band> bands;
                std::vector<std::vector<Cell>> table = grow(rows, i, end, bands);
                if (isTable(table, bands))
                    tables.push_back(take(table, bands));
            }
            i = end;
        }
        return tables;
    }

private:
    const Word& word(const WordRef& ref) const { return layout.lines[ref.first].words[ref.second]; }

    std::vector<Row> pageRows() const {
        std::vector<WordRef> refs;
        for (std::size_t l = 0; l < layout.lines.size(); ++l)
            for (std::size_t w = 0; w < layout.lines[l].words.size(); ++w)
                if (!taken[l][w] && !layout.lines[l].words[w].monospaced)
                    refs.push_back({l, w});
        std::sort(refs.begin(), refs.end(),
                  [&](const WordRef& a, const WordRef& b) { return word(a).top < word(b).top; });
        std::vector<std::vector<WordRef>> grouped;
        double rowBottom = 0;
        for (const WordRef& ref : refs) {
            const double middle = (word(ref).top + word(ref).bottom) / 2;
            if (grouped.empty() || middle > rowBottom) {
                grouped.push_back({});
                rowBottom = word(ref).bottom;
            }
            grouped.back().push_back(ref);
        }
        std::vector<Row> rows;
        for (std::vector<WordRef>& group : grouped)
            rows.push_back(rowOf(group));
        return rows;
    }

    Row rowOf(std::vector<WordRef>& group) const {
        std::sort(group.begin(), group.end(),
                  [&](const WordRef& a, const WordRef& b) { return word(a).left < word(b).left; });
        Row row{word(group.front()).top, word(group.front()).bottom, {}};
        for (const WordRef& ref : group) {
            const Word& each = word(ref);
            if (row.cells.empty() || each.left - row.cells.back().right > cellGap * each.size)
                row.cells.push_back({each.left, each.right, {}});
            row.cells.back().right = std::max(row.cells.back().right, each.right);
            row.cells.back().words.push_back(ref);
            row.top = std::min(row.top, each.top);
            row.bottom = std::max(row.bottom, each.bottom);
        }
        return row;
    }

    std::optional<std::size_t> bandOf(const Cell& cell, const std::vector<Band>& bands) const {
        const double tolerance = columnTolerance * word(cell.words.front()).size;
        for (std::size_t b = 0; b < bands.size(); ++b)
            if (std::abs(cell.left - bands[b].left) <= tolerance ||
                std::abs(cell.right - bands[b].right) <= tolerance)
                return b;
        return std::nullopt;
    }

    // The rows from first on whose cells fall into the bands of the first, as cells by band; a
    // row of one cell in a later band carries on the cell above it. end is the row after.
    std::vector<std::vector<Cell>> grow(const std::vector<Row>& rows, std::size_t first, std::size_t& end,
                                        std::vector<Band>& bands) const {
        for (const Cell& cell : rows[first].cells)
            bands.push_back({cell.left, cell.right});
        std::vector<std::vector<Cell>> table{rows[first].cells};
        for (end = first + 1; end < rows.size(); ++end) {
            const Row& row = rows[end];
            const double height = rows[end - 1].bottom - rows[end - 1].top;
            if (row.top - rows[end - 1].bottom > 1.5 * height)
                break;
            std::vector<Cell> cells(bands.size());
            bool aligned = true;
            for (const Cell& cell : row.cells) {
                const std::optional<std::size_t> band = bandOf(cell, bands);
                aligned = aligned && band && cells[*band].words.empty();
                if (aligned)
                    cells[*band] = cell;
            }
            if (!aligned)
                break;
            if (row.cells.size() == 1) {
                const std::size_t band = bandOf(row.cells.front(), bands).value();
                if (band == 0)
                    break;
                Cell& above = table.back()[std::min(band, table.back().size() - 1)];
                above.words.insert(above.words.end(), cells[band].words.begin(), cells[band].words.end());
                continue;
            }
            table.push_back(std::move(cells));
        }
        return table;
    }

    bool isTable(const std::vector<std::vector<Cell>>& table, const std::vector<Band>& bands) const {
        if (table.size() < minTableRows || bands.size() < 2)
            return false;
        // A list's markers stand apart from their text as a cell would.
        bool allMarkers = true;
        for (const std::vector<Cell>& row : table)
            allMarkers = allMarkers && row.front().words.size() == 1 &&
                         listMarker(word(row.front().words.front()).text);
        if (allMarkers)
            return false;
        // Columns of running text hold lines of many words that fill their width; a table's
        // cells mostly do not.
        for (std::size_t b = 0; b + 1 < bands.size(); ++b) {
            std::vector<double> fills;
            std::vector<std::size_t> words;
            for (const std::vector<Cell>& row : table)
                if (b < row.size() && !row[b].words.empty()) {
                    fills.push_back((row[b].right - row[b].left) / (bands[b + 1].left - bands[b].left));
                    words.push_back(row[b].words.size());
                }
            if (!fills.empty() && (median(fills) < proseFill || median(words) < proseWords))
                return true;
        }
        return false;
    }

    template <typename T> static T median(std::vector<T> values) {
        std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                         values.end());
        return values[values.size() / 2];
    }

    FoundTable take(const std::vector<std::vector<Cell>>& table, const std::vector<Band>& bands) {
        FoundTable found{Box::of(word(table.front().front().words.front())), {}};
        Block& block = found.block;
        block.kind = Block::Kind::Table;
        for (const std::vector<Cell>& cells : table) {
            std::vector<markdown::Spans> row;
            for (std::size_t b = 0; b < bands.size(); ++b) {
                markdown::Spans spans;
                if (b < cells.size())
                    for (const WordRef& ref : cells[b].words) {
                        appendWord(spans, word(ref), Join::Space);
                        taken[ref.first][ref.second] = 1;
                        found.box.add(word(ref));
                    }
                row.push_back(std::move(spans));
            }
            block.rows.push_back(std::move(row));
        }
        return found;
    }

    const PageLayout& layout;
    std::vector<std::vector<char>>& taken;
};

// Walks the lines of a page in reading order and makes its blocks.
class BlockBuilder {
public:
    BlockBuilder(const PageLayout& layout, const PageAnalysis::Context& context)
        : layout(layout), context(context), taken(layout.lines.size()) {
        for (std::size_t l = 0; l < layout.lines.size(); ++l)
            taken[l].assign(layout.lines[l].words.size(), 0);
    }

    markdown::Page build() {
        markFurniture();
        std::vector<FoundTable> tables = TableFinder(layout, taken).find();
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
                LineView view = viewOf(layout.lines[l], taken[l]);
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

private:
    // The page's blocks (what is left of them) and tables in reading order.
    std::vector<Region> regions(const std::vector<FoundTable>& tables) const {
        std::map<int, Region> blocks;
        for (std::size_t l = 0; l < layout.lines.size(); ++l)
            for (std::size_t w = 0; w < layout.lines[l].words.size(); ++w) {
                if (taken[l][w])
                    continue;
                const Word& word = layout.lines[l].words[w];
                const auto [region, fresh] = blocks.try_emplace(
                    layout.lines[l].block, Region{Box::of(word), layout.lines[l].block, -1});
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

    void markFurniture() {
        std::vector<PageEdges::Fragment> before;
        std::vector<PageEdges::Fragment> after;
        if (context.previous)
            before = PageEdges::of(*context.previous);
        if (context.next)
            after = PageEdges::of(*context.next);
        auto repeats = [&](const PageEdges::Fragment& fragment,
                           const std::vector<PageEdges::Fragment>& other) {
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

    void measureBlocks() {
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

    // Places the line at l, and those that belong with it; how many lines it took.
    std::size_t place(std::size_t l) {
        if (const std::size_t heading = outlineHeading(l))
            return heading;
        const LineView& line = lines[l];
        // Leader dots of a table of contents say nothing of their own.
        if (std::all_of(line.words.begin(), line.words.end(), [](const Word* word) {
                return word->text.find_first_not_of('.') == std::string::npos;
            }))
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
                blockBold[line.block] && line.words.size() <= 12 && !lineText(line).ends_with(".");
            if (const int level = context.style.headingLevel(line.size, boldHeading);
                level > 0 && line.words.size() <= 20)
                return fontHeading(l, level);
        }
        const std::string& first = line.words.front()->text;
        if (const std::optional<Marker> marker = listMarker(first); marker && startsItem(l)) {
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

    // A heading the outline names on this page, shown by the line at l and maybe the next two.
    std::size_t outlineHeading(std::size_t l) {
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
            key += matchKey(lineText(lines[l + n]));
            unnumbered += matchKey(lineText(lines[l + n], n == 0 && numbered ? 1 : 0));
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

    std::size_t fontHeading(std::size_t l, int level) {
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

    // A marker starts an item unless a dash or star merely begins a line of running text.
    bool startsItem(std::size_t l) const {
        const std::string& first = lines[l].words.front()->text;
        const bool dash = first == "-" || first == "–" || first == "*";
        if (!dash || !open || open->kind != Block::Kind::Paragraph || !last)
            return lines[l].words.size() > 1 || !listMarker(first)->rest.empty();
        return endsShort(*last, lines[l]);
    }

    void startItem(const LineView& line, const Marker& marker) {
        close();
        const double tolerance = columnTolerance * line.size;
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

    // Whether the line at l goes on with the open paragraph or item.
    bool continues(std::size_t l) const {
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
            return !endsShort(*last, line);
        return false;
    }

    // The line before ended where the next line's first word would still have fitted: it
    // ended its paragraph.
    bool endsShort(const LineView& before, const LineView& line) const {
        const Word& first = *line.words.front();
        const double room = blockRight.at(before.block) - before.right;
        return room > (first.right - first.left) + before.size;
    }

    void appendLine(const LineView& line, std::size_t from) { appendLine(*open, line, from); }
    static void appendLine(Block& block, const LineView& line, std::size_t from = 0) {
        for (std::size_t i = from; i < line.words.size(); ++i)
            appendWord(block.spans, *line.words[i],
                       i == from                       ? Join::NewLine
                       : line.words[i - 1]->spaceAfter ? Join::Space
                                                       : Join::Directly);
    }

    void openCode() {
        if (open && open->kind == Block::Kind::Code)
            return;
        page.blocks.push_back({});
        page.blocks.back().kind = Block::Kind::Code;
        open = &page.blocks.back();
        itemLefts.clear();
    }

    void close() {
        if (open && open->kind == Block::Kind::Code)
            writeCode(*open);
        open = nullptr;
        last = nullptr;
        code.clear();
    }

    // Code lines as printed: each word at its column counted in the font's character width
    // from the run's left edge, and blank lines from the line pitch. Parts of one printed line
    // the engine read as lines of their own come together again.
    void writeCode(Block& block) const {
        std::vector<const Word*> words;
        for (const LineView* line : code)
            words.insert(words.end(), line->words.begin(), line->words.end());
        std::stable_sort(words.begin(), words.end(),
                         [](const Word* a, const Word* b) { return a->top < b->top; });
        double left = words.front()->left;
        double characterWidth = 0;
        for (const Word* word : words) {
            left = std::min(left, word->left);
            characterWidth = std::max(characterWidth, (word->right - word->left) /
                                                          std::max<double>(1, characters(word->text)));
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
                const long blanks =
                    std::lround((rows[i].front()->top - rows[i - 1].front()->top) / pitch) - 1;
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

    static std::size_t characters(const std::string& text) {
        return static_cast<std::size_t>(std::count_if(
            text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    }

    const PageLayout& layout;
    const PageAnalysis::Context& context;
    std::vector<std::vector<char>> taken;
    std::vector<LineView> lines;
    std::map<int, double> blockRight;
    std::map<int, bool> blockBold;
    std::vector<DocumentStyle::OutlineHeading> outline;
    markdown::Page page;
    Block* open = nullptr;
    const LineView* last = nullptr;
    std::vector<const LineView*> code;
    std::vector<double> itemLefts;
    double itemTextLeft = 0;
};

} // namespace

markdown::Page PageAnalysis::page(const PageLayout& layout, const Context& context) {
    return BlockBuilder(layout, context).build();
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
        const std::optional<Marker> marker = listMarker(words.front());
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
    const std::string text = plainText(last.spans);
    const char end = text.empty() ? '.' : text.back();
    if (end == '.' || end == '!' || end == '?' || end == ':')
        return;
    last.continuesNext = true;
    first.continuesPrevious = true;
}
