#pragma once

#include "engine/PageReader.h"
#include "engine/TextEncoder.h"

#include <TextOutputDev.h>
#include <string>
#include <string_view>
#include <vector>

class UnicodeMap;

// Writes the lines read from a scan as the engine writes a page's text: every character
// through the job's encoding map (one it cannot hold is dropped), its line end and page break.
// With the physical layout the lines stay roughly where they stand: indented by spaces from
// the left edge, side by side when they share a row, blank lines for large gaps; otherwise
// they follow in reading order, a blank line before each new paragraph.
class RecognizedText {
public:
    RecognizedText(const UnicodeMap& map, EndOfLineKind endOfLine, bool pageBreaks, bool physicalLayout);

    std::string page(const std::vector<PageReader::Line>& lines) const;

private:
    std::string inReadingOrder(const std::vector<PageReader::Line>& lines) const;
    std::string inPlace(std::vector<PageReader::Line> lines) const;
    TextEncoder encoder;
    std::string eol;
    std::string eop;
    std::string space;
    bool pageBreaks;
    bool physicalLayout;
};
