#pragma once

#include "core/MarkdownPage.h"

#include <string>

// Turns the structure of a page into CommonMark. Every character of the PDF's text is written
// so that a renderer shows it as that character: nothing the PDF holds becomes markup, a link
// or HTML. Plain UTF-8 with "\n" line ends; end-of-line, encoding and page breaks are the
// caller's.
class MarkdownWriter {
public:
    // The document's information as a YAML front-matter block ("---" lines), values double-quoted and
    // escaped; empty fields left out; "" when every field is empty.
    static std::string frontMatter(const markdown::DocumentInfo& info);
    // One page as Markdown, UTF-8, every line ending in "\n", each block followed by a blank line.
    // A page whose first block continuesPrevious leaves that block out (the previous page wrote it);
    // when the page's last block continuesNext, continuation is the next page's first block and is
    // joined onto it (a line-end hyphen between two lowercase word parts joined, else one space), so
    // a page break never splits a paragraph. continuation is null when there is none.
    // Only paragraphs and list items run on; continuesNext and continuesPrevious on other blocks
    // are not followed. The caller passes the continuation whenever the next page is written in
    // the same output, and clears continuesPrevious on the first page it writes, so no text is
    // left out that the page before did not write. A page whose one block continues the
    // previous page and runs on into the next writes the continuation on its own: the page
    // before wrote the block, and the page after leaves the continuation out.
    static std::string page(const markdown::Page& page, const markdown::Block* continuation);
};
