#pragma once

#include <string>
#include <vector>

// The structure found on one page of a document, in reading order, as Markdown shows it. The
// page analysis (text pages and read scans alike) fills it; MarkdownWriter turns it into text.
// All text is UTF-8 as the PDF gives it: nothing in it is markup, the writer escapes it.
namespace markdown {

// A run of text inside a block; with a target it is a link (http, https and mailto only).
struct Span {
    std::string text;
    std::string target;

    bool operator==(const Span&) const = default;
};
using Spans = std::vector<Span>;

struct Block {
    enum class Kind { Heading, Paragraph, ListItem, Code, Table };
    Kind kind = Kind::Paragraph;
    // Heading: 1 to 6. List item: nesting depth, 0 for the outermost list.
    int level = 0;
    // List item: empty for a bullet, else the item's number or letter as printed ("3", "b").
    std::string number;
    // Heading, paragraph and list item: the text, its lines already joined into one.
    Spans spans;
    // Code: the lines as printed, indentation and spaces kept.
    std::vector<std::string> codeLines;
    // Table: rows of cells, the first row the header.
    std::vector<std::vector<Spans>> rows;
    // Paragraph or list item: its text runs on at the top of the next page (the next page's
    // first block carries the rest and has continuesPrevious set).
    bool continuesNext = false;
    bool continuesPrevious = false;

    bool operator==(const Block&) const = default;
};

struct Page {
    std::vector<Block> blocks;

    bool operator==(const Page&) const = default;
};

// The document's information shown as front matter; empty values are left out.
struct DocumentInfo {
    std::string title;
    std::string author;
    std::string subject;
    std::string keywords;
    std::string created; // as ISO 8601, e.g. 2024-05-01T10:00:00+02:00
    std::string modified;
};

} // namespace markdown
