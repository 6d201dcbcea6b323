#include "cli/Terminal.h"

#include <unistd.h>

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xc0) == 0x80;
}

// The length of the valid UTF-8 sequence of two or more bytes at the start of text, and its
// code point; 0 when there is none (a stray, overlong, surrogate or cut-off sequence).
std::size_t sequenceAt(std::string_view text, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t lowest = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        codePoint = lead & 0x1f;
        lowest = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        codePoint = lead & 0x0f;
        lowest = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        codePoint = lead & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!isContinuation(byte))
            return 0;
        codePoint = codePoint << 6 | (byte & 0x3f);
    }
    const bool surrogate = codePoint >= 0xd800 && codePoint <= 0xdfff;
    if (codePoint < lowest || codePoint > 0x10ffff || surrogate)
        return 0;
    return length;
}

void appendEscaped(std::string& shown, unsigned char byte) {
    static const char digits[] = "0123456789abcdef";
    switch (byte) {
    case '\t':
        shown += "\\t";
        return;
    case '\n':
        shown += "\\n";
        return;
    case '\r':
        shown += "\\r";
        return;
    case '\\':
        shown += "\\\\";
        return;
    default:
        shown += "\\x";
        shown += digits[byte >> 4];
        shown += digits[byte & 0x0f];
    }
}

} // namespace

bool isTerminal(std::FILE* stream) {
    return ::isatty(fileno(stream)) == 1;
}

std::string terminalSafeText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7f || byte == '\\')
                appendEscaped(shown, byte);
            else
                shown += static_cast<char>(byte);
            ++i;
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = sequenceAt(text.substr(i), codePoint);
        if (length == 0) {
            appendEscaped(shown, byte);
            ++i;
            continue;
        }
        const bool c1Control = codePoint <= 0x9f;
        for (std::size_t k = 0; k < length; ++k) {
            if (c1Control)
                appendEscaped(shown, static_cast<unsigned char>(text[i + k]));
            else
                shown += text[i + k];
        }
        i += length;
    }
    return shown;
}
