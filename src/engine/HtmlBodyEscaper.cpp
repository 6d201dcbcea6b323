#include "engine/HtmlBodyEscaper.h"

#include "engine/HtmlHead.h"

#include <UnicodeMap.h>
#include <cstdio>

namespace {

bool isMarkupByte(unsigned char byte) {
    return byte == '&' || byte == '<' || byte == '>' || byte == '"';
}

// Line ends, page breaks and other control bytes stand alone between the two-byte codes.
bool isSingleByteCode(unsigned char byte) {
    return byte < 0x21 || byte > 0x7E;
}

} // namespace

HtmlBodyEscaper::HtmlBodyEscaper(const std::string& encodingName, const UnicodeMap* textMap)
    : twoByteCodes(encodingName.starts_with("ISO-2022")) {
    if (!twoByteCodes || !textMap)
        return;
    char code[8];
    for (Unicode character = 0x20; character <= 0xFFFF; ++character) {
        if (textMap->mapUnicode(character, code, sizeof code) != 2)
            continue;
        const auto lead = static_cast<unsigned char>(code[0]);
        const auto trail = static_cast<unsigned char>(code[1]);
        if (isMarkupByte(lead) || isMarkupByte(trail))
            markupCodes.try_emplace(static_cast<std::uint16_t>(lead << 8 | trail), character);
    }
}

std::string HtmlBodyEscaper::escape(const char* text, std::size_t length) {
    if (!twoByteCodes)
        return HtmlHead::escape(text, length);
    std::string result;
    result.reserve(length + 8);
    std::size_t i = 0;
    while (i < length) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (isSingleByteCode(byte) || i + 1 == length) {
            result += HtmlHead::escape(text + i, 1);
            ++i;
        } else {
            appendCode(result, byte, static_cast<unsigned char>(text[i + 1]));
            i += 2;
        }
    }
    return result;
}

void HtmlBodyEscaper::appendCode(std::string& result, unsigned char lead, unsigned char trail) const {
    if (!isMarkupByte(lead) && !isMarkupByte(trail)) {
        result += static_cast<char>(lead);
        result += static_cast<char>(trail);
        return;
    }
    const auto found = markupCodes.find(static_cast<std::uint16_t>(lead << 8 | trail));
    if (found == markupCodes.end()) {
        // Not a code of the map: no character to name, so its bytes are made harmless.
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        result += HtmlHead::escape(bytes, 2);
        return;
    }
    char reference[16];
    std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(found->second));
    result += reference;
}
