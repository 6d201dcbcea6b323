#pragma once

#include <string>
#include <vector>

class TextOutputDev;

// The words of a page as the engine's text analysis sees them, in its reading order (flows,
// blocks, lines), with what the structure of a page is judged by: font size and weight, a
// fixed-pitch font, position and the link the word lies under. Coordinates are points from
// the top left of the page. Plain data, so the judging needs no engine.
struct PageLayout {
    struct Word {
        std::string text; // UTF-8
        double left = 0;
        double top = 0;
        double right = 0;
        double bottom = 0;
        double size = 0;
        bool bold = false;
        bool monospaced = false;
        bool spaceAfter = false; // a space follows it on its line
        std::string link;        // http, https or mailto target, else empty
    };
    struct Line {
        std::vector<Word> words;
        int block = 0; // lines of one block share its number, counted over the page
    };

    double width = 0;
    double height = 0;
    std::vector<Line> lines;

    // The page the device was last shown (built with reading order, not the physical layout).
    static PageLayout of(const TextOutputDev& device, double pageWidth, double pageHeight);
    // A bullet the engine set apart from its text (a line of its own, often read after the
    // text) joins the line it marks: the nearest line starting just right of it, on its row.
    void attachLoneBullets();
    // Makes the words whose middle lies in the box link to uri.
    void linkWords(double left, double top, double right, double bottom, const std::string& uri);
    // A target kept as a link: http, https and mailto only.
    static bool isLinkTarget(const std::string& uri);
    // Appends a code point as UTF-8; surrogates and values past Unicode are dropped.
    static void appendUtf8(std::string& text, unsigned codePoint);
};
