#include "ConversionFixture.h"

#include "FixturePdf.h"
#include "TestSupport.h"
#include "core/CMapConfig.h"
#include "core/OutputNames.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTest>

namespace {

const QMap<QString, QStringList>& scriptLines() {
    static const QMap<QString, QStringList> lines{
        {QStringLiteral("chinese"), {QStringLiteral("简体中文测试文本"), QStringLiteral("北京欢迎你 123")}},
        {QStringLiteral("traditional"), {QStringLiteral("繁體中文測試"), QStringLiteral("臺灣歡迎你")}},
        {QStringLiteral("japanese"),
         {QStringLiteral("日本語のテキスト"), QStringLiteral("ひらがなとカタカナ")}},
        {QStringLiteral("cyrillic"),
         {QStringLiteral("Съешь же ещё этих мягких"), QStringLiteral("булок да выпей чаю")}},
        {QStringLiteral("greek"), {QStringLiteral("Καλημέρα κόσμε"), QStringLiteral("ελληνικό κείμενο")}},
        {QStringLiteral("polish"),
         {QStringLiteral("Zażółć gęślą jaźń"), QStringLiteral("Příliš žluťoučký kůň")}},
        {QStringLiteral("multilingual"),
         {QStringLiteral("café Zażółć Türkçe ğış"), QStringLiteral("简体中文 繁體 日本語のひらがな"),
          QStringLiteral("Καλημέρα Съешь чаю"), QStringLiteral("שלום עולם 한국어")}},
    };
    return lines;
}

} // namespace

ConversionFixture::ConversionFixture() {
    platform::Dialogs::setInstance(&dialogs);
    QDir().mkpath(path(QStringLiteral("pdf")));
    CMapConfig::write(configPath().toStdString(), testsupport::programDir().toStdString());
}

QString ConversionFixture::path(const QString& name) const {
    return temp.filePath(name);
}

QString ConversionFixture::configPath() const {
    return path(QStringLiteral("CMapConfig.ini"));
}

QString ConversionFixture::cached(const QString& name) {
    return path(QStringLiteral("pdf/") + name);
}

QString ConversionFixture::latinColumns() {
    const QString file = cached(QStringLiteral("latin-columns.pdf"));
    if (!QFile::exists(file)) {
        fixtures::TextPdf pdf;
        pdf.twoColumns = true;
        for (int page = 1; page <= 3; ++page)
            pdf.pages.append({QStringLiteral("Page %1 left: café déjà vu").arg(page),
                              QStringLiteral("naïve façade"), QStringLiteral("Straße über Öl"),
                              QStringLiteral("right column %1").arg(page),
                              QStringLiteral("€ quoted \"text\""), QStringLiteral("last line")});
        QString error;
        if (!fixtures::writeTextPdf(file, pdf, &error))
            qFatal("fixture: %s", qPrintable(error));
    }
    return file;
}

QString ConversionFixture::script(const QString& name) {
    const QString file = cached(name + QStringLiteral(".pdf"));
    if (!QFile::exists(file)) {
        fixtures::TextPdf pdf;
        pdf.pages = {scriptLines().value(name), {QStringLiteral("second page")}};
        QString error;
        if (!fixtures::writeTextPdf(file, pdf, &error))
            qFatal("fixture: %s", qPrintable(error));
    }
    return file;
}

QString ConversionFixture::threePages() {
    const QString file = cached(QStringLiteral("three-pages.pdf"));
    if (!QFile::exists(file)) {
        fixtures::RawPdf pdf;
        pdf.pageTexts = {"first page", "second page", "third page"};
        fixtures::writeRawPdf(file, pdf);
    }
    return file;
}

