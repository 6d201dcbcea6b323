#include "cli/Terminal.h"

#include "platform/Utf8.h"

#include <unistd.h>

namespace {

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
        const std::size_t length = platform::utf8SequenceAt(text.substr(i), codePoint);
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
