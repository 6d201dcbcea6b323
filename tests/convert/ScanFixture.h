#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fixtures {
struct TextPdf;
}

// Scanned documents made at test time: text pages drawn as 300-dpi grey pictures and wrapped
// into image-only PDFs, the way a scanner's files look, and what the recognizer's own command
// reads from the very same pictures.
class ScanFixture {
public:
    explicit ScanFixture(QString folder);

    // The lines the scanned page shows, one of them markup.
    static QStringList scannedLines();

    QString textPages(); // two pages of text
    QString blankPage(); // one page, nothing on it
    QString scan();      // one image-only page of scannedLines(), its picture at 300 dpi
    // The scan on a page of 200 by 200 inches: a picture of gigapixels at 300 dpi.
    QString hugePage();
    // The scan with the middle of its image data overwritten.
    QString damagedScan();
    // Two text pages, the scan, the blank page.
    QString mixed();
    // The 300-dpi picture the scan was made of.
    QString scanPicture();
    // A part of the scan's picture, about a third of an A4 page, alone on such a page: a
    // receipt or a card scanned on a flatbed.
    QString smallScan();
    QString smallScanPicture();
    // The scan with one line of text stamped on it near its foot, the words of stampWords().
    QString stampedScan();
    static QStringList stampWords();
    // A page of text whose font has lost its map to letters: the engine gives glyph numbers.
    QString garbledText();
    static QStringList garbledSourceLines();
    // "Project documentation" shown with a composite font whose codes are glyph numbers and
    // which has no map to letters: the engine gives "3URMHFW", the space as a control.
    QString glyphNumberText();
    // The same with a symbolic TrueType font embedded, its codes glyph numbers; without a
    // Unicode cmap its codes have no way to letters.
    QString symbolicGlyphNumberText(const QString& trueTypeFont, bool unicodeCmap);
    // A line of text and forms that name each other over and over, and no image.
    QString formsNamedOverAndOver();
    // The text pages, the first with a small logo beside its text.
    QString logoOnTextPage();
    // A full page of text over a picture that covers the whole page.
    QString textOverBackground();
    // A page of 40 lines of text with the small scan's picture over part of it.
    QString pictureInText();
    // The scan with its lines as text over them, where the picture shows them.
    QString searchableScan();
    // Pages of the given PDFs (file, "first-last") joined into one.
    QString joined(const QString& name, const QStringList& filesAndRanges);

    // The words the recognizer's command reads from a picture.
    static QStringList recognizerWords(const QString& picture);
    static QStringList words(const QByteArray& text);
    // Runs a program to its end; the test fails fatally when it does not succeed.
    static QByteArray run(const QString& program, const QStringList& arguments);
    // The share of the expected words found among the read ones, each found at most once.
    static double recall(const QStringList& expected, const QStringList& read);

private:
    QString path(const QString& name) const;
    // The picture as an image-only PDF, at 300 dpi on an A4 page.
    QString pictureOnA4(const QString& picture, const QString& name);
    // The PDF with another drawn over (overlay) or under (underlay) its pages.
    QString layered(const QString& name, const QString& base, const QString& how, const QString& layer);
    QString writeText(const QString& name, const fixtures::TextPdf& pdf);

    QString folder;
};
