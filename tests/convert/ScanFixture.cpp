#include "ScanFixture.h"

#include "FixturePdf.h"

#include <QFile>
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
