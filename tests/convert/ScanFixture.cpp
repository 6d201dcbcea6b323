#include "ScanFixture.h"

#include "FixturePdf.h"

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

QString ScanFixture::picture(const QString& name, const QStringList& lines) {
    const QString picture = path(name);
    if (!QFile::exists(picture + QStringLiteral(".pgm"))) {
        const QString source = path(name + QStringLiteral("-source.pdf"));
        fixtures::TextPdf pdf;
        pdf.pages = {lines};
        pdf.pointSize = 16;
        QString error;
        if (!fixtures::writeTextPdf(source, pdf, &error))
            qFatal("fixture: %s", qPrintable(error));
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                                         QStringLiteral("-singlefile"), source, picture});
    }
    return picture + QStringLiteral(".pgm");
}

QString ScanFixture::scanPicture() {
    return picture(QStringLiteral("scan-picture"), scannedLines());
}

QStringList ScanFixture::proseLines() {
    return {QStringLiteral("The committee met on Tuesday to review the annual budget."),
            QStringLiteral("Members agreed that the library needs longer opening hours"),
            QStringLiteral("and a larger collection of books for younger readers."),
            QStringLiteral("The treasurer reported that donations rose this year,"),
            QStringLiteral("while the cost of heating the old building kept growing."),
            QStringLiteral("A proposal to replace the windows was sent to the council."),
            QStringLiteral("Volunteers will paint the reading room during the summer."),
            QStringLiteral("The next meeting takes place in the first week of March."),
            QStringLiteral("Everyone is welcome to attend and to bring their questions."),
            QStringLiteral("Minutes of this meeting are kept at the front desk.")};
}

// The variant is made from the upright picture as a scanner would have taken it: turned,
// skewed with white brought in at the edges, or lit unevenly.
QString ScanFixture::proseScan(const QString& variant) {
    const QString file = path(QStringLiteral("prose-") + variant + QStringLiteral(".pdf"));
    if (QFile::exists(file))
        return file;
    QImage image(picture(QStringLiteral("prose-picture"), proseLines()));
    image = image.convertToFormat(QImage::Format_Grayscale8);
    if (variant.startsWith(QStringLiteral("turned-")) || variant.startsWith(QStringLiteral("skewed-"))) {
        const double degrees = variant.section(QLatin1Char('-'), 1).toDouble();
        QImage turned(image.transformed(QTransform().rotate(degrees), Qt::SmoothTransformation));
        QImage white(turned.size(), QImage::Format_Grayscale8);
        white.fill(Qt::white);
        QPainter painter(&white);
        painter.drawImage(0, 0, turned);
        painter.end();
        image = white;
    } else if (variant == QStringLiteral("dim")) {
        // A photograph under a lamp: grey print on paper that darkens towards one corner.
        for (int y = 0; y < image.height(); ++y) {
            uchar* const row = image.scanLine(y);
            for (int x = 0; x < image.width(); ++x) {
                const double shade =
                    1.0 - 0.75 * (double(x) / image.width() + double(y) / image.height()) / 2;
                row[x] = static_cast<uchar>(shade * (115 + 0.55 * row[x]));
            }
        }
    }
    const QString picture = path(QStringLiteral("prose-") + variant + QStringLiteral(".png"));
    if (!image.save(picture))
        qFatal("cannot write %s", qPrintable(picture));
    run(QStringLiteral("img2pdf"),
        {QStringLiteral("--imgsize"), QStringLiteral("300dpi"), picture, QStringLiteral("-o"), file});
    return file;
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
