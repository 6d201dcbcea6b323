#include "ScanFixture.h"

#include "FixturePdf.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>

ScanFixture::ScanFixture(QString folder) : folder(std::move(folder)) {}

QString ScanFixture::path(const QString& name) const {
    return folder + QLatin1Char('/') + name;
}

QStringList ScanFixture::scannedLines() {
    return {QStringLiteral("Scanned pages are read again"),
            QStringLiteral("by the recognizer, line by line."),
            QStringLiteral("Markup <b>& stays plain text"), QStringLiteral("Seven quick brown foxes")};
}

QByteArray ScanFixture::run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

QString ScanFixture::textPages() {
    const QString file = path(QStringLiteral("text-pages.pdf"));
    if (!QFile::exists(file)) {
        fixtures::TextPdf pdf;
        pdf.pages = {
            {QStringLiteral("The first page has text."), QStringLiteral("It stays as the engine reads it.")},
            {QStringLiteral("Second page, with a café.")}};
        QString error;
        if (!fixtures::writeTextPdf(file, pdf, &error))
            qFatal("fixture: %s", qPrintable(error));
    }
    return file;
}

QString ScanFixture::blankPage() {
    const QString file = path(QStringLiteral("blank.pdf"));
    if (!QFile::exists(file)) {
        fixtures::RawPdf pdf;
        pdf.pageTexts = {""};
        fixtures::writeRawPdf(file, pdf);
    }
    return file;
}

QString ScanFixture::scanPicture() {
    const QString picture = path(QStringLiteral("scan-picture"));
    if (!QFile::exists(picture + QStringLiteral(".pgm"))) {
        const QString source = path(QStringLiteral("scan-source.pdf"));
        fixtures::TextPdf pdf;
        pdf.pages = {scannedLines()};
        pdf.pointSize = 16;
        QString error;
        if (!fixtures::writeTextPdf(source, pdf, &error))
            qFatal("fixture: %s", qPrintable(error));
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                                         QStringLiteral("-singlefile"), source, picture});
    }
    return picture + QStringLiteral(".pgm");
}

QString ScanFixture::scan() {
    const QString file = path(QStringLiteral("scan.pdf"));
    if (!QFile::exists(file))
        run(QStringLiteral("img2pdf"), {QStringLiteral("--imgsize"), QStringLiteral("300dpi"), scanPicture(),
                                        QStringLiteral("-o"), file});
    return file;
}

QString ScanFixture::hugePage() {
    const QString file = path(QStringLiteral("huge.pdf"));
    if (!QFile::exists(file))
        run(QStringLiteral("img2pdf"), {scanPicture(), QStringLiteral("--pagesize"),
                                        QStringLiteral("200inx200in"), QStringLiteral("-o"), file});
    return file;
}

