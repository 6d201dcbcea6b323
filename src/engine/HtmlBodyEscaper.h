#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

class UnicodeMap;

// Escapes the page text of an HTML page, so a document cannot put markup into its page: '&',
// '<', '>' and '"' become entities. The engine writes its ISO-2022 encodings as two-byte
// 7-bit codes without shift sequences, where a code's bytes can read as markup; there the text
// is taken a character at a time: a code holding such a byte is written as the character's
// numeric reference, and every other code keeps the engine's bytes.
class HtmlBodyEscaper {
public:
    // textMap: the engine's map for the page text; used only for two-byte codes. Build it with
    // the engine lock held.
    HtmlBodyEscaper(const std::string& encodingName, const UnicodeMap* textMap);

    // The engine writes whole codes in each piece of text.
    std::string escape(const char* text, std::size_t length);

private:
    void appendCode(std::string& result, unsigned char lead, unsigned char trail) const;

    bool twoByteCodes = false;
    // The codes with a byte that reads as markup, and the character each one stands for.
    std::unordered_map<std::uint16_t, std::uint32_t> markupCodes;
};
