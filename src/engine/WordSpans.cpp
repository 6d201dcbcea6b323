#include "engine/WordSpans.h"

#include <cctype>
#include <string_view>

namespace WordSpans {

namespace {

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

// Whether the text ends in a hyphen that belongs to its word ("Anglo-"): the next line's word
// follows it without a space.
bool endsInWordHyphen(const std::string& text) {
    for (const std::string_view hyphen : {std::string_view("-"), std::string_view("\u2010")})
        if (text.ends_with(hyphen) && text.size() > hyphen.size() &&
            text[text.size() - hyphen.size() - 1] != ' ')
            return true;
    return false;
}

} // namespace

void appendSpan(markdown::Spans& spans, const std::string& text, const std::string& target) {
    if (!spans.empty() && spans.back().target == target)
        spans.back().text += text;
    else
        spans.push_back({text, target});
}

void appendWord(markdown::Spans& spans, const PageLayout::Word& word, Join join) {
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

bool endsSentence(const std::string& text) {
    const char end = text.empty() ? '.' : text.back();
    return end == '.' || end == '!' || end == '?' || end == ':';
}

} // namespace WordSpans
