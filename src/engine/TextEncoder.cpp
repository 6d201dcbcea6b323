#include "engine/TextEncoder.h"

#include "platform/Utf8.h"

#include <UnicodeMap.h>
#include <algorithm>

TextEncoder::TextEncoder(const UnicodeMap& map, EndOfLineKind endOfLine) : map(map) {
    if (endOfLine == eolDOS || endOfLine == eolMac)
        eol = code(0x0D);
    if (endOfLine == eolDOS || endOfLine == eolUnix)
        eol += code(0x0A);
}

std::string TextEncoder::encode(std::string_view utf8) const {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t character = 0;
        const std::size_t length = platform::utf8SequenceAt(utf8.substr(i), character);
        if (length == 0) {
            ++i;
            continue;
        }
        i += length;
        if (character == '\n')
            bytes += eol;
        else
            bytes += code(character);
    }
    return bytes;
}

std::string TextEncoder::code(unsigned character) const {
    char buffer[8];
    const int length = map.mapUnicode(character, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(std::max(length, 0)));
}
