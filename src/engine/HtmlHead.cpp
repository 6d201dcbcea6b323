#include "engine/HtmlHead.h"

#include "platform/AtomicFile.h"

#include <Object.h>
#include <PDFDoc.h>
#include <UnicodeMap.h>
#include <array>
#include <goo/GooString.h>
#include <string_view>

namespace {

struct MetaLine {
    const char* key;
    const char* before;
    const char* after;
    bool isDate;
};

constexpr std::array<MetaLine, 8> metaLines{{
    {"Title", "<title>", "</title>\n", false},
    {"Subject", "<meta name=\"Subject\" content=\"", "\">\n", false},
    {"Keywords", "<meta name=\"Keywords\" content=\"", "\">\n", false},
    {"Author", "<meta name=\"Author\" content=\"", "\">\n", false},
    {"Creator", "<meta name=\"Creator\" content=\"", "\">\n", false},
    {"Producer", "<meta name=\"Producer\" content=\"", "\">\n", false},
    {"CreationDate", "<meta name=\"CreationDate\" content=\"", "\">\n", true},
    {"ModDate", "<meta name=\"ModDate\" content=\"", "\">\n", true},
}};

void writeMetaLines(platform::AtomicFile& output, const Dict& info, const UnicodeMap& valueMap) {
    for (const MetaLine& line : metaLines) {
        const Object value = info.lookup(line.key);
        if (!value.isString())
            continue;
        const GooString* string = value.getString();
        const std::string raw(string->c_str(), static_cast<std::size_t>(string->getLength()));
        output.write(line.before);
        output.write(HtmlHead::escape(line.isDate ? HtmlHead::dateValue(raw, valueMap)
                                                  : HtmlHead::mapTextValue(raw, valueMap)));
        output.write(line.after);
    }
}

} // namespace

void HtmlHead::write(platform::AtomicFile& output, PDFDoc& document, const UnicodeMap& valueMap,
                     bool withMeta) {
    output.write("<html>\n");
    output.write("<head>\n");
    if (withMeta) {
        const Object info = document.getDocInfo();
        if (info.isDict())
            writeMetaLines(output, *info.getDict(), valueMap);
    }
    output.write("</head>\n");
    output.write("<body>\n");
    output.write("<pre>\n");
}

void HtmlHead::writeFoot(platform::AtomicFile& output) {
    output.write("</pre>\n");
    output.write("</body>\n");
    output.write("</html>\n");
}

std::string HtmlHead::escape(const char* text, std::size_t length) {
    std::string result;
    result.reserve(length);
    for (const char c : std::string_view(text, length)) {
        switch (c) {
        case '&':
            result.append("&amp;");
            break;
        case '<':
            result.append("&lt;");
            break;
        case '>':
            result.append("&gt;");
            break;
        case '"':
            result.append("&quot;");
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::string HtmlHead::mapTextValue(const std::string& value, const UnicodeMap& map) {
    const bool utf16 = value.size() >= 2 && static_cast<unsigned char>(value[0]) == 0xFE &&
                       static_cast<unsigned char>(value[1]) == 0xFF;
    std::string result;
    char buffer[8];
    auto append = [&](Unicode unit) {
        result.append(buffer, static_cast<std::size_t>(map.mapUnicode(unit, buffer, sizeof buffer)));
    };
    if (utf16) {
        for (std::size_t i = 2; i + 1 < value.size(); i += 2)
            append(static_cast<Unicode>((static_cast<unsigned char>(value[i]) << 8) |
                                        static_cast<unsigned char>(value[i + 1])));
    } else {
        for (const char byte : value)
            append(static_cast<unsigned char>(byte));
    }
    return result;
}

std::string HtmlHead::dateValue(const std::string& value, const UnicodeMap& map) {
    const bool utf16 = value.size() >= 2 && static_cast<unsigned char>(value[0]) == 0xFE &&
                       static_cast<unsigned char>(value[1]) == 0xFF;
    // A date in UTF-16 is text like any other value; a plain one goes through a C format, which
    // ends it at the first NUL.
    std::string date = utf16 ? mapTextValue(value, map) : value.substr(0, value.find('\0'));
    if (date.starts_with("D:"))
        date.erase(0, 2);
    return date;
}
