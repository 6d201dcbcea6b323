#pragma once

#include <string>

class PDFDoc;
class UnicodeMap;
namespace platform {
class AtomicFile;
}

// The head and foot of the simple HTML page around the page text, with the document's
// information as meta lines.
class HtmlHead {
public:
    // "<html>" to "<pre>", with the meta lines of the information dictionary when withMeta.
    // Call with the engine lock held.
    static void write(platform::AtomicFile& output, PDFDoc& document, const UnicodeMap& valueMap,
                      bool withMeta);
    static void writeFoot(platform::AtomicFile& output);

    // '&', '<', '>' and '"' as entities, so a document cannot put markup into its page.
    static std::string escape(const char* text, std::size_t length);
    static std::string escape(const std::string& text) { return escape(text.data(), text.size()); }
    // A text value as the map writes it: UTF-16BE after a 0xFE 0xFF mark, else one
    // character per byte.
    static std::string mapTextValue(const std::string& value, const UnicodeMap& map);
    // A date value without its leading "D:"; one in UTF-16 is mapped as text is.
    static std::string dateValue(const std::string& value, const UnicodeMap& map);
};
