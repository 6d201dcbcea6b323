#include "ConversionFixture.h"
#include "ScanFixture.h"
#include "TestSupport.h"

#include "core/CMapConfig.h"
#include "core/SummaryReport.h"
#include "engine/Engine.h"
#include "engine/PageReader.h"
#include "engine/PageTextDevice.h"
#include "engine/RecognizedText.h"
#include "engine/ScanProbe.h"
#include "ocr/TesseractReader.h"

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <QFile>
#include <QImage>
#include <QTest>
#include <UnicodeMap.h>
#include <map>

// Scanned pages in one process: found without touching text pages, read as the recognizer's
// own command reads the same picture, and written through the job's output path; text and
// blank pages keep the engine's bytes in every mode but "All Pages".
class TestScannedPages : public QObject {
    Q_OBJECT

    std::unique_ptr<ConversionFixture> fixture;
    std::unique_ptr<ScanFixture> scans;

    static ConvertOptions utf8Options(int recognize) {
        ConvertOptions options = ConvertOptions::defaults();
        options.textEncoding = CMapConfig::encodingIndex("UTF-8");
        options.endOfLine = option::eolUnix;
        options.recognizeScannedPages = recognize;
        return options;
    }

    static QList<QByteArray> pagesOf(const QByteArray& text) { return text.split('\f'); }

    // Rows name their fixture, which is made once the test's folder is.
    QString fixtureFile(const QString& name) {
        const std::map<QString, QString (ScanFixture::*)()> files{
            {QStringLiteral("small"), &ScanFixture::smallScan},
            {QStringLiteral("stamped"), &ScanFixture::stampedScan},
            {QStringLiteral("garbled"), &ScanFixture::garbledText},
            {QStringLiteral("logo"), &ScanFixture::logoOnTextPage},
            {QStringLiteral("background"), &ScanFixture::textOverBackground},
            {QStringLiteral("searchable"), &ScanFixture::searchableScan}};
        return (scans.get()->*files.at(name))();
    }

    static PageReader::Line line(int left, int top, const char* text, bool paragraph = false) {
        return {left, top, left + 10 * static_cast<int>(std::strlen(text)), top + 30, text, paragraph};
    }

private Q_SLOTS:
    void initTestCase() { TesseractReader::installForProcess(); }
    void init() {
        fixture = std::make_unique<ConversionFixture>();
        scans = std::make_unique<ScanFixture>(fixture->path(QStringLiteral("pdf")));
    }
    void cleanup() {
        scans.reset();
        fixture.reset();
    }