QString ConversionFixture::withInfo() {
    const QString file = cached(QStringLiteral("with-info.pdf"));
    if (!QFile::exists(file)) {
        fixtures::RawPdf pdf;
        pdf.pageTexts = {"body"};
        const QByteArray utf16Title = fixtures::utf16WithMark(QStringLiteral("CTeX 中文"));
        // Dates may be UTF-16 too; the head shows their characters, not the byte-order mark.
        const QByteArray utf16Date = fixtures::utf16WithMark(QStringLiteral("20120624"));
        pdf.info = {{"Title", "T<b>&\"x\""}, {"Subject", utf16Title}, {"Keywords", "caf\xE9"},
                    {"Author", "Ann"},       {"Producer", "P"},       {"CreationDate", "D:20120623101500"},
                    {"ModDate", utf16Date}};
        fixtures::writeRawPdf(file, pdf);
    }
    return file;
}

QString ConversionFixture::markupBody() {
    const QString file = cached(QStringLiteral("markup.pdf"));
    if (!QFile::exists(file)) {
        fixtures::RawPdf pdf;
        pdf.pageTexts = {"<script>alert(\"x\")</script> & more"};
        fixtures::writeRawPdf(file, pdf);
    }
    return file;
}

QString ConversionFixture::encrypted(const QString& user, const QString& owner, bool allowExtract) {
    const QString file = cached(QStringLiteral("enc-%1-%2-%3.pdf").arg(user, owner).arg(allowExtract));
    if (!QFile::exists(file)) {
        QString error;
        if (!fixtures::encryptPdf(threePages(), file, user, owner, allowExtract, &error))
            qFatal("fixture: %s", qPrintable(error));
    }
    return file;
}

QByteArray ConversionFixture::pdftotext(const QString& pdf, const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments + QStringList{pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qFatal("pdftotext failed on %s", qPrintable(pdf));
    return process.readAllStandardOutput();
}

QByteArray ConversionFixture::readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing " + path.toUtf8() + ">");
}

JobOutcome ConversionFixture::convert(const QString& pdf, const ConvertOptions& options, const QString& owner,
                                      const QString& user) {
    const BatchOutcome outcome = runBatch({pdf}, options, {owner.toStdString(), user.toStdString()});
    if (outcome.end == BatchOutcome::End::EndedEarly)
        return JobOutcome::EndBatch;
    return outcome.converted == 1 ? JobOutcome::Converted : JobOutcome::Skipped;
}

void ConversionFixture::show(const JobMessage& message) {
    platform::Dialogs::message(message.text, platform::MessageButtons::Ok, message.subject);
}

BatchOutcome ConversionFixture::runBatch(const QStringList& pdfs, const ConvertOptions& options,
                                         const JobPasswords& passwords) {
    // Answers every job with the same options and passwords and records what the batch says.
    struct Client : BatchClient {
        ConvertOptions options;
        JobPasswords passwords;
        QStringList* progress;
        ConvertOptions optionsForJob() override { return options; }
        JobPasswords passwordsFor(const BatchEntry&) override { return passwords; }
        void pageProgress(int, int) override {}
        void message(const JobMessage& message) override { show(message); }
        void jobConverted(int, const std::string& text, const std::string&) override {
            progress->append(QString::fromStdString(text));
        }
    } client;
    client.options = options;
    client.passwords = passwords;
    client.progress = &progress;
    FileConverter converter(configPath().toStdString(), testsupport::programDir().toStdString());
    std::vector<BatchEntry> entries;
    for (const QString& pdf : pdfs)
        entries.push_back({pdf.toStdString()});
    return BatchRunner(converter, client).run(entries);
}

QByteArray ConversionFixture::convertedText(const QString& pdf, const ConvertOptions& options) {
    if (convert(pdf, options) != JobOutcome::Converted)
        return "<not converted: " + messageTexts().join(QLatin1Char('|')).toUtf8() + ">";
    return readAll(outputPathFor(pdf, options));
}

QString ConversionFixture::outputPathFor(const QString& pdf, const ConvertOptions& options) {
    return QString::fromStdString(OutputNames::pathFor(pdf.toStdString(), options));
}

QStringList ConversionFixture::messageTexts() const {
    return testsupport::texts(dialogs.messageTexts());
}