QString ScanFixture::damagedScan() {
    const QString file = path(QStringLiteral("damaged.pdf"));
    if (QFile::exists(file))
        return file;
    QFile source(scan());
    if (!source.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(scan()));
    QByteArray bytes = source.readAll();
    // The image is the longest stream; its length stays, so the file's offsets still hold.
    qsizetype start = 0;
    qsizetype longest = 0;
    for (qsizetype at = bytes.indexOf("stream\n"); at >= 0; at = bytes.indexOf("stream\n", at + 1)) {
        const qsizetype end = bytes.indexOf("endstream", at);
        if (end > at && end - at > longest && bytes.mid(at - 3, 3) != "end") {
            start = at + 7;
            longest = end - start;
        }
    }
    for (qsizetype i = start + longest / 3; i < start + 2 * longest / 3; ++i)
        bytes[i] = static_cast<char>((i * 131) & 0xFF);
    QFile damaged(file);
    if (!damaged.open(QIODevice::WriteOnly) || damaged.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
    return file;
}

QString ScanFixture::joined(const QString& name, const QStringList& filesAndRanges) {
    const QString file = path(name);
    if (!QFile::exists(file))
        run(QStringLiteral("qpdf"), QStringList{QStringLiteral("--empty"), QStringLiteral("--pages")} +
                                        filesAndRanges + QStringList{QStringLiteral("--"), file});
    return file;
}

QString ScanFixture::mixed() {
    return joined(QStringLiteral("mixed.pdf"), {textPages(), scan(), blankPage()});
}

QStringList ScanFixture::recognizerWords(const QString& picture) {
    return words(run(QStringLiteral("tesseract"),
                     {picture, QStringLiteral("stdout"), QStringLiteral("--dpi"), QStringLiteral("300")}));
}

QStringList ScanFixture::words(const QByteArray& text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return QString::fromUtf8(text).split(space, Qt::SkipEmptyParts);
}

QString ScanFixture::writeText(const QString& name, const fixtures::TextPdf& pdf) {
    const QString file = path(name);
    QString error;
    if (!QFile::exists(file) && !fixtures::writeTextPdf(file, pdf, &error))
        qFatal("fixture: %s", qPrintable(error));
    return file;
}

QString ScanFixture::pictureOnA4(const QString& picture, const QString& name) {
    const QString file = path(name);
    if (!QFile::exists(file))
        run(QStringLiteral("img2pdf"),
            {QStringLiteral("--imgsize"), QStringLiteral("300dpi"), QStringLiteral("--pagesize"),
             QStringLiteral("A4"), picture, QStringLiteral("-o"), file});
    return file;
}

QString ScanFixture::layered(const QString& name, const QString& base, const QString& how,
                             const QString& layer) {
    const QString file = path(name);
    if (!QFile::exists(file))
        run(QStringLiteral("qpdf"), {base, how, layer, QStringLiteral("--"), file});
    return file;
}

QString ScanFixture::smallScanPicture() {
    const QString picture = path(QStringLiteral("small-scan-picture.pgm"));
    // 1600 by 1800 of the 2480 by 3508 pixels: 33 % of the page, all of the scanned lines.
    if (!QFile::exists(picture) && !QImage(scanPicture()).copy(0, 0, 1600, 1800).save(picture))
        qFatal("cannot write %s", qPrintable(picture));
    return picture;
}

QString ScanFixture::smallScan() {
    return pictureOnA4(smallScanPicture(), QStringLiteral("small-scan.pdf"));
}

QStringList ScanFixture::stampWords() {
    return {QStringLiteral("Bates"), QStringLiteral("004711")};
}

QString ScanFixture::stampedScan() {
    const QString stamp = path(QStringLiteral("stamp.pdf"));
    if (!QFile::exists(stamp)) {
        fixtures::RawPdf pdf;
        pdf.width = 595.28;
        pdf.height = 841.89;
        // Near the foot of the page, clear of the scanned lines.
        pdf.pageTexts = {QByteArray(44, '\n') + stampWords().join(QLatin1Char(' ')).toLatin1()};
        QString error;
        if (!fixtures::writeRawPdf(stamp, pdf, &error))
            qFatal("fixture: %s", qPrintable(error));
    }
    return layered(QStringLiteral("stamped-scan.pdf"), scan(), QStringLiteral("--overlay"), stamp);
}

QStringList ScanFixture::garbledSourceLines() {
    return {QStringLiteral("Project documentation for the spring release"),
            QStringLiteral("Every chapter explains one part of the system"),
            QStringLiteral("Readers find examples after each section")};
}

QString ScanFixture::garbledText() {
    const QString file = path(QStringLiteral("garbled.pdf"));
    if (QFile::exists(file))
        return file;
    fixtures::TextPdf pdf;
    pdf.pages = {garbledSourceLines()};
    pdf.pointSize = 16;
    QFile source(writeText(QStringLiteral("garbled-source.pdf"), pdf));
    if (!source.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(source.fileName()));
    QByteArray bytes = source.readAll();
    // A key of the same length keeps every offset of the file.
    if (!bytes.contains("/ToUnicode"))
        qFatal("the fixture's font has no map to lose");
    bytes.replace("/ToUnicode", "/ToUnicodX");
    QFile garbled(file);
    if (!garbled.open(QIODevice::WriteOnly) || garbled.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
    return file;
}

namespace {

// A PDF written by hand, its objects numbered from 1, the first the catalog.
QByteArray rawPdf(const QList<QByteArray>& objects) {
    QByteArray bytes = "%PDF-1.4\n";
    QByteArray table = "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(bytes.size()).rightJustified(10, '0') + " 00000 n \n";
        bytes += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const QByteArray tableAt = QByteArray::number(bytes.size());
    return bytes + table + "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + tableAt + "\n%%EOF\n";
}

QByteArray stream(const QByteArray& dictionary, const QByteArray& content) {
    return "<< " + dictionary + " /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
           "\nendstream";
}

// A one-page PDF written by hand: its page shows "Project documentation" in 24 points with the
// font object given, each letter's code 29 below the letter, in codeDigits hex digits.
QByteArray glyphNumberPage(const QByteArray& font, int codeDigits, const QList<QByteArray>& more = {}) {
    QByteArray codes;
    for (const char letter : QByteArray("Project documentation"))
        codes += QByteArray::number(letter - 29, 16).rightJustified(codeDigits, '0');
    const QByteArray content = "BT /F1 24 Tf 72 700 Td <" + codes + "> Tj ET";
    return rawPdf(
        QList<QByteArray>{"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                          "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << "
                          "/F1 5 0 R >> >> /Contents 4 0 R >>",
                          stream({}, content), font} +
        more);
}

void writeFile(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
}

// Every cmap of the TrueType font made a Macintosh Roman one, of the same length.
QByteArray withoutUnicodeCmap(QByteArray font) {
    const auto number = [&](qsizetype at, int size) {
        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value = value << 8 | static_cast<uchar>(font[at + i]);
        return value;
    };
    for (quint32 table = 0; table < number(4, 2); ++table) {
        const qsizetype record = 12 + 16 * table;
        if (font.mid(record, 4) != "cmap")
            continue;
        const qsizetype cmap = number(record + 8, 4);
        for (quint32 subtable = 0; subtable < number(cmap + 2, 2); ++subtable)
            font.replace(cmap + 4 + 8 * subtable, 4, QByteArray("\0\1\0\0", 4));
    }
    return font;
}

} // namespace

QString ScanFixture::glyphNumberText() {
    const QString file = path(QStringLiteral("glyph-numbers.pdf"));
    if (!QFile::exists(file))
        writeFile(
            file,
            glyphNumberPage(
                "<< /Type /Font /Subtype /Type0 /BaseFont /Arial /Encoding /Identity-H /DescendantFonts "
                "[6 0 R] >>",
                4,
                {"<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Arial /CIDSystemInfo << /Registry "
                 "(Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor 7 0 R /CIDToGIDMap "
                 "/Identity >>",
                 "<< /Type /FontDescriptor /FontName /Arial /Flags 32 /FontBBox [0 0 1000 1000] "
                 "/ItalicAngle 0 /Ascent 900 /Descent -200 /CapHeight 700 /StemV 80 >>"}));
    return file;
}

QString ScanFixture::symbolicGlyphNumberText(const QString& trueTypeFont, bool unicodeCmap) {
    const QString file =
        path(unicodeCmap ? QStringLiteral("symbolic-unicode.pdf") : QStringLiteral("symbolic.pdf"));
    if (QFile::exists(file))
        return file;
    QFile source(trueTypeFont);
    if (!source.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(trueTypeFont));
    const QByteArray font = unicodeCmap ? source.readAll() : withoutUnicodeCmap(source.readAll());
    const QByteArray size = QByteArray::number(font.size());
    writeFile(file,
              glyphNumberPage("<< /Type /Font /Subtype /TrueType /BaseFont /ABCDEF+Embedded /FirstChar 0 "
                              "/LastChar 255 /FontDescriptor 6 0 R >>",
                              2,
                              {"<< /Type /FontDescriptor /FontName /ABCDEF+Embedded /Flags 4 /FontBBox [0 0 "
                               "1000 1000] /ItalicAngle 0 /Ascent 900 /Descent -200 /CapHeight 700 /StemV 80 "
                               "/FontFile2 7 0 R >>",
                               stream("/Length1 " + size, font)}));
    return file;
}

QString ScanFixture::formsNamedOverAndOver() {
    const QString file = path(QStringLiteral("forms.pdf"));
    if (QFile::exists(file))
        return file;
    // Each form names the next 200 times, the last names itself: without looking at each once,
    // the page's forms are 200 to the fifth ways deep.
    const auto namingTimes = [](int object) {
        QByteArray names = "/XObject <<";
        for (int name = 0; name < 200; ++name)
            names += " /X" + QByteArray::number(name) + ' ' + QByteArray::number(object) + " 0 R";
        return names + " >>";
    };
    QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 5 0 "
        "R >> " +
            namingTimes(6) + " >> /Contents 4 0 R >>",
        stream({}, "BT /F1 12 Tf 72 700 Td (Forms within forms) Tj ET /X0 Do"),
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
    for (int form = 6; form <= 10; ++form)
        objects << stream("/Type /XObject /Subtype /Form /BBox [0 0 10 10] /Resources << " +
                              namingTimes(std::min(form + 1, 10)) + " >>",
                          "0 0 1 1 re f");
    writeFile(file, rawPdf(objects));
    return file;
}

QString ScanFixture::logoOnTextPage() {
    const QString picture = path(QStringLiteral("logo.pgm"));
    if (!QFile::exists(picture)) {
        QImage logo(300, 120, QImage::Format_Grayscale8);
        logo.fill(Qt::white);
        QPainter painter(&logo);
        painter.fillRect(20, 20, 80, 80, Qt::black);
        painter.fillRect(120, 50, 160, 20, Qt::darkGray);
        painter.end();
        if (!logo.save(picture))
            qFatal("cannot write %s", qPrintable(picture));
    }
    return layered(QStringLiteral("logo-on-text.pdf"), textPages(), QStringLiteral("--overlay"),
                   pictureOnA4(picture, QStringLiteral("logo.pdf")));
}

QString ScanFixture::textOverBackground() {
    const QString picture = path(QStringLiteral("background.pgm"));
    if (!QFile::exists(picture)) {
        QImage background(2480, 3508, QImage::Format_Grayscale8);
        for (int y = 0; y < background.height(); ++y)
            std::fill_n(background.scanLine(y), background.width(), static_cast<uchar>(225 + (y / 120) % 25));
        if (!background.save(picture))
            qFatal("cannot write %s", qPrintable(picture));
    }
    fixtures::TextPdf pdf;
    QStringList lines;
    for (int line = 1; line <= 24; ++line)
        lines << QStringLiteral("Line %1 of a letter printed on paper with a picture behind it.").arg(line);
    pdf.pages = {lines};
    return layered(QStringLiteral("text-over-background.pdf"), writeText(QStringLiteral("letter.pdf"), pdf),
                   QStringLiteral("--underlay"), pictureOnA4(picture, QStringLiteral("background.pdf")));
}

QString ScanFixture::pictureInText() {
    const QString text = path(QStringLiteral("forty-lines.pdf"));
    if (!QFile::exists(text) && !fixtures::writeLargeTextPdf(text, 1, 40))
        qFatal("cannot write %s", qPrintable(text));
    return layered(QStringLiteral("picture-in-text.pdf"), text, QStringLiteral("--overlay"), smallScan());
}

QString ScanFixture::searchableScan() {
    scanPicture();
    return layered(QStringLiteral("searchable-scan.pdf"), scan(), QStringLiteral("--overlay"),
                   path(QStringLiteral("scan-source.pdf")));
}

double ScanFixture::recall(const QStringList& expected, const QStringList& read) {
    if (expected.isEmpty())
        return 1;
    QStringList left = read;
    int found = 0;
    for (const QString& word : expected)
        found += left.removeOne(word) ? 1 : 0;
    return static_cast<double>(found) / expected.size();
}
