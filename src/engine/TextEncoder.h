#pragma once

#include <TextOutputDev.h>
#include <string>
#include <string_view>

class UnicodeMap;

// UTF-8 text written as the engine writes a page: each character through the job's encoding
// map (one the map cannot hold is dropped) and each "\n" as the job's line end.
class TextEncoder {
public:
    TextEncoder(const UnicodeMap& map, EndOfLineKind endOfLine);

    std::string encode(std::string_view utf8) const;
    const std::string& endOfLine() const { return eol; }
    // The character a page break is written as.
    std::string pageBreak() const { return code(0x0C); }

private:
    std::string code(unsigned character) const;

    const UnicodeMap& map;
    std::string eol;
};
