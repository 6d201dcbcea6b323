#pragma once

#include <string>
#include <string_view>

// The character side of the Markdown output: text as the PDF gives it made plain (valid UTF-8,
// ligatures as their letters, no soft hyphens or control characters) and escaped so that a
// CommonMark renderer reads every character as itself.
class MarkdownText {
public:
    // Invalid UTF-8 replaced by U+FFFD, the ligatures U+FB00 to U+FB06 written as their
    // letters, soft hyphens dropped. Controls are kept (the callers differ on them).
    static std::string normalized(std::string_view text);
    // normalized() on one line of running text: line, paragraph and page breaks become spaces
    // (dropping them would glue two words), every other control character but the tab goes.
    static std::string inlineText(std::string_view text);
    // normalized() on one line of code: every control character but the tab goes.
    static std::string codeLine(std::string_view text);

    // line[begin, end) escaped; the rest of line is the context that decides whether a
    // character could start or end a construct (line is a block's whole text, trimmed).
    static std::string escaped(std::string_view line, std::size_t begin, std::size_t end);

    // Whether target may become a link: http, https and mailto only.
    static bool isLinkTarget(std::string_view target);
    // target as a link destination: what would end it or change its meaning percent-encoded,
    // and every byte outside ASCII too (as renderers do), so nothing in it needs repair.
    static std::string linkDestination(std::string_view target);

    // text as a double-quoted YAML scalar. Beyond YAML's own escapes, '<' and '[' are written
    // as escapes too, so a renderer that takes the front matter for Markdown finds no HTML or
    // link in it.
    static std::string yamlQuoted(std::string_view text);
};
