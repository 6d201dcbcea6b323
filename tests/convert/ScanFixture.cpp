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
        run(QStringLiteral("img2pdf"), {scanPicture(), QStringLiteral("-o"), file});
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
