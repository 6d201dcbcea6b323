#pragma once

#include <QByteArray>

class OutputFile;
class PDFDoc;
class UnicodeMap;

// The head and foot of the simple HTML page around the page text, with the document's
// information as meta lines.
class HtmlHead {
public:
    // "<html>" to "<pre>", with the meta lines of the information dictionary when withMeta.
    // Call with the engine lock held.
    static void write(OutputFile& output, PDFDoc& document, const UnicodeMap& valueMap, bool withMeta);
    static void writeFoot(OutputFile& output);

    // '&', '<', '>' and '"' as entities, so a document cannot put markup into its page.
    static QByteArray escape(const QByteArray& text);
    // A text value as the map writes it: UTF-16BE after a 0xFE 0xFF mark, else one
    // character per byte.
    static QByteArray mapTextValue(const QByteArray& value, const UnicodeMap& map);
    // A date value without its leading "D:".
    static QByteArray dateValue(const QByteArray& value);
};
