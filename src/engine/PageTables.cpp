#include "engine/PageTables.h"

#include "engine/ListMarker.h"
#include "engine/WordSpans.h"

#include <algorithm>
#include <cmath>

using markdown::Block;
using WordSpans::appendWord;
using Word = PageLayout::Word;

// Cells of a row on the page, as found by the gaps between words.
struct PageTables::Cell {
    double left = 0;
    double right = 0;
    std::vector<WordRef> words;
};
struct PageTables::Row {
    double top = 0;
    double bottom = 0;
    std::vector<Cell> cells;
};

struct PageTables::Band {
    double left = 0;
    double right = 0;
};

namespace {

// Words further apart than this many font sizes stand in different table cells.
constexpr double cellGap = 1.0;
// Columns whose lines fill this much of their width with this many words are running text.
constexpr double proseFill = 0.6;
constexpr std::size_t proseWords = 4;
constexpr std::size_t minTableRows = 3;

template <typename T> T median(std::vector<T> values) {
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                     values.end());
    return values[values.size() / 2];
}

} // namespace

std::vector<PageTables::Table> PageTables::find() {
    const std::vector<Row> rows = pageRows();
    std::vector<Table> tables;
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

std::vector<PageTables::Row> PageTables::pageRows() const {
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

PageTables::Row PageTables::rowOf(std::vector<WordRef>& group) const {
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

std::optional<std::size_t> PageTables::bandOf(const Cell& cell, const std::vector<Band>& bands) const {
    const double tolerance = columnTolerance * word(cell.words.front()).size;
    for (std::size_t b = 0; b < bands.size(); ++b)
        if (std::abs(cell.left - bands[b].left) <= tolerance ||
            std::abs(cell.right - bands[b].right) <= tolerance)
            return b;
    return std::nullopt;
}

std::vector<std::vector<PageTables::Cell>> PageTables::grow(const std::vector<Row>& rows, std::size_t first,
                                                            std::size_t& end,
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

bool PageTables::isTable(const std::vector<std::vector<Cell>>& table, const std::vector<Band>& bands) const {
    if (table.size() < minTableRows || bands.size() < 2)
        return false;
    // A list's markers stand apart from their text as a cell would.
    bool allMarkers = true;
    for (const std::vector<Cell>& row : table)
        allMarkers = allMarkers && row.front().words.size() == 1 &&
                     ListMarker::of(word(row.front().words.front()).text);
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

PageTables::Table PageTables::take(const std::vector<std::vector<Cell>>& table,
                                   const std::vector<Band>& bands) {
    Table found{PageBox::of(word(table.front().front().words.front())), {}};
    Block& block = found.block;
    block.kind = Block::Kind::Table;
    for (const std::vector<Cell>& cells : table) {
        std::vector<markdown::Spans> row;
        for (std::size_t b = 0; b < bands.size(); ++b) {
            markdown::Spans spans;
            if (b < cells.size())
                for (const WordRef& ref : cells[b].words) {
                    appendWord(spans, word(ref), WordSpans::Join::Space);
                    taken[ref.first][ref.second] = 1;
                    found.box.add(word(ref));
                }
            row.push_back(std::move(spans));
        }
        block.rows.push_back(std::move(row));
    }
    return found;
}