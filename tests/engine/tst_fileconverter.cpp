#include "ConversionFixture.h"
#include "FixturePdf.h"
#include "TestSupport.h"
#include "core/CMapConfig.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

class TestFileConverter : public QObject {
    Q_OBJECT

    std::unique_ptr<ConversionFixture> fixture;

    static ConvertOptions textOptions() { return ConvertOptions::defaults(); }
    static ConvertOptions htmlOptions(bool meta) {
        ConvertOptions options = ConvertOptions::defaults();
        options.outputMode = option::htmlFile;
        options.htmlMeta = meta ? option::yes : 1;
        return options;
    }
    QStringList leftovers(const QString& folder) const {
        return QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
    }

private Q_SLOTS:
    void initTestCase() { fixture = std::make_unique<ConversionFixture>(); }

    void init() {
        testsupport::failOnUnexpectedWarnings();
        fixture->dialogs.clear();
        fixture->progress.clear();
    }

    void bodyMatchesPdftotextForEveryLayoutOption_data() {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("eol");
        QTest::addColumn<int>("breaks");
        const char* eolNames[] = {"dos", "unix", "mac"};
        for (int layout : {0, 1})
            for (int raw : {0, 1})
                for (int eol : {0, 1, 2})
                    for (int breaks : {0, 1})
                        QTest::addRow("layout%d raw%d %s breaks%d", layout, raw, eolNames[eol], breaks)
                            << layout << raw << eol << breaks;
    }
    void bodyMatchesPdftotextForEveryLayoutOption() {
        QFETCH(int, layout);
        QFETCH(int, raw);
        QFETCH(int, eol);
        QFETCH(int, breaks);
        ConvertOptions options = textOptions();
        options.layout = layout;
        options.rawMode = raw;
        options.endOfLine = eol;
        options.pageBreaks = breaks;
        QStringList arguments{QStringLiteral("-enc"), QStringLiteral("Latin1"), QStringLiteral("-eol"),
                              QLatin1String(eol == 0   ? "dos"
                                            : eol == 1 ? "unix"
                                                       : "mac")};
        if (layout == 0)
            arguments << QStringLiteral("-layout");
        if (raw == 0)
            arguments << QStringLiteral("-raw");
        if (breaks != 0)
            arguments << QStringLiteral("-nopgbrk");
        const QString pdf = fixture->latinColumns();
        QCOMPARE(fixture->convertedText(pdf, options), ConversionFixture::pdftotext(pdf, arguments));
        QCOMPARE(fixture->progress, QStringList{QStringLiteral("File 1 of 1, 100%")});
    }

