#include "core/MarkdownText.h"

#include "platform/Utf8.h"

#include <array>
#include <cstdio>

namespace {

constexpr char32_t replacementCharacter = 0xfffd;
constexpr char32_t softHyphen = 0xad;
constexpr std::array<std::string_view, 7> ligatureLetters{"ff", "fi", "fl", "ffi", "ffl", "st", "st"};

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xc0 | codePoint >> 6);
        out += static_cast<char>(0x80 | (codePoint & 0x3f));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xe0 | codePoint >> 12);
        out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (codePoint & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | codePoint >> 18);
        out += static_cast<char>(0x80 | (codePoint >> 12 & 0x3f));
        out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (codePoint & 0x3f));
    }
}

// Calls visit(codePoint) for each character of text, a stray byte counting as U+FFFD.
template <typename Visit> void forEachCodePoint(std::string_view text, Visit visit) {
    while (!text.empty()) {
        char32_t codePoint = 0;
        std::size_t length = platform::utf8SequenceAt(text, codePoint);
        if (length == 0) {
            codePoint = replacementCharacter;
            length = 1;
        }
        visit(codePoint);
        text.remove_prefix(length);
    }
}

bool isControl(char32_t c) {
    return c < 0x20 || c == 0x7f;
}

bool isLineBreak(char32_t c) {
    return c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// "&amp;", "&#38;", "&#x26;": what a renderer would read as a character reference.
bool startsEntity(std::string_view line, std::size_t ampersand) {
    std::size_t i = ampersand + 1;
    if (i < line.size() && line[i] == '#')
        return true;
    const std::size_t nameStart = i;
    while (i < line.size() && isAsciiAlnum(line[i]))
        ++i;
    return i > nameStart && i < line.size() && line[i] == ';';
}

// The '.' or ')' of "12." or "3)" at the start of a line, which would make an ordered list.
bool endsLeadingNumber(std::string_view line, std::size_t i) {
    if (i == 0 || i > 9 || (line[i] != '.' && line[i] != ')'))
        return false;
    for (std::size_t k = 0; k < i; ++k)
        if (!isDigit(line[k]))
            return false;
    return true;
}

// Whether line[i] must be escaped, line[begin, end) being the run it belongs to: a link's text
// is read apart from what stands around it.
bool mustEscape(std::string_view line, std::size_t i, std::size_t begin, std::size_t end) {
    const char c = line[i];
    switch (c) {
    case '\\':
    case '*':
    case '`':
    case '[':
    case ']':
    case '<':
    case '|':
    case '~':
        return true;
    case '_':
        // Between two letters or digits an underscore can neither open nor close emphasis.
        return i == begin || i + 1 >= end || !isAsciiAlnum(line[i - 1]) || !isAsciiAlnum(line[i + 1]);
    case '&':
        return startsEntity(line, i);
    case '#':
        // At a line's start it opens a heading; after a blank it may close one.
        return i == 0 || isBlank(line[i - 1]);
    case '-':
    case '+':
    case '=':
    case '>':
        // Lists, rules, setext underlines and block quotes start a line.
        return i == 0;
    case '.':
    case ')':
        return endsLeadingNumber(line, i);
    default:
        return false;
    }
}

std::string withoutControls(std::string_view text, bool lineBreaksAsSpaces) {
    std::string out;
    out.reserve(text.size());
    forEachCodePoint(MarkdownText::normalized(text), [&](char32_t c) {
        if (c == '\t' || !isControl(c))
            appendUtf8(out, c);
        else if (lineBreaksAsSpaces && isLineBreak(c))
            out += ' ';
    });
    return out;
}

std::string hexEscape(const char* format, char32_t codePoint) {
    std::array<char, 12> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format, static_cast<unsigned>(codePoint));
    return buffer.data();
}

std::string yamlEscape(char32_t c) {
    switch (c) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '\t':
        return "\\t";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '<':
    case '[':
        return hexEscape("\\x%02X", c);
    default:
        break;
    }
    // Outside YAML's printable set, and the line and paragraph separators a reader may break at.
    if (isControl(c) || (c >= 0x80 && c <= 0x9f))
        return hexEscape("\\x%02X", c);
    if (c == 0x2028 || c == 0x2029 || c == 0xfeff || c == 0xfffe || c == 0xffff)
        return hexEscape("\\u%04X", c);
    return {};
}

} // namespace

std::string MarkdownText::normalized(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    forEachCodePoint(text, [&](char32_t c) {
        if (c == softHyphen)
            return;
        if (c >= 0xfb00 && c <= 0xfb06)
            out += ligatureLetters[c - 0xfb00];
        else
            appendUtf8(out, c);
    });
    return out;
}

std::string MarkdownText::inlineText(std::string_view text) {
    return withoutControls(text, true);
}

std::string MarkdownText::codeLine(std::string_view text) {
    return withoutControls(text, false);
}

std::string MarkdownText::escaped(std::string_view line, std::size_t begin, std::size_t end) {
    std::string out;
    out.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        if (mustEscape(line, i, begin, end))
            out += '\\';
        out += line[i];
    }
    return out;
}

bool MarkdownText::isLinkTarget(std::string_view target) {
    const auto startsWith = [target](std::string_view scheme) {
        if (target.size() < scheme.size())
            return false;
        for (std::size_t i = 0; i < scheme.size(); ++i) {
            const char c = target[i];
            const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            if (lower != scheme[i])
                return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://") || startsWith("mailto:");
}

std::string MarkdownText::linkDestination(std::string_view target) {
    std::string out;
    for (std::size_t i = 0; i < target.size(); ++i) {
        const char c = target[i];
        const auto byte = static_cast<unsigned char>(c);
        // A renderer would read "&amp;" in a destination as "&".
        if (c == '&' && startsEntity(target, i))
            out += '\\';
        const bool special = c == '(' || c == ')' || c == '<' || c == '>' || c == '\\' || c == '`';
        if (byte <= 0x20 || byte >= 0x7f || special)
            out += hexEscape("%%%02X", byte);
        else
            out += c;
    }
    return out;
}

std::string MarkdownText::yamlQuoted(std::string_view text) {
    std::string out = "\"";
    forEachCodePoint(normalized(text), [&](char32_t c) {
        const std::string escape = yamlEscape(c);
        if (escape.empty())
            appendUtf8(out, c);
        else
            out += escape;
    });
    return out + '"';
}
