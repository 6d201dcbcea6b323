#include "core/MarkdownWriter.h"

#include "core/MarkdownText.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cstddef>
#include <utility>

using markdown::Block;
using markdown::Span;
using markdown::Spans;

namespace {

constexpr std::size_t maxOrderedNumberDigits = 9; // longer numbers do not start a list

// Line breaks count as blanks: in running text they stand for a space.
constexpr const char* blanks = " \t\r\n\v\f";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) + 1 - first);
}

// Lowercase letters of the Latin, Greek and Cyrillic alphabets: enough to tell a word broken
// at a line's end ("exam-" "ple") from a compound or a dash before a name.
bool isLowercaseLetter(char32_t c) {
    if (c >= 'a' && c <= 'z')
        return true;
    if (c >= 0xdf && c <= 0xff)
        return c != 0xf7;
    if (c >= 0x100 && c <= 0x137)
        return c % 2 == 1;
    if (c >= 0x139 && c <= 0x148)
        return c % 2 == 0;
    if (c >= 0x14a && c <= 0x177)
        return c % 2 == 1;
    if (c >= 0x179 && c <= 0x17e)
        return c % 2 == 0;
    return (c >= 0x3ac && c <= 0x3ce) || (c >= 0x430 && c <= 0x45f);
}

char32_t firstCodePoint(std::string_view text) {
    char32_t c = 0;
    return platform::utf8SequenceAt(text, c) > 0 ? c : 0;
}

char32_t lastCodePoint(std::string_view text) {
    for (std::size_t length = 1; length <= 4 && length <= text.size(); ++length) {
        char32_t c = 0;
        if (platform::utf8SequenceAt(text.substr(text.size() - length), c) == length)
            return c;
    }
    return 0;
}

// What goes between the end of a page's last paragraph and the text the next page carries on
// with: nothing for a word broken at a hyphen (which goes), else one space.
std::string joinedEnd(std::string_view end, std::string_view next) {
    constexpr std::string_view softHyphen = "\u00ad";
    if (end.ends_with(softHyphen))
        return std::string(end.substr(0, end.size() - softHyphen.size()));
    const bool brokenWord = end.ends_with('-') &&
                            isLowercaseLetter(lastCodePoint(end.substr(0, end.size() - 1))) &&
                            isLowercaseLetter(firstCodePoint(next));
    if (brokenWord)
        return std::string(end.substr(0, end.size() - 1));
    return std::string(end) + ' ';
}

bool hasText(const Block& block) {
    return std::any_of(block.spans.begin(), block.spans.end(),
                       [](const Span& span) { return !trimmed(span.text).empty(); });
}

// tail with the text of next, the block that carries it on at the top of the next page.
Block joinedAcrossPages(const Block& tail, const Block& next) {
    if (!hasText(next))
        return tail;
    Block joined = tail;
    std::vector<Span> rest = next.spans;
    while (!rest.empty() && trimmed(rest.front().text).empty())
        rest.erase(rest.begin());
    std::string& head = rest.front().text;
    head.erase(0, head.find_first_not_of(blanks));
    while (!joined.spans.empty() && trimmed(joined.spans.back().text).empty())
        joined.spans.pop_back();
    if (!joined.spans.empty()) {
        std::string& end = joined.spans.back().text;
        end.erase(end.find_last_not_of(blanks) + 1);
        const std::string glued = joinedEnd(end, head);
        // The space between belongs to neither, so it never lands inside a link's text.
        const bool space = glued.size() > end.size();
        end = glued.substr(0, space ? end.size() : glued.size());
        if (space)
            joined.spans.push_back(Span{" ", {}});
    }
    joined.spans.insert(joined.spans.end(), rest.begin(), rest.end());
    return joined;
}

// The spans as one line of Markdown: plain text escaped, links for the schemes allowed.
std::string inlineMarkdown(const Spans& spans) {
    std::string line;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (const Span& span : spans) {
        const std::string text = MarkdownText::inlineText(span.text);
        ranges.emplace_back(line.size(), line.size() + text.size());
        line += text;
    }
    const std::size_t first = std::min(line.find_first_not_of(blanks), line.size());
    const std::size_t last = line.find_last_not_of(blanks) + 1;
    const std::string_view body = first < last ? std::string_view(line).substr(first, last - first) : "";
    std::string out;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const std::size_t begin = std::max(ranges[i].first, first) - first;
        const std::size_t end = std::min(ranges[i].second, last);
        if (end <= first || end - first <= begin)
            continue;
        const std::string text = MarkdownText::escaped(body, begin, end - first);
        if (!MarkdownText::isLinkTarget(spans[i].target)) {
            out += text;
            continue;
        }
        // "!" just before a link's bracket would make it an image.
        if (out.ends_with('!'))
            out.insert(out.size() - 1, "\\");
        out += "[" + text + "](" + MarkdownText::linkDestination(spans[i].target) + ")";
    }
    return out;
}

