#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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
    // A page of prose as scanners meet it: upright, turned clockwise by 90, 180 or 270
    // degrees, skewed by a few degrees, or lit unevenly ("upright", "turned-90", "skewed-4",
    // "dim").
    QString proseScan(const QString& variant);
    static QStringList proseLines();
    // Pages of the given PDFs (file, "first-last") joined into one.
    QString joined(const QString& name, const QStringList& filesAndRanges);

    // The words the recognizer's command reads from a picture.
    static QStringList recognizerWords(const QString& picture);
    static QStringList words(const QByteArray& text);
    // Runs a program to its end; the test fails fatally when it does not succeed.
    static QByteArray run(const QString& program, const QStringList& arguments);

private:
    QString path(const QString& name) const;
    QString picture(const QString& name, const QStringList& lines);

    QString folder;
};
