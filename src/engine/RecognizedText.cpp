#include "engine/RecognizedText.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cmath>

namespace {

// Characters of a UTF-8 text; broken sequences are skipped.
std::vector<unsigned> decode(std::string_view text) {
    std::vector<unsigned> characters;
    for (std::size_t i = 0; i < text.size();) {
        char32_t character = 0;
        const std::size_t length = platform::utf8SequenceAt(text.substr(i), character);
        if (length > 0)
            characters.push_back(character);
        i += length > 0 ? length : 1;
    }
    return characters;
}

double median(std::vector<double> values, double fallback) {
    if (values.empty())
        return fallback;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                     values.end());
    return values[values.size() / 2];
}

// Lines whose middles lie within half a line of each other share a row.
std::vector<std::vector<PageReader::Line>> rows(std::vector<PageReader::Line> lines) {
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.top < b.top; });
    std::vector<std::vector<PageReader::Line>> result;
    for (PageReader::Line& line : lines) {
        const int middle = (line.top + line.bottom) / 2;
        if (!result.empty()) {
            const PageReader::Line& first = result.back().front();
            if (std::abs(middle - (first.top + first.bottom) / 2) <= (first.bottom - first.top) / 2) {
                result.back().push_back(std::move(line));
                continue;
            }
        }
        result.push_back({std::move(line)});
    }
    for (auto& row : result)
        std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.left < b.left; });
    return result;
}

} // namespace

RecognizedText::RecognizedText(const UnicodeMap& map, EndOfLineKind endOfLine, bool pageBreaks,
                               bool physicalLayout)
    : encoder(map, endOfLine), eol(encoder.endOfLine()), eop(encoder.pageBreak()), space(encoder.encode(" ")),
      pageBreaks(pageBreaks), physicalLayout(physicalLayout) {}

std::string RecognizedText::page(const std::vector<PageReader::Line>& lines) const {
    std::string text = physicalLayout ? inPlace(lines) : inReadingOrder(lines);
    if (pageBreaks)
        text += eop;
    return text;
}

std::string RecognizedText::inReadingOrder(const std::vector<PageReader::Line>& lines) const {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0 && lines[i].startsParagraph)
            text += eol;
        text += encoder.encode(lines[i].text) + eol;
    }
    if (!lines.empty())
        text += eol;
    return text;
}

std::string RecognizedText::inPlace(std::vector<PageReader::Line> lines) const {
    std::vector<double> characterWidths;
    std::vector<double> heights;
    for (const PageReader::Line& line : lines) {
        const std::size_t characters = decode(line.text).size();
        if (characters > 0)
            characterWidths.push_back(static_cast<double>(line.right - line.left) /
                                      static_cast<double>(characters));
        heights.push_back(line.bottom - line.top);
    }
    const double characterWidth = std::max(median(characterWidths, 1.0), 1.0);
    // The page's margin is no indentation: the engine's text, too, starts at its leftmost.
    int margin = 0;
    if (!lines.empty())
        margin = std::min_element(lines.begin(), lines.end(), [](const auto& a, const auto& b) {
                     return a.left < b.left;
                 })->left;
    const auto byRow = rows(std::move(lines));
    std::vector<double> pitches;
    for (std::size_t i = 1; i < byRow.size(); ++i)
        pitches.push_back(byRow[i].front().top - byRow[i - 1].front().top);
    const double pitch = std::max(median(pitches, median(heights, 1.0)), 1.0);
    std::string text;
    for (std::size_t i = 0; i < byRow.size(); ++i) {
        if (i > 0) {
            const double gap = byRow[i].front().top - byRow[i - 1].front().top;
            const long blank = std::lround(gap / pitch) - 1;
            for (long k = 0; k < std::min(blank, 100L); ++k)
                text += eol;
        }
        long column = 0;
        for (const PageReader::Line& line : byRow[i]) {
            const long wanted = std::lround((line.left - margin) / characterWidth);
            const long spaces = std::max(wanted - column, column > 0 ? 1L : 0L);
            for (long k = 0; k < spaces; ++k)
                text += space;
            text += encoder.encode(line.text);
            column += spaces + static_cast<long>(decode(line.text).size());
        }
        text += eol;
    }
    return text;
}
