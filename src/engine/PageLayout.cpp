#include "engine/PageLayout.h"

#include <TextOutputDev.h>
#include <algorithm>
#include <cctype>
#include <goo/GooString.h>
#include <initializer_list>
#include <map>

namespace {

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool nameHas(const std::string& name, std::initializer_list<const char*> parts) {
    const std::string lower = lowercase(name);
    return std::any_of(parts.begin(), parts.end(),
                       [&](const char* part) { return lower.find(part) != std::string::npos; });
}

struct FontLook {
    bool bold = false;
    bool monospaced = false;
};
// A page has few fonts and many words: each font is judged once.
using FontLooks = std::map<const TextFontInfo*, FontLook>;

FontLook lookOf(const TextFontInfo& font, FontLooks& known) {
    const auto found = known.find(&font);
    if (found != known.end())
        return found->second;
    const std::string name = font.getFontName() ? font.getFontName()->toStr() : std::string();
    const FontLook look{font.isBold() || nameHas(name, {"bold", "black", "heavy"}),
                        font.isFixedWidth() || nameHas(name, {"mono", "courier", "consol", "typewriter"})};
    return known.emplace(&font, look).first->second;
}

PageLayout::Word wordOf(const TextWord& source, FontLooks& looks) {
    PageLayout::Word word;
    for (int i = 0; i < source.getLength(); ++i)
        PageLayout::appendUtf8(word.text, *source.getChar(i));
    source.getBBox(&word.left, &word.top, &word.right, &word.bottom);
    word.size = source.getFontSize();
    word.spaceAfter = source.getSpaceAfter();
    if (const TextFontInfo* font = source.getLength() > 0 ? source.getFontInfo(0) : nullptr) {
        const FontLook look = lookOf(*font, looks);
        word.bold = look.bold;
        word.monospaced = look.monospaced;
    }
    return word;
}

} // namespace

PageLayout PageLayout::of(const TextOutputDev& device, double pageWidth, double pageHeight) {
    PageLayout layout;
    layout.width = pageWidth;
    layout.height = pageHeight;
    int block = 0;
    FontLooks looks;
    for (const TextFlow* flow = device.getFlows(); flow; flow = flow->getNext()) {
        for (const TextBlock* textBlock = flow->getBlocks(); textBlock;
             textBlock = textBlock->getNext(), ++block) {
            for (const TextLine* textLine = textBlock->getLines(); textLine; textLine = textLine->getNext()) {
                Line line;
                line.block = block;
                for (const TextWord* word = textLine->getWords(); word; word = word->getNext())
                    line.words.push_back(wordOf(*word, looks));
                if (!line.words.empty())
                    layout.lines.push_back(std::move(line));
            }
        }
    }
    layout.attachLoneBullets();
    return layout;
}

void PageLayout::attachLoneBullets() {
    static const std::vector<std::string> bullets{"•", "◦", "▪", "‣", "●", "○", "■", "□", "·"};
    // A bullet stands at most this many font sizes left of its text.
    constexpr double maxBulletGap = 3;
    for (Line& bulletLine : lines) {
        if (bulletLine.words.size() != 1 ||
            std::find(bullets.begin(), bullets.end(), bulletLine.words.front().text) == bullets.end())
            continue;
        const Word& bullet = bulletLine.words.front();
        const double middle = (bullet.top + bullet.bottom) / 2;
        Line* marked = nullptr;
        for (Line& line : lines) {
            if (&line == &bulletLine || line.words.empty())
                continue;
            const Word& first = line.words.front();
            const bool besideBullet =
                first.left >= bullet.right &&
                first.left - bullet.right <= maxBulletGap * std::max(bullet.size, first.size);
            if (besideBullet && middle >= first.top && middle <= first.bottom &&
                (!marked || first.left < marked->words.front().left))
                marked = &line;
        }
        if (!marked)
            continue;
        marked->words.insert(marked->words.begin(), bullet);
        marked->words.front().spaceAfter = true;
        bulletLine.words.clear();
    }
    std::erase_if(lines, [](const Line& line) { return line.words.empty(); });
}

void PageLayout::linkWords(double left, double top, double right, double bottom, const std::string& uri) {
    for (Line& line : lines)
        for (Word& word : line.words) {
            const double x = (word.left + word.right) / 2;
            const double y = (word.top + word.bottom) / 2;
            if (x >= left && x <= right && y >= top && y <= bottom)
                word.link = uri;
        }
}

bool PageLayout::isLinkTarget(const std::string& uri) {
    const std::size_t colon = uri.find(':');
    if (colon == std::string::npos)
        return false;
    const std::string scheme = lowercase(uri.substr(0, colon));
    return scheme == "http" || scheme == "https" || scheme == "mailto";
}

void PageLayout::appendUtf8(std::string& text, unsigned codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        if (codePoint >= 0xD800 && codePoint < 0xE000)
            return;
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x110000) {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}
