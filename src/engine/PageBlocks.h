#pragma once

#include "core/MarkdownPage.h"
#include "engine/DocumentStyle.h"
#include "engine/LineView.h"
#include "engine/ListMarker.h"
#include "engine/PageAnalysis.h"
#include "engine/PageBox.h"
#include "engine/PageLayout.h"
#include "engine/PageTables.h"

#include <cstddef>
#include <map>
#include <vector>

// Walks the lines of a page in reading order and makes its blocks.
class PageBlocks {
public:
    PageBlocks(const PageLayout& layout, const PageAnalysis::Context& context);

    markdown::Page build();

private:
    // A region of the page read as one: a block of lines or a table.
    struct Region {
        PageBox box;
        int block = 0;
        int table = -1;
    };

    // Orders regions as a page is read: columns side by side from left to right, each read
    // down before the next, and otherwise from top to bottom; regions the cuts cannot part keep
    // the engine's order.
    static void readingOrder(std::vector<Region> regions, double gutter, std::vector<Region>& ordered);
    // The page's blocks (what is left of them) and tables in reading order.
    std::vector<Region> regions(const std::vector<PageTables::Table>& tables) const;
    void markFurniture();
    void measureBlocks();
    // Places the line at l, and those that belong with it; how many lines it took.
    std::size_t place(std::size_t l);
    // A heading the outline names on this page, shown by the line at l and maybe the next two.
    std::size_t outlineHeading(std::size_t l);
    std::size_t fontHeading(std::size_t l, int level);
    // A marker starts an item unless a dash or star merely begins a line of running text.
    bool startsItem(std::size_t l) const;
    void startItem(const LineView& line, const ListMarker& marker);
    // Whether the line at l goes on with the open paragraph or item.
    bool continues(std::size_t l) const;
    // The line before ended where the next line's first word would still have fitted before
    // the right edge: it ended its paragraph.
    static bool endsShort(const LineView& before, const LineView& line, double rightEdge);
    // The line at l goes on with the paragraph of the last line though the engine cut them
    // into two blocks (a word in another font may move its cut).
    bool continuesAcrossBlocks(const LineView& line) const;
    void appendLine(const LineView& line, std::size_t from) { appendLine(*open, line, from); }
    static void appendLine(markdown::Block& block, const LineView& line, std::size_t from = 0);
    void openCode();
    void close();
    // Code lines as printed: each word at its column counted in the font's character width
    // from the run's left edge, and blank lines from the line pitch. Parts of one printed line
    // the engine read as lines of their own come together again.
    void writeCode(markdown::Block& block) const;

    const PageLayout& layout;
    const PageAnalysis::Context& context;
    std::vector<std::vector<char>> taken;
    std::vector<LineView> lines;
    std::map<int, double> blockRight;
    std::map<int, bool> blockBold;
    std::vector<DocumentStyle::OutlineHeading> outline;
    markdown::Page page;
    markdown::Block* open = nullptr;
    const LineView* last = nullptr;
    std::vector<const LineView*> code;
    std::vector<double> itemLefts;
    double itemTextLeft = 0;
};