    void textAndBlankPagesKeepTheEngineBytes_data() {
        QTest::addColumn<int>("recognize");
        QTest::addColumn<bool>("layout");
        QTest::addColumn<bool>("raw");
        QTest::newRow("off, layout") << option::recognizeNo << true << false;
        QTest::newRow("without text, layout") << option::recognizePagesWithoutText << true << false;
        QTest::newRow("without text, reading order") << option::recognizePagesWithoutText << false << false;
        QTest::newRow("without text, raw") << option::recognizePagesWithoutText << false << true;
    }
    void textAndBlankPagesKeepTheEngineBytes() {
        QFETCH(int, recognize);
        QFETCH(bool, layout);
        QFETCH(bool, raw);
        ConvertOptions options = utf8Options(recognize);
        options.layout = layout ? option::yes : 1;
        options.rawMode = raw ? option::yes : 1;
        QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-eol"),
                              QStringLiteral("unix")};
        if (layout)
            arguments << QStringLiteral("-layout");
        if (raw)
            arguments << QStringLiteral("-raw");
        const QString pdf = scans->mixed();
        const QList<QByteArray> oracle = pagesOf(ConversionFixture::pdftotext(pdf, arguments));
        const QList<QByteArray> pages = pagesOf(fixture->convertedText(pdf, options));
        QCOMPARE(pages.size(), 5);
        QCOMPARE(pages[0], oracle[0]);
        QCOMPARE(pages[1], oracle[1]);
        QCOMPARE(pages[3], QByteArray()); // blank stays blank
        QCOMPARE(pages[4], QByteArray());
        QCOMPARE(oracle[2], QByteArray());
        if (recognize == option::recognizeNo)
            QCOMPARE(pages[2], QByteArray());
        else
            QCOMPARE(ScanFixture::words(pages[2]), ScanFixture::recognizerWords(scans->scanPicture()));
    }

    void theScanReadsAsTheRecognizerReadsItsPicture() {
        const QStringList expected = ScanFixture::recognizerWords(scans->scanPicture());
        // The recognizer itself must have read the page for the comparison to say anything.
        QVERIFY2(expected.join(QLatin1Char(' ')).contains(QStringLiteral("Seven quick brown foxes")),
                 qPrintable(expected.join(QLatin1Char(' '))));
        const QByteArray text =
            fixture->convertedText(scans->scan(), utf8Options(option::recognizePagesWithoutText));
        QCOMPARE(ScanFixture::words(text), expected);
        QVERIFY(text.endsWith("\n\f"));
        QCOMPARE(fixture->messageTexts(), QStringList());
    }

    // A read scan comes out as Markdown too: the recognizer's words, its lines joined into
    // paragraphs, what looks like markup escaped, the page break on a line of its own.
    void scansComeOutAsMarkdown() {
        const QStringList expected = ScanFixture::recognizerWords(scans->scanPicture());
        ConvertOptions options = utf8Options(option::recognizePagesWithoutText);
        options.outputMode = option::markdownFile;
        options.htmlMeta = 1; // no front matter
        QByteArray text = fixture->convertedText(scans->scan(), options);
        QVERIFY2(text.contains("\\<b>") && text.endsWith("\n\f\n"), text.constData());
        QVERIFY(!text.contains("line\nby"));
        QCOMPARE(ScanFixture::words(text.replace('\\', "")), expected);
    }

    // Scanners turn, skew and light pages badly; each reads like the upright page, and the
    // upright one is left as it is.
    void turnedSkewedAndDimScansReadLikeTheUprightPage_data() {
        QTest::addColumn<QString>("variant");
        for (const char* variant :
             {"upright", "turned-90", "turned-180", "turned-270", "skewed-4", "skewed--3", "dim"})
            QTest::newRow(variant) << QString::fromLatin1(variant);
    }

    void turnedSkewedAndDimScansReadLikeTheUprightPage() {
        QFETCH(QString, variant);
        const QStringList truth =
            ScanFixture::words(ScanFixture::proseLines().join(QLatin1Char(' ')).toUtf8());
        const QByteArray text =
            fixture->convertedText(scans->proseScan(variant), utf8Options(option::recognizePagesWithoutText));
        QStringList unread = truth;
        for (const QString& word : ScanFixture::words(text))
            unread.removeOne(word);
        const double recall = 1.0 - double(unread.size()) / truth.size();
        QVERIFY2(recall >= 0.95,
                 qPrintable(QStringLiteral("recall %1: %2").arg(recall).arg(QString::fromUtf8(text))));
    }

    // A scan that reads as markup must stay text in the page it becomes.
    void recognizedMarkupIsEscapedInHtml() {
        ConvertOptions options = utf8Options(option::recognizePagesWithoutText);
        options.outputMode = option::htmlFile;
        const QByteArray page = fixture->convertedText(scans->scan(), options);
        const QByteArray body = page.mid(page.indexOf("<body>") + 6);
        QVERIFY2(body.contains("&lt;b&gt;&amp;") || body.contains("&lt;b&gt; &amp;"), body.constData());
        QVERIFY(!body.contains("<b>"));
    }

    // "All Pages" reads text pages from their picture too, and a blank page stays blank.
    void allPagesReadsEveryPage() {
        const QString pdf = scans->mixed();
        const QList<QByteArray> pages =
            pagesOf(fixture->convertedText(pdf, utf8Options(option::recognizeAllPages)));
        QCOMPARE(pages.size(), 5);
        QCOMPARE(ScanFixture::words(pages[0]),
                 ScanFixture::words("The first page has text. It stays as the engine reads it."));
        QCOMPARE(pages[3], QByteArray());
        QVERIFY(!pages[2].isEmpty());
    }

    // With recognition off the user learns once per job that pages were left unread.
    void unreadScansAreToldOncePerJob() {
        const QString pdf = scans->joined(QStringLiteral("two-scans.pdf"),
                                          {scans->scan(), scans->textPages(), scans->scan()});
        QCOMPARE(fixture->convert(pdf, utf8Options(option::recognizeNo)), JobOutcome::Converted);
        QCOMPARE(
            fixture->messageTexts(),
            QStringList{
                QStringLiteral("'%1' has 2 pages without text; turn on Recognize Scanned Pages to read them.")
                    .arg(pdf)});
        fixture->dialogs.clear();
        fixture->convert(scans->textPages(), utf8Options(option::recognizeNo));
        QCOMPARE(fixture->messageTexts(), QStringList());
    }

    // Languages without data, or names that would reach outside the data folder, convert
    // without reading, told once.
    void languagesWithoutDataConvertWithoutReading_data() {
        QTest::addColumn<QString>("languages");
        QTest::newRow("not installed") << QStringLiteral("eng+xyz");
        QTest::newRow("outside the data folder") << QStringLiteral("../../../etc/passwd");
        QTest::newRow("empty part") << QStringLiteral("eng+");
    }
    void languagesWithoutDataConvertWithoutReading() {
        QFETCH(QString, languages);
        ConvertOptions options = utf8Options(option::recognizePagesWithoutText);
        options.ocrLanguages = languages.toStdString();
        const QString pdf = scans->joined(QStringLiteral("scans-%1.pdf")
                                              .arg(QString::fromLatin1(QTest::currentDataTag()))
                                              .replace(QLatin1Char(' '), QLatin1Char('-')),
                                          {scans->scan(), scans->scan()});
        QCOMPARE(fixture->convertedText(pdf, options), QByteArray("\f\f"));
        QCOMPARE(fixture->messageTexts().size(), 1);
        QVERIFY(fixture->messageTexts().first().contains(languages));
    }

    // A page size whose picture would take gigabytes is refused, not drawn; the job goes on.
    void aHugePageIsRefused() {
        const QString pdf =
            scans->joined(QStringLiteral("huge-and-text.pdf"), {scans->hugePage(), scans->textPages()});
        const QByteArray text = fixture->convertedText(pdf, utf8Options(option::recognizePagesWithoutText));
        QCOMPARE(pagesOf(text).value(1),
                 pagesOf(ConversionFixture::pdftotext(pdf, {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                            QStringLiteral("UTF-8"), QStringLiteral("-eol"),
                                                            QStringLiteral("unix")}))
                     .value(1));
        QCOMPARE(pagesOf(text).value(0), QByteArray());
        QCOMPARE(fixture->messageTexts().size(), 1);
        QVERIFY2(fixture->messageTexts().first().startsWith(
                     QStringLiteral("Page 1 of '%1' would be a picture of 3600 megapixels").arg(pdf)),
                 qPrintable(fixture->messageTexts().first()));
    }

    // The text pass notes a scan's resolution, which the page is read at when finer than
    // 300 dpi (up to 400); a fine scan too large to draw so is drawn coarser, not refused.
    void scansAreReadAtTheirOwnResolution_data() {
        QTest::addColumn<int>("inches");
        QTest::addColumn<int>("scanned");
        QTest::newRow("coarse") << 2 << 150;
        QTest::newRow("fine") << 2 << 400;
        QTest::newRow("finer than read") << 2 << 600;
        QTest::newRow("fine and large") << 26 << 400;
    }

    void scansAreReadAtTheirOwnResolution() {
        QFETCH(int, inches);
        QFETCH(int, scanned);
        QImage blank(inches * scanned, inches * scanned, QImage::Format_Mono);
        blank.fill(1);
        const QString picture = fixture->path(QStringLiteral("scan.pbm"));
        QVERIFY(blank.save(picture, "PBM"));
        const QString pdf = fixture->path(QStringLiteral("scan-%1.pdf").arg(scanned));
        ScanFixture::run(QStringLiteral("img2pdf"),
                         {QStringLiteral("--imgsize"), QStringLiteral("%1dpi").arg(scanned), picture,
                          QStringLiteral("-o"), pdf});
        double noted = 0;
        {
            const auto lock = engine::lock();
            const bool ownParameters = !globalParams;
            if (ownParameters)
                globalParams = std::make_unique<GlobalParams>();
            const std::unique_ptr<PDFDoc> document = engine::openDocument(testsupport::path(pdf));
            PageTextDevice device(nullptr, false, 0.0, false, false);
            device.watchImages(true);
            document->displayPage(&device, 1, 72, 72, 0, false, true, false);
            noted = device.sight().imageDotsPerInch;
            if (ownParameters)
                globalParams.reset();
        }
        QCOMPARE(qRound(noted), scanned);
        QCOMPARE(qRound(PageReader::readingResolution(noted)), std::min(std::max(scanned, 300), 400));
        fixture->convertedText(pdf, utf8Options(option::recognizePagesWithoutText));
        QCOMPARE(fixture->messageTexts(), QStringList());
    }

    void summaryCountsPagesWithoutText() {
        const SummaryReport report = SummaryReport::build(testsupport::path(scans->mixed()));
        QCOMPARE(report.pagesWithoutText, 1);
        QCOMPARE(testsupport::bytes(report.lines[7].text), QByteArray("\tNumber of Pages: 4\n"));
        QCOMPARE(testsupport::bytes(report.lines[8].text), QByteArray("\tPages without text: 1\n"));
        QCOMPARE(SummaryReport::build(testsupport::path(scans->textPages())).pagesWithoutText, 0);
    }

    // Pages whose pictures are what they show are read whatever the pictures' share of the
    // page, a stamp on a scan comes out once in its place, and a text layer of glyph numbers
    // gives way to the page as drawn.
    void pagesShowingPicturesAreRead_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("once");
        const QStringList scanned =
            ScanFixture::words(ScanFixture::scannedLines().join(QLatin1Char(' ')).toUtf8());
        QTest::newRow("small scan") << QStringLiteral("small") << scanned << QStringList();
        QTest::newRow("stamped scan")
            << QStringLiteral("stamped") << scanned + ScanFixture::stampWords() << ScanFixture::stampWords();
        QTest::newRow("garbled text layer")
            << QStringLiteral("garbled")
            << ScanFixture::words(ScanFixture::garbledSourceLines().join(QLatin1Char(' ')).toUtf8())
            << QStringList();
    }
    void pagesShowingPicturesAreRead() {
        QFETCH(QString, pdf);
        pdf = fixtureFile(pdf);
        QFETCH(QStringList, source);
        QFETCH(QStringList, once);
        const QStringList read =
            ScanFixture::words(fixture->convertedText(pdf, utf8Options(option::recognizePagesWithoutText)));
        const double recall = ScanFixture::recall(source, read);
        QVERIFY2(recall >= 0.9,
                 qPrintable(QStringLiteral("recall %1: %2").arg(recall).arg(read.join(QLatin1Char(' ')))));
        for (const QString& word : once)
            QCOMPARE(read.count(word), 1);
        QCOMPARE(fixture->messageTexts(), QStringList());
        // The engine's own text of these pages says little of them.
        const QStringList engineWords = ScanFixture::words(ConversionFixture::pdftotext(pdf, {}));
        QVERIFY(ScanFixture::recall(source, engineWords) < 0.5);
    }

    // Text pages with a logo or over a full-page picture keep the engine's bytes.
    void textPagesWithPicturesKeepTheEngineBytes_data() {
        QTest::addColumn<QString>("pdf");
        QTest::newRow("small logo") << QStringLiteral("logo");
        QTest::newRow("full-page background") << QStringLiteral("background");
        QTest::newRow("searchable scan") << QStringLiteral("searchable");
    }
    void textPagesWithPicturesKeepTheEngineBytes() {
        QFETCH(QString, pdf);
        pdf = fixtureFile(pdf);
        const QByteArray oracle = ConversionFixture::pdftotext(
            pdf, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                  QStringLiteral("-eol"), QStringLiteral("unix")});
        QVERIFY(!ScanFixture::words(oracle).isEmpty());
        QCOMPARE(fixture->convertedText(pdf, utf8Options(option::recognizePagesWithoutText)), oracle);
        QCOMPARE(fixture->convertedText(pdf, utf8Options(option::recognizeNo)), oracle);
        QCOMPARE(fixture->messageTexts(), QStringList());
        QCOMPARE(SummaryReport::build(testsupport::path(pdf)).pagesWithoutText, 0);
    }

    // The summary and the message with recognition off count both reasons to read a page.
    void bothReasonsAreCounted() {
        const QString pdf = scans->joined(QStringLiteral("both-reasons.pdf"),
                                          {scans->garbledText(), scans->smallScan(), scans->textPages(),
                                           scans->stampedScan(), scans->garbledText()});
        const SummaryReport report = SummaryReport::build(testsupport::path(pdf));
        QCOMPARE(report.pagesWithoutText, 2);
        QCOMPARE(report.pagesWithUnusableText, 2);
        QCOMPARE(testsupport::bytes(report.lines[8].text), QByteArray("\tPages without text: 2\n"));
        QCOMPARE(testsupport::bytes(report.lines[9].text), QByteArray("\tPages with unusable text: 2\n"));
        QCOMPARE(fixture->convert(pdf, utf8Options(option::recognizeNo)), JobOutcome::Converted);
        QCOMPARE(fixture->messageTexts(),
                 QStringList{
                     QStringLiteral("'%1' has 2 pages without text and 2 pages with unusable text; turn on "
                                    "Recognize Scanned Pages to read them.")
                         .arg(pdf)});
        fixture->dialogs.clear();
        fixture->convert(scans->garbledText(), utf8Options(option::recognizeNo));
        QCOMPARE(
            fixture->messageTexts(),
            QStringList{QStringLiteral("'%1' has 1 pages with unusable text; turn on Recognize Scanned Pages "
                                       "to read them.")
                            .arg(scans->garbledText())});
    }

    // The plan's guess, from the pages' resources, names the scans and the garbled page, not a
    // text page with a logo or with a large picture among much text.
    void thePlanGuessesThePagesToRead() {
        const QString pdf =
            scans->joined(QStringLiteral("guess.pdf"),
                          {scans->textPages(), scans->scan(), scans->logoOnTextPage(), scans->garbledText(),
                           scans->stampedScan(), scans->smallScan(), scans->pictureInText()});
        const std::unique_ptr<PDFDoc> document = engine::openDocument(testsupport::path(pdf));
        QCOMPARE(ScanProbe::pagesLikelyRead(*document, 1, 9), (std::vector<int>{3, 6, 7, 8}));
    }

    // A hostile page whose forms name forms thousands of times is looked through once.
    void formsNamedOverAndOverAreLookedAtOnce() {
        const QString pdf = scans->formsNamedOverAndOver();
        for (const int recognize : {option::recognizeNo, option::recognizePagesWithoutText})
            QCOMPARE(ScanFixture::words(fixture->convertedText(pdf, utf8Options(recognize))),
                     ScanFixture::words("Forms within forms"));
    }

    // Glyph numbers of a font without a map to letters are unusable text, though they look
    // like letters.
    void glyphNumbersAreUnusableText() {
        const QString pdf = scans->glyphNumberText();
        QVERIFY(ConversionFixture::pdftotext(pdf, {}).startsWith("3URMHFW\x03GRFXPHQWDWLRQ"));
        const SummaryReport report = SummaryReport::build(testsupport::path(pdf));
        QCOMPARE(report.pagesWithUnusableText, 1);
        QCOMPARE(report.pagesWithoutText, 0);
        QCOMPARE(SummaryReport::build(testsupport::path(scans->textPages())).pagesWithUnusableText, 0);

        const QString font = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
        if (!QFile::exists(font))
            QSKIP("needs fonts-dejavu-core");
        for (const bool unicodeCmap : {false, true}) {
            const QString symbolic = scans->symbolicGlyphNumberText(font, unicodeCmap);
            QVERIFY(ConversionFixture::pdftotext(symbolic, {}).startsWith("3URMHFW"));
            QCOMPARE(SummaryReport::build(testsupport::path(symbolic)).pagesWithUnusableText,
                     unicodeCmap ? 0 : 1);
        }
    }

    // Read lines through the encoding: line ends and page breaks in its codes, characters it
    // cannot hold dropped, lines kept in place with the layout.
    void readLinesTakeTheOutputPath() {
        globalParams = std::make_unique<GlobalParams>();
        const UnicodeMap* ascii = globalParams->getUnicodeMap("ASCII7");
        const UnicodeMap* utf16 = globalParams->getUnicodeMap("UTF-16");
        QVERIFY(ascii && utf16);
        const std::vector<PageReader::Line> prose{line(100, 100, "Caf\xC3\xA9 x\xE4\xB8\xADy"),
                                                  line(100, 140, "two"), line(100, 180, "three", true)};
        const auto page = [](const UnicodeMap& map, EndOfLineKind eol, bool breaks, bool layout,
                             const std::vector<PageReader::Line>& lines) {
            return testsupport::bytes(RecognizedText(map, eol, breaks, layout).page(lines));
        };
        QCOMPARE(page(*ascii, eolDOS, true, false, prose),
                 QByteArray("Cafe xy\r\ntwo\r\n\r\nthree\r\n\r\n\f"));
        QCOMPARE(page(*utf16, eolUnix, false, false, {line(0, 0, "a")}), QByteArray("\0a\0\n\0\n", 6));
        // Two columns on shared rows, an indented line, a wide gap.
        const std::vector<PageReader::Line> columns{line(0, 0, "left one"),   line(200, 0, "right one"),
                                                    line(0, 40, "left two"),  line(200, 42, "right two"),
                                                    line(40, 80, "indented"), line(0, 240, "after gap")};
        QCOMPARE(page(*ascii, eolUnix, false, true, columns), QByteArray("left one            right one\n"
                                                                         "left two            right two\n"
                                                                         "    indented\n"
                                                                         "\n\n\n"
                                                                         "after gap\n"));
        // The page's left margin is no indentation, as the engine's text starts at its leftmost.
        std::vector<PageReader::Line> inset = columns;
        for (PageReader::Line& each : inset) {
            each.left += 300;
            each.right += 300;
        }
        QCOMPARE(page(*ascii, eolUnix, false, true, inset), page(*ascii, eolUnix, false, true, columns));
        QCOMPARE(page(*ascii, eolUnix, true, true, {}), QByteArray("\f"));
        globalParams.reset();
    }
};

QTEST_MAIN(TestScannedPages)
#include "tst_scannedpages.moc"
