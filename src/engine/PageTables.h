#pragma once

#include "core/MarkdownPage.h"
#include "engine/PageBox.h"
#include "engine/PageLayout.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

// Finds the tables of a page: rows of words whose gaps line up in columns, told apart from
// lists and from columns of running text.
class PageTables {
public:
    struct Table {
        PageBox box;
        markdown::Block block;
    };

    // Cells of one column start or end within this many font sizes of each other.
    static constexpr double columnTolerance = 0.6;

    // taken marks, per line and word, the words already spoken for; find marks the tables' too.
    PageTables(const PageLayout& layout, std::vector<std::vector<char>>& taken)
        : layout(layout), taken(taken) {}

    // The tables of the page, each with the first line (in reading order) it takes words from;
    // their words are marked taken.
    std::vector<Table> find();

private:
    using WordRef = std::pair<std::size_t, std::size_t>; // line and word in the layout
    struct Cell;
    struct Row;
    struct Band;

    const PageLayout::Word& word(const WordRef& ref) const {
        return layout.lines[ref.first].words[ref.second];
    }
    std::vector<Row> pageRows() const;
    Row rowOf(std::vector<WordRef>& group) const;
    std::optional<std::size_t> bandOf(const Cell& cell, const std::vector<Band>& bands) const;
    // The rows from first on whose cells fall into the bands of the first, as cells by band; a
    // row of one cell in a later band carries on the cell above it. end is the row after.
    std::vector<std::vector<Cell>> grow(const std::vector<Row>& rows, std::size_t first, std::size_t& end,
                                        std::vector<Band>& bands) const;
    bool isTable(const std::vector<std::vector<Cell>>& table, const std::vector<Band>& bands) const;
    Table take(const std::vector<std::vector<Cell>>& table, const std::vector<Band>& bands);

    const PageLayout& layout;
    std::vector<std::vector<char>>& taken;
};