    void bodyMatchesPdftotextInEachEncoding_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("engineName");
        QTest::newRow("Latin1") << "polish" << 0 << "Latin1";
        QTest::newRow("Latin2") << "polish" << 1 << "Latin2";
        QTest::newRow("UTF-8 chinese") << "chinese" << 2 << "UTF-8";
        QTest::newRow("UTF-8 greek") << "greek" << 2 << "UTF-8";
        QTest::newRow("GBK") << "chinese" << 6 << "GBK";
        QTest::newRow("Big5") << "traditional" << 7 << "Big5";
        QTest::newRow("KOI8-R") << "cyrillic" << 8 << "KOI8-R";
        QTest::newRow("ISO-8859-7") << "greek" << 9 << "ISO-8859-7";
        QTest::newRow("EUC-JP") << "japanese" << 12 << "EUC-JP";
        QTest::newRow("Shift-JIS") << "japanese" << 13 << "Shift-JIS";
        QTest::newRow("ISO-2022-CN") << "chinese" << 4 << "ISO-2022-CN";
    }
    void bodyMatchesPdftotextInEachEncoding() {
        QFETCH(QString, script);
        QFETCH(int, encoding);
        QFETCH(QString, engineName);
        ConvertOptions options = textOptions();
        options.textEncoding = encoding;
        const QString pdf = fixture->script(script);
        const QByteArray expected =
            ConversionFixture::pdftotext(pdf, {QStringLiteral("-layout"), QStringLiteral("-eol"),
                                               QStringLiteral("dos"), QStringLiteral("-enc"), engineName});
        QVERIFY2(expected.size() > 20, "the oracle must extract text for the comparison to mean anything");
        QCOMPARE(fixture->convertedText(pdf, options), expected);
    }

    // Each encoding resolves through its line of the configuration file, read at every job.
    void configurationLinesDecideWhichTableIsUsed() {
        const QString pdf = fixture->script(QStringLiteral("chinese"));
        const QByteArray standard =
            testsupport::bytes(CMapConfig::text(testsupport::programDir().toStdString()));
        const QString configPath = fixture->path(QStringLiteral("edited.ini"));
        ConvertOptions options = textOptions();
        options.textEncoding = 6; // GBK
        FileConverter converter(configPath.toStdString(), testsupport::programDir().toStdString());
        auto convertWith = [&](const QByteArray& config) {
            QFile file(configPath);
            file.open(QIODevice::WriteOnly);
            file.write(config);
            file.close();
            converter.convert({pdf.toStdString(), {}, {}, 1, 1}, options, fixture->feedback);
            return ConversionFixture::readAll(ConversionFixture::outputPathFor(pdf, options));
        };
        QByteArray swapped = standard;
        swapped.replace("GBK.unicodeMap", "Big5.unicodeMap");
        QCOMPARE(convertWith(swapped),
                 ConversionFixture::pdftotext(pdf, {QStringLiteral("-layout"), QStringLiteral("-eol"),
                                                    QStringLiteral("dos"), QStringLiteral("-enc"),
                                                    QStringLiteral("Big5")}));
        QByteArray missing = standard;
        QVERIFY(fixture->dialogs.messages().empty());
        missing.replace("GBK.unicodeMap", "no-such-table");
        QFile::remove(ConversionFixture::outputPathFor(pdf, options));
        QCOMPARE(convertWith(missing),
                 QByteArray("<missing ") + ConversionFixture::outputPathFor(pdf, options).toUtf8() + ">");
        QCOMPARE(fixture->dialogs.messages().size(), std::size_t(1));
        QVERIFY(fixture->messageTexts().first().contains(QStringLiteral("'GBK'")));
        QVERIFY(convertWith(standard).size() > 20);
    }

    // Every encoding converts as pdftotext does with the same tables, or, where no table can
    // be had, the job is skipped with a message: never an empty file reported as converted.
    void everyEncodingConvertsOrIsSkippedWithAMessage_data() {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("oracleName"); // empty: no table, the job is skipped
        for (int index = 0; index < static_cast<int>(CMapConfig::encodings().size()); ++index) {
            const QString name = QString::fromStdString(CMapConfig::encodingName(index));
            const QString oracle = name == QStringLiteral("ASCII")     ? QStringLiteral("ASCII7")
                                   : name == QStringLiteral("KSX1001") ? QString()
                                                                       : name;
            QTest::newRow(qPrintable(name)) << index << oracle;
        }
    }
    void everyEncodingConvertsOrIsSkippedWithAMessage() {
        QFETCH(int, encoding);
        QFETCH(QString, oracleName);
        const QString pdf = fixture->script(QStringLiteral("multilingual"));
        for (const ConvertOptions& options : {textOptions(), htmlOptions(false)}) {
            ConvertOptions job = options;
            job.textEncoding = encoding;
            const QString output = ConversionFixture::outputPathFor(pdf, job);
            QFile::remove(output);
            fixture->dialogs.clear();
            const JobOutcome outcome = fixture->convert(pdf, job);
            if (oracleName.isEmpty()) {
                QCOMPARE(outcome, JobOutcome::Skipped);
                QCOMPARE(fixture->messageTexts().size(), 1);
                const QString message = fixture->messageTexts().first();
                QVERIFY2(message.contains(pdf) &&
                             message.contains(QString::fromStdString(CMapConfig::encodingName(encoding))),
                         qPrintable(message));
                QVERIFY(!QFile::exists(output));
                continue;
            }
            QCOMPARE(outcome, JobOutcome::Converted);
            QVERIFY(fixture->messageTexts().isEmpty());
            const QByteArray expected = ConversionFixture::pdftotext(
                pdf, {QStringLiteral("-layout"), QStringLiteral("-eol"), QStringLiteral("dos"),
                      QStringLiteral("-enc"), oracleName});
            QVERIFY2(expected.size() > 40,
                     "the oracle must extract text for the comparison to mean anything");
            QByteArray written = ConversionFixture::readAll(output);
            if (job.outputMode == option::htmlFile) {
                const qsizetype start = written.indexOf("<pre>\n") + 6;
                written = written.mid(start, written.lastIndexOf("</pre>") - start);
                QVERIFY(!written.isEmpty());
            } else {
                QCOMPARE(written, expected);
            }
        }
    }

    void unknownIndexesFallBackToLatin1AndDos() {
        ConvertOptions options = textOptions();
        options.textEncoding = 99;
        options.endOfLine = 7;
        const QString pdf = fixture->latinColumns();
        QCOMPARE(fixture->convertedText(pdf, options),
                 ConversionFixture::pdftotext(pdf, {QStringLiteral("-layout"), QStringLiteral("-eol"),
                                                    QStringLiteral("dos"), QStringLiteral("-enc"),
                                                    QStringLiteral("Latin1")}));
    }

    void pageRanges_data() {
        QTest::addColumn<int>("pageRange");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("all pages") << 0 << 5 << 1
                                   << QByteArray("first page\r\n\fsecond page\r\n\fthird page\r\n\f");
        QTest::newRow("begin 0 end 1000")
            << 1 << 0 << 1000 << QByteArray("first page\r\n\fsecond page\r\n\fthird page\r\n\f");
        QTest::newRow("second only") << 1 << 2 << 2 << QByteArray("second page\r\n\f");
        QTest::newRow("end capped") << 1 << 3 << 9 << QByteArray("third page\r\n\f");
    }
    void pageRanges() {
        QFETCH(int, pageRange);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QByteArray, expected);
        ConvertOptions options = textOptions();
        options.pageRange = pageRange;
        options.startPage = first;
        options.endPage = last;
        QCOMPARE(fixture->convertedText(fixture->threePages(), options), expected);
        QVERIFY(fixture->dialogs.messages().empty());
    }

    void rangeBeyondTheDocumentEndsTheBatch() {
        ConvertOptions options = textOptions();
        options.pageRange = option::selectedPages;
        options.startPage = 5;
        options.endPage = 10;
        const QString pdf = fixture->threePages();
        QFile::remove(ConversionFixture::outputPathFor(pdf, options));
        QCOMPARE(fixture->convert(pdf, options), JobOutcome::EndBatch);
        QCOMPARE(
            fixture->messageTexts(),
            QStringList{QStringLiteral("The '%1' file only contain 3 pages, please correct the page range in "
                                       "the setting dialog and try again.")
                            .arg(pdf)});
        QVERIFY(!QFile::exists(ConversionFixture::outputPathFor(pdf, options)));
        QVERIFY(fixture->progress.isEmpty());
    }

    // A damaged file that opens without pages fits no range: it costs its own job, whatever the
    // range, and the files after it still convert.
    void documentWithoutPagesIsSkippedAndTheBatchGoesOn() {
        const QString pdf = fixture->path(QStringLiteral("empty-doc.pdf"));
        QVERIFY(fixtures::writeRawPdf(pdf, fixtures::RawPdf{}));
        ConvertOptions range = textOptions();
        range.pageRange = option::selectedPages;
        range.startPage = 2;
        range.endPage = 3;
        for (const ConvertOptions& options : {textOptions(), range}) {
            fixture->dialogs.clear();
            const BatchOutcome outcome = fixture->runBatch({pdf, fixture->threePages()}, options);
            QCOMPARE(outcome.end, BatchOutcome::End::Finished);
            QCOMPARE(outcome.converted, 1);
            QCOMPARE(outcome.skipped, 1);
            QCOMPARE(
                fixture->messageTexts(),
                QStringList{QStringLiteral("The file '%1' has no pages, so it is not converted.").arg(pdf)});
        }
    }

    void outputGoesBesideThePdfOrIntoTheFolderSet() {
        ConvertOptions options = textOptions();
        QCOMPARE(ConversionFixture::outputPathFor(QStringLiteral("/a/b.c.pdf"), options),
                 QStringLiteral("/a/b.c.txt"));
        options.outputMode = option::htmlFile;
        QCOMPARE(ConversionFixture::outputPathFor(QStringLiteral("/a/b"), options),
                 QStringLiteral("/a/b.htm"));
        const QString out = fixture->path(QStringLiteral("out"));
        QDir().mkpath(out);
        for (const QString& folder : {out + QLatin1Char('/'), out})
            QCOMPARE(
                ConversionFixture::outputPathFor(QStringLiteral("/a/b.c.pdf"),
                                                 {.outputMode = 0, .outputDirectory = folder.toStdString()}),
                out + QStringLiteral("/b.c.txt"));
        QCOMPARE(ConversionFixture::outputPathFor(
                     QStringLiteral("/a/b.pdf"),
                     {.outputMode = 0, .outputDirectory = (out + QStringLiteral("/gone/")).toStdString()}),
                 out + QStringLiteral("/gone/b.txt"));
    }

    // A folder the user chose that went away is never swapped for the PDFs' own folders, where
    // the outputs would replace files of the same names.
    void goneOutputFolderSkipsEveryJobAndWritesNothingElsewhere() {
        const QString folder = fixture->path(QStringLiteral("gone-out"));
        QDir().mkpath(folder);
        const QString first = folder + QStringLiteral("/one.pdf");
        const QString second = folder + QStringLiteral("/two.pdf");
        QVERIFY(QFile::copy(fixture->threePages(), first));
        QVERIFY(QFile::copy(fixture->threePages(), second));
        ConvertOptions options = textOptions();
        const QString gone = fixture->path(QStringLiteral("removed-folder/"));
        options.outputDirectory = gone.toStdString();
        const BatchOutcome outcome = fixture->runBatch({first, second}, options);
        QCOMPARE(outcome.converted, 0);
        QCOMPARE(outcome.skipped, 2);
        QCOMPARE(fixture->messageTexts().size(), 2);
        QCOMPARE(fixture->messageTexts().last(),
                 QStringLiteral("The output folder '%1' does not exist, so '%2' is not converted.")
                     .arg(gone, second));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("one.pdf"), QStringLiteral("two.pdf")}));
    }

    void existingOutputIsReplacedAndNoTemporaryFileStays() {
        ConvertOptions options = textOptions();
        options.outputDirectory = fixture->path(QStringLiteral("replace")).toStdString();
        QDir().mkpath(QString::fromStdString(options.outputDirectory));
        const QString pdf = fixture->threePages();
        const QString output = ConversionFixture::outputPathFor(pdf, options);
        QFile old(output);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
        old.close();
        QCOMPARE(fixture->convert(pdf, options), JobOutcome::Converted);
        QCOMPARE(ConversionFixture::readAll(output),
                 QByteArray("first page\r\n\fsecond page\r\n\fthird page\r\n\f"));
        QVERIFY(leftovers(QString::fromStdString(options.outputDirectory)).isEmpty());
    }

    void unwritableOutputIsReportedAndSkipped() {
        ConvertOptions options = textOptions();
        options.outputDirectory = "/proc/"; // exists; nobody, not even root, creates files there
        const QString pdf = fixture->threePages();
        QCOMPARE(fixture->convert(pdf, options), JobOutcome::Skipped);
        QCOMPARE(fixture->dialogs.messages().size(), std::size_t(1));
        QVERIFY(fixture->messageTexts().first().contains(QStringLiteral("/proc/three-pages.txt")));
        QCOMPARE(QString::fromStdString(fixture->dialogs.messages().front().subject), pdf);
        QVERIFY(fixture->progress.isEmpty());
    }

    void folderInTheWayOfTheOutputIsReported() {
        ConvertOptions options = textOptions();
        options.outputDirectory = fixture->path(QStringLiteral("blocked")).toStdString();
        QDir().mkpath(QString::fromStdString(options.outputDirectory) + QStringLiteral("/three-pages.txt"));
        QCOMPARE(fixture->convert(fixture->threePages(), options), JobOutcome::Skipped);
        QVERIFY(fixture->messageTexts().first().contains(QStringLiteral("three-pages.txt")));
        QVERIFY(leftovers(QString::fromStdString(options.outputDirectory)).isEmpty());
    }

    void htmlWithoutMetaHasTheFixedLinesOnly() {
        QCOMPARE(fixture->convertedText(fixture->withInfo(), htmlOptions(false)),
                 QByteArray("<html>\n<head>\n</head>\n<body>\n<pre>\nbody\r\n\f</pre>\n</body>\n</html>\n"));
    }

    // The head's values are written in the output's own encoding, as pdftotext -htmlmeta
    // writes them (escaped besides); with Latin1 they keep their Latin-1 bytes.
    void htmlMetaLinesAreMappedEscapedAndOrdered() {
        ConvertOptions options = htmlOptions(true);
        const QByteArray latin1Head = "<html>\n<head>\n"
                                      "<title>T&lt;b&gt;&amp;&quot;x&quot;</title>\n"
                                      "<meta name=\"Subject\" content=\"CTeX \">\n"
                                      "<meta name=\"Keywords\" content=\"caf\xE9\">\n";
        QVERIFY(fixture->convertedText(fixture->withInfo(), options).startsWith(latin1Head));
        options.textEncoding = 2; // UTF-8
        const QByteArray page = fixture->convertedText(fixture->withInfo(), options);
        QCOMPARE(page, QByteArray("<html>\n<head>\n"
                                  "<title>T&lt;b&gt;&amp;&quot;x&quot;</title>\n"
                                  "<meta name=\"Subject\" content=\"CTeX \xE4\xB8\xAD\xE6\x96\x87\">\n"
                                  "<meta name=\"Keywords\" content=\"caf\xC3\xA9\">\n"
                                  "<meta name=\"Author\" content=\"Ann\">\n"
                                  "<meta name=\"Producer\" content=\"P\">\n"
                                  "<meta name=\"CreationDate\" content=\"20120623101500\">\n"
                                  "<meta name=\"ModDate\" content=\"20120624\">\n"
                                  "</head>\n<body>\n<pre>\nbody\r\n\f</pre>\n</body>\n</html>\n"));
        const QByteArray oracle = ConversionFixture::pdftotext(
            fixture->withInfo(),
            {QStringLiteral("-htmlmeta"), QStringLiteral("-enc"), QStringLiteral("UTF-8")});
        // pdftotext writes its own markup around the values; the values' bytes are the same.
        for (const QByteArray& value : {QByteArray("\"Subject\" content=\"CTeX \xE4\xB8\xAD\xE6\x96\x87\""),
                                        QByteArray("\"Keywords\" content=\"caf\xC3\xA9\"")}) {
            QVERIFY2(oracle.contains(value), oracle.constData());
            QVERIFY(page.contains(value));
        }
    }

    void htmlBodyCannotCarryMarkup() {
        const QByteArray page = fixture->convertedText(fixture->markupBody(), htmlOptions(false));
        QVERIFY2(page.contains("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; more"),
                 page.constData());
        QVERIFY(!page.contains("<script>"));
    }

    // The ISO-2022 codes of 首, 勝, Α, 唖 hold '<', '>', '&' and '"'; a browser reading the page
    // byte by byte would see live markup. Codes without such bytes keep the engine's bytes.
    void htmlBodyInTwoByteEncodingsCannotCarryMarkup() {
        const QString pdf = fixture->path(QStringLiteral("jis-markup.pdf"));
        fixtures::TextPdf text;
        text.pages = {{QStringLiteral("首竰蜷勝Α唖")}};
        QVERIFY(fixtures::writeTextPdf(pdf, text));
        ConvertOptions options = htmlOptions(false);
        options.textEncoding = CMapConfig::encodingIndex("ISO-2022-JP");
        const QByteArray page = fixture->convertedText(pdf, options);
        const qsizetype start = page.indexOf("<pre>\n") + 6;
        QByteArray body = page.mid(start, page.indexOf("</pre>") - start);
        QVERIFY2(body.startsWith("&#x9996;crip&#x52DD;&#x391;&#x5516;"), body.constData());
        for (const char markup : {'<', '>', '"'})
            QVERIFY(!body.contains(markup));
        body.replace("&#x9996;", "<s")
            .replace("&#x52DD;", ">!")
            .replace("&#x391;", "&!")
            .replace("&#x5516;", "0\"");
        QCOMPARE(body, ConversionFixture::pdftotext(pdf, {QStringLiteral("-layout"), QStringLiteral("-eol"),
                                                          QStringLiteral("dos"), QStringLiteral("-enc"),
                                                          QStringLiteral("ISO-2022-JP")}));
    }

    // doc.txt holding a PDF converts to doc.txt, and a doc.txt linking to doc.pdf names it too:
    // writing either would destroy the document.
    void outputNeverReplacesItsOwnPdf() {
        const QString folder = fixture->path(QStringLiteral("self"));
        QDir().mkpath(folder);
        const QString named = folder + QStringLiteral("/named.txt");
        const QString linked = folder + QStringLiteral("/linked.pdf");
        QVERIFY(QFile::copy(fixture->threePages(), named));
        QVERIFY(QFile::copy(fixture->threePages(), linked));
        QVERIFY(QFile::link(linked, folder + QStringLiteral("/linked.txt")));
        const QByteArray original = ConversionFixture::readAll(linked);
        for (const QString& pdf : {named, linked}) {
            fixture->dialogs.clear();
            QCOMPARE(fixture->convert(pdf, textOptions()), JobOutcome::Skipped);
            QCOMPARE(fixture->messageTexts().size(), 1);
            QVERIFY2(
                fixture->messageTexts().first().contains(QStringLiteral("would replace the PDF file itself")),
                qPrintable(fixture->messageTexts().first()));
            QCOMPARE(ConversionFixture::readAll(pdf), original);
        }
    }

    // Any name the output may have can be written, though the temporary name is longer.
    void longestNamesConvert() {
        const QString folder = fixture->path(QStringLiteral("long"));
        QDir().mkpath(folder);
        const QString cjkTitle = QString(83, QChar(0x4E2D)); // 249 bytes, 253 with ".txt"
        const QString latinTitle = QString(251, QLatin1Char('n'));
        for (const QString& title : {cjkTitle, latinTitle}) {
            const QString pdf = folder + QLatin1Char('/') + title + QStringLiteral(".pdf");
            QVERIFY(QFile::copy(fixture->threePages(), pdf));
            QCOMPARE(fixture->convert(pdf, textOptions()), JobOutcome::Converted);
            QVERIFY(QFile::exists(folder + QLatin1Char('/') + title + QStringLiteral(".txt")));
        }
        QCOMPARE(leftovers(folder), QStringList{});
    }

    void passwords_data() {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("converted");
        QTest::newRow("no password") << ""
                                     << "" << false;
        QTest::newRow("wrong password") << "nope"
                                        << "nope" << false;
        QTest::newRow("user password") << ""
                                       << "user pw" << true;
        QTest::newRow("owner password") << "owner pw"
                                        << "" << true;
    }
    void passwords() {
        QFETCH(QString, owner);
        QFETCH(QString, user);
        QFETCH(bool, converted);
        const QString pdf = fixture->encrypted(QStringLiteral("user pw"), QStringLiteral("owner pw"), true);
        const JobOutcome outcome = fixture->convert(pdf, textOptions(), owner, user);
        QCOMPARE(outcome, converted ? JobOutcome::Converted : JobOutcome::Skipped);
        QCOMPARE(fixture->messageTexts(),
                 converted ? QStringList{} : QStringList{QStringLiteral("Not a valid pdf file!")});
    }

    void copyForbiddingDocumentIsSkipped() {
        const QString pdf = fixture->encrypted(QStringLiteral("u"), QStringLiteral("o"), false);
        QCOMPARE(fixture->convert(pdf, textOptions(), QString(), QStringLiteral("u")), JobOutcome::Skipped);
        QCOMPARE(fixture->messageTexts(),
                 QStringList{QStringLiteral("Copying of text from this document is not allowed.")});
        QVERIFY(!QFile::exists(ConversionFixture::outputPathFor(pdf, textOptions())));
        // The owner's password lifts the restriction.
        QCOMPARE(fixture->convert(pdf, textOptions(), QStringLiteral("o"), QString()), JobOutcome::Converted);
    }

    void damagedInputIsNotAValidPdf_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("random bytes") << QByteArray::fromHex("8f3a9c11d2e07b44aa0155ee90c3f1").repeated(500);
        QTest::newRow("header only") << QByteArray("%PDF-1.4\n");
        QTest::newRow("garbage after header")
            << QByteArray("%PDF-1.7\n1 0 obj << /Type /Catalog /Pages 9 0 R >>\n"
                          "trailer << /Root 1 0 R /Size 99 >>\n%%EOF");
    }
    void damagedInputIsNotAValidPdf() {
        QFETCH(QByteArray, contents);
        const QString pdf = fixture->path(QStringLiteral("damaged.pdf"));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        const JobOutcome outcome = fixture->convert(pdf, textOptions());
        QVERIFY(outcome != JobOutcome::Converted || fixture->dialogs.messages().empty());
        if (outcome != JobOutcome::Converted)
            QCOMPARE(fixture->messageTexts().size(), 1);
    }

    void truncatedPdfNeverCrashes() {
        const QByteArray whole = ConversionFixture::readAll(fixture->latinColumns());
        const QString pdf = fixture->path(QStringLiteral("truncated.pdf"));
        for (qsizetype cut : {qsizetype(10), whole.size() / 3, whole.size() / 2, whole.size() - 40}) {
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(whole.left(cut));
            file.close();
            fixture->dialogs.clear();
            const JobOutcome outcome = fixture->convert(pdf, textOptions());
            QVERIFY(outcome != JobOutcome::EndBatch || fixture->dialogs.messages().size() == 1);
        }
    }

    // Damaged bytes anywhere in a real document: every job ends, with at most one message.
    void mutatedDocumentsNeverCrash() {
        const QByteArray whole = ConversionFixture::readAll(fixture->latinColumns());
        const QString pdf = fixture->path(QStringLiteral("mutated.pdf"));
        QRandomGenerator random(20261208);
        for (int variant = 0; variant < 200; ++variant) {
            QByteArray damaged = whole;
            for (int flip = 0; flip < 8; ++flip)
                damaged[random.bounded(damaged.size())] = static_cast<char>(random.bounded(256));
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(damaged);
            file.close();
            fixture->dialogs.clear();
            fixture->convert(pdf, textOptions());
            QVERIFY(fixture->dialogs.messages().size() <= 1);
        }
    }

    void nonFilesAreNotValidPdfs() {
        const QString folder = fixture->path(QStringLiteral("x.pdf"));
        QDir().mkpath(folder);
        const QString fifo = fixture->path(QStringLiteral("pipe.pdf"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0); // opening it would block forever
        for (const QString& pdf : {folder, fifo, fixture->path(QStringLiteral("missing.pdf"))}) {
            fixture->dialogs.clear();
            QCOMPARE(fixture->convert(pdf, textOptions()), JobOutcome::Skipped);
            QCOMPARE(fixture->messageTexts(), QStringList{QStringLiteral("Not a valid pdf file!")});
        }
    }

    void unreadableFileIsNotAValidPdf() {
        if (::geteuid() == 0)
            QSKIP("root reads every file");
        const QString pdf = fixture->path(QStringLiteral("locked.pdf"));
        QVERIFY(QFile::copy(fixture->threePages(), pdf));
        QVERIFY(QFile::setPermissions(pdf, QFileDevice::WriteOwner));
        QCOMPARE(fixture->convert(pdf, textOptions()), JobOutcome::Skipped);
        QCOMPARE(fixture->messageTexts(), QStringList{QStringLiteral("Not a valid pdf file!")});
    }

    void oddFileNamesConvert() {
        const QString pdf = fixture->path(QStringLiteral("ü ñ 'quote' $x;.PDF"));
        QVERIFY(QFile::copy(fixture->threePages(), pdf));
        QCOMPARE(fixture->convert(pdf, textOptions()), JobOutcome::Converted);
        QVERIFY(QFile::exists(fixture->path(QStringLiteral("ü ñ 'quote' $x;.txt"))));
    }

    void unreadableConfigurationAnnouncesTheProgramFolderFile() {
        const QString home = fixture->path(QStringLiteral("home"));
        QDir().mkpath(home);
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", home.toUtf8());
        const ConvertOptions options = textOptions();
        FileConverter converter(fixture->path(QStringLiteral("no-such-config.ini")).toStdString(),
                                fixture->path(QStringLiteral("prog/")).toStdString());
        const JobOutcome outcome = converter.convert({fixture->threePages().toStdString(), {}, {}, 1, 1},
                                                     options, fixture->feedback);
        qputenv("HOME", savedHome);
        QCOMPARE(outcome, JobOutcome::Converted);
        QCOMPARE(fixture->messageTexts(), QStringList{fixture->path(QStringLiteral("prog/xpdfrc"))});
    }
};

QTEST_MAIN(TestFileConverter)
#include "tst_fileconverter.moc"