bool isOrderedNumber(const std::string& number) {
    return !number.empty() && number.size() <= maxOrderedNumberDigits &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Nested lists: the column each open item's text starts at, outermost first. A nested item is
// indented to its parent's text, which is what makes a renderer nest it.
class ListNesting {
public:
    // The indentation of an item at level, and from then on the open items up to it.
    std::string open(int level, std::size_t markerWidth) {
        const std::size_t depth =
            std::min(static_cast<std::size_t>(std::max(level, 0)), m_textColumns.size());
        const std::size_t indent = depth == 0 ? 0 : m_textColumns[depth - 1];
        m_textColumns.resize(depth);
        m_textColumns.push_back(indent + markerWidth);
        return std::string(indent, ' ');
    }
    void close() { m_textColumns.clear(); }

private:
    std::vector<std::size_t> m_textColumns;
};

std::string heading(const Block& block) {
    const std::string text = inlineMarkdown(block.spans);
    if (text.empty())
        return {};
    return std::string(static_cast<std::size_t>(std::clamp(block.level, 1, 6)), '#') + ' ' + text + '\n';
}

std::string paragraph(const Block& block) {
    const std::string text = inlineMarkdown(block.spans);
    return text.empty() ? std::string() : text + '\n';
}

// A numbered item is an ordered list item; CommonMark numbers nothing else, so a lettered
// item is a bullet that keeps its letter as text.
std::string listItem(const Block& block, ListNesting& nesting) {
    Spans spans = block.spans;
    std::string marker = "- ";
    if (isOrderedNumber(block.number)) {
        marker = block.number + ". ";
    } else if (!block.number.empty()) {
        const bool delimited = block.number.ends_with('.') || block.number.ends_with(')');
        spans.insert(spans.begin(), Span{block.number + (delimited ? " " : ". "), {}});
    }
    const std::string text = inlineMarkdown(spans);
    if (text.empty())
        return {};
    return nesting.open(block.level, marker.size()) + marker + text + '\n';
}

std::size_t longestBacktickRun(const std::vector<std::string>& lines) {
    std::size_t longest = 0;
    for (const std::string& line : lines) {
        std::size_t run = 0;
        for (const char c : line) {
            run = c == '`' ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

std::string code(const Block& block) {
    std::vector<std::string> lines;
    for (const std::string& printed : block.codeLines) {
        std::string_view rest = printed;
        for (std::size_t end = rest.find('\n');; end = rest.find('\n')) {
            lines.push_back(MarkdownText::codeLine(rest.substr(0, end)));
            if (end == std::string_view::npos)
                break;
            rest.remove_prefix(end + 1);
        }
    }
    if (lines.empty())
        return {};
    // A fence longer than any run of backticks inside cannot be closed by the code.
    const std::string fence(std::max<std::size_t>(3, longestBacktickRun(lines) + 1), '`');
    std::string out = fence + '\n';
    for (const std::string& line : lines)
        out += line + '\n';
    return out + fence + '\n';
}

std::string tableRow(const std::vector<Spans>& cells, std::size_t columns) {
    std::string out = "|";
    for (std::size_t i = 0; i < columns; ++i)
        out += ' ' + (i < cells.size() ? inlineMarkdown(cells[i]) : std::string()) + " |";
    return out + '\n';
}

std::string table(const Block& block) {
    std::size_t columns = 0;
    for (const auto& row : block.rows)
        columns = std::max(columns, row.size());
    if (columns == 0)
        return {};
    std::string out = tableRow(block.rows.front(), columns) + '|';
    for (std::size_t i = 0; i < columns; ++i)
        out += " --- |";
    out += '\n';
    for (std::size_t i = 1; i < block.rows.size(); ++i)
        out += tableRow(block.rows[i], columns);
    return out;
}

std::string blockMarkdown(const Block& block, ListNesting& nesting) {
    if (block.kind == Block::Kind::ListItem)
        return listItem(block, nesting);
    nesting.close();
    switch (block.kind) {
    case Block::Kind::Heading:
        return heading(block);
    case Block::Kind::Code:
        return code(block);
    case Block::Kind::Table:
        return table(block);
    default:
        return paragraph(block);
    }
}

// Only running text goes on across a page break; the flags of other blocks are not followed,
// so nothing is left out that was not written with the page before.
bool isRunningText(const Block& block) {
    return block.kind == Block::Kind::Paragraph || block.kind == Block::Kind::ListItem;
}

bool runsOnInto(const Block& block, const Block* continuation) {
    return block.continuesNext && isRunningText(block) && continuation && isRunningText(*continuation);
}

} // namespace

std::string MarkdownWriter::frontMatter(const markdown::DocumentInfo& info) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"title", &info.title},       {"author", &info.author},   {"subject", &info.subject},
        {"keywords", &info.keywords}, {"created", &info.created}, {"modified", &info.modified},
    };
    std::string lines;
    for (const auto& [key, value] : fields) {
        const std::string_view text = trimmed(*value);
        if (!text.empty())
            lines += std::string(key) + ": " + MarkdownText::yamlQuoted(text) + '\n';
    }
    return lines.empty() ? std::string() : "---\n" + lines + "---\n\n";
}

std::string MarkdownWriter::page(const markdown::Page& page, const markdown::Block* continuation) {
    const std::vector<Block>& blocks = page.blocks;
    std::string out;
    ListNesting nesting;
    const bool carriedOver =
        !blocks.empty() && blocks.front().continuesPrevious && isRunningText(blocks.front());
    const std::size_t first = carriedOver ? 1 : 0;
    for (std::size_t i = first; i < blocks.size(); ++i) {
        const bool last = i + 1 == blocks.size();
        const std::string text = last && runsOnInto(blocks[i], continuation)
                                     ? blockMarkdown(joinedAcrossPages(blocks[i], *continuation), nesting)
                                     : blockMarkdown(blocks[i], nesting);
        if (!text.empty())
            out += text + '\n';
    }
    // The previous page took this page's only block, so it could not take the next page's
    // start as well; written here, that text is not lost.
    if (carriedOver && blocks.size() == 1 && runsOnInto(blocks.front(), continuation)) {
        Block rest = *continuation;
        rest.kind = Block::Kind::Paragraph;
        const std::string text = paragraph(rest);
        if (!text.empty())
            out += text + '\n';
    }
    return out;
}
