#include "ConversionFixture.h"
#include "StructuredPdf.h"
#include "TestSupport.h"
#include "core/CMapConfig.h"
#include "engine/Engine.h"
#include "engine/MarkdownPass.h"
#include "engine/PageAnalysis.h"

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using markdown::Block;
using Kind = markdown::Block::Kind;

namespace {

std::string textOf(const markdown::Spans& spans) {
    std::string text;
    for (const markdown::Span& span : spans)
        text += span.text;
    return text;
}

// Words in a row from x on at size points, each character 0.5 em wide.
PageLayout::Line line(int block, double x, double top, const std::string& text, double size = 10,
                      bool bold = false, bool monospaced = false) {
    PageLayout::Line result;
    result.block = block;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        PageLayout::Word word;
        word.text = text.substr(at, end - at);
        word.left = x;
        word.right = x + 0.5 * size * static_cast<double>(word.text.size());
        word.top = top;
        word.bottom = top + size;
        word.size = size;
        word.bold = bold;
        word.monospaced = monospaced;
        word.spaceAfter = end < text.size();
        x = word.right + 0.5 * size;
        result.words.push_back(word);
        at = end + 1;
    }
    return result;
}

PageLayout layoutOf(std::vector<PageLayout::Line> lines) {
    PageLayout layout;
    layout.width = 400;
    layout.height = 600;
    layout.lines = std::move(lines);
    return layout;
}

// The HTML cmark renders from markdown.
QByteArray rendered(const QByteArray& markdown) {
    QProcess cmark;
    cmark.start(QStringLiteral("cmark"), QStringList{});
    cmark.write(markdown);
    cmark.closeWriteChannel();
    if (!cmark.waitForFinished(60000) || cmark.exitCode() != 0)
        qFatal("cmark is missing or failed");
    return cmark.readAllStandardOutput();
}

ConvertOptions markdownOptions(const char* encoding, int endOfLine) {
    ConvertOptions options = ConvertOptions::defaults();
    options.outputMode = option::markdownFile;
    options.htmlMeta = option::yes;
    options.textEncoding = CMapConfig::encodingIndex(encoding);
    options.endOfLine = endOfLine;
    return options;
}

DocumentStyle bodyStyle() {
    DocumentStyle style;
    style.bodySize = 10;
    style.headingSizes = {18, 14};
    return style;
}

} // namespace

class TestMarkdownPages : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

    // Every page's blocks in order, as the analysis finds them.
    std::vector<Block> analyse(const QString& pdf) {
        const auto lock = std::make_unique<std::unique_lock<std::mutex>>(engine::lock());
        std::unique_ptr<PDFDoc> document = engine::openDocument(testsupport::path(pdf));
        lock->unlock();
        const int pages = document->getNumPages();
        std::vector<Block> blocks;
        {
            MarkdownPass pass(*document, 1, pages, true);
            const DocumentStyle style = pass.documentStyle();
            for (int page = 1; page <= pages; ++page) {
                const PageAnalysis::Context context{style, page,
                                                    page > 1 ? &pass.shown(page - 1).layout : nullptr,
                                                    page < pages ? &pass.shown(page + 1).layout : nullptr};
                const markdown::Page found = PageAnalysis::page(pass.shown(page).layout, context);
                blocks.insert(blocks.end(), found.blocks.begin(), found.blocks.end());
            }
        }
        lock->lock();
        document.reset();
        return blocks;
    }

    static std::vector<std::string> texts(const std::vector<Block>& blocks, Kind kind) {
        std::vector<std::string> result;
        for (const Block& block : blocks)
            if (block.kind == kind)
                result.push_back(textOf(block.spans));
        return result;
    }

private Q_SLOTS:
    void initTestCase() {
        testsupport::failOnUnexpectedWarnings();
        globalParams = std::make_unique<GlobalParams>();
    }

    void manualComesBackAsItsSource_data() {
        QTest::addColumn<bool>("outline");
        QTest::newRow("headings from the outline") << true;
        QTest::newRow("headings from the fonts") << false;
    }
    void manualComesBackAsItsSource() {
        QFETCH(bool, outline);
        const QString pdf =
            folder.filePath(outline ? QStringLiteral("outline.pdf") : QStringLiteral("fonts.pdf"));
        QString error;
        QVERIFY2(fixtures::writeManualPdf(pdf, outline, &error), qPrintable(error));
        const std::vector<Block> blocks = analyse(pdf);

        std::vector<std::pair<std::string, int>> headings;
        for (const Block& block : blocks)
            if (block.kind == Kind::Heading)
                headings.emplace_back(textOf(block.spans), block.level);
        const std::vector<std::pair<std::string, int>> expectedHeadings{
            {"Getting Started", 1},    {"Installing", 2}, {"Commands", 2},
            {"After the commands", 3}, {"Reference", 1},  {"Two Columns", 1}};
        QCOMPARE(headings, expectedHeadings);

        // Paragraphs whole, the broken word joined, two columns read one after the other, and
        // no running head or page number anywhere.
        const std::vector<std::string> expectedParagraphs{
            "Folverin turns documents into text. This paragraph is long enough to wrap over several lines so "
            "that the lines have to be joined into one paragraph again.",
            "The converter reads every page and joins words that were split at the end of a line, for "
            "example "
            "the word example in this sentence.",
            "Before you start, check these points:",
            "A closing paragraph for the first chapter.",
            "Alpha column text begins here and runs on for a while so that it fills the first column with "
            "several lines of ordinary prose.",
            "Beta paragraph still in the first column, with more words to make the column longer than a few "
            "lines in total.",
            "Gamma paragraph that should land in the second column after the first has filled up with the "
            "text "
            "before it.",
            "Delta paragraph closes the second column and the document with a final sentence."};
        QCOMPARE(texts(blocks, Kind::Paragraph), expectedParagraphs);

        std::vector<std::tuple<int, std::string, std::string>> items;
        for (const Block& block : blocks)
            if (block.kind == Kind::ListItem)
                items.emplace_back(block.level, block.number, textOf(block.spans));
        const std::vector<std::tuple<int, std::string, std::string>> expectedItems{
            {0, "",
             "A supported system with enough memory for large documents and a second line of item text."},
            {0, "", "The engine library"},
            {1, "", "Nested first point"},
            {1, "", "Nested second point"},
            {0, "", "Read the online documentation and skip this script."},
            {0, "1", "Download the package."},
            {0, "2", "Run the installer."}};
        QCOMPARE(items, expectedItems);
        // Only the web link is a link; the script's stays text.
        markdown::Spans linked;
        for (const Block& block : blocks)
            for (const markdown::Span& span : block.spans)
                if (!span.target.empty())
                    linked.push_back(span);
        QCOMPARE(linked, (markdown::Spans{{"online documentation", "https://example.org/docs"}}));

        std::vector<std::vector<std::string>> code;
        std::vector<std::vector<std::vector<std::string>>> tables;
        for (const Block& block : blocks) {
            if (block.kind == Kind::Code)
                code.push_back(block.codeLines);
            if (block.kind == Kind::Table) {
                tables.emplace_back();
                for (const auto& row : block.rows) {
                    tables.back().emplace_back();
                    for (const markdown::Spans& cell : row)
                        tables.back().back().push_back(textOf(cell));
                }
            }
        }
        QCOMPARE(code,
                 (std::vector<std::vector<std::string>>{{"folverin-cli --markdown input.pdf", "if (ready) {",
                                                         "    convert(page);   // keep spaces", "}"}}));
        const std::vector<std::vector<std::vector<std::string>>> expectedTables{
            {{"Option", "Meaning"},
             {"--text", "Plain text output"},
             {"--html", "Simple HTML page"},
             {"--markdown", "Markdown document"}},
            {{"Size", "Pages", "Seconds"},
             {"Small", "12", "0.4"},
             {"Medium", "200", "3.1"},
             {"Large", "1500", "22.8"}}};
        QCOMPARE(tables, expectedTables);
        QCOMPARE(blocks.size(), headings.size() + expectedParagraphs.size() + items.size() + 3);
    }

    // The manual as a job writes it: the document's information as front matter, Markdown that
    // cmark renders as the source's structure, nothing of the running head or the page
    // numbers, a page break after each page. In Latin1 with DOS line ends the same, but for the
    // line ends.
    void manualConvertsToMarkdownThatRendersAsItsSource() {
        ConversionFixture conversion;
        const QString pdf = conversion.path(QStringLiteral("manual.pdf"));
        QString error;
        QVERIFY2(fixtures::writeManualPdf(pdf, true, &error), qPrintable(error));
        const QByteArray markdown = conversion.convertedText(pdf, markdownOptions("UTF-8", 1));
        const QByteArray head = "---\ntitle: \"Fixture Manual\"\nauthor: \"Ada Example\"\n";
        QVERIFY2(markdown.startsWith(head), markdown.left(200).constData());
        QCOMPARE(markdown.count('\f'), 4);
        QVERIFY(!markdown.contains("running head"));
        const QByteArray html = rendered(markdown.mid(markdown.indexOf("# Getting Started")));
        for (const char* expected :
             {"<h1>Getting Started</h1>", "<h2>Installing</h2>", "<h2>Commands</h2>",
              "<h3>After the commands</h3>", "<h1>Reference</h1>", "<h1>Two Columns</h1>",
              "for example the word example in this sentence.</p>", "<p>Nested first point</p>", "<ol>",
              "<a href=\"https://example.org/docs\">online documentation</a> and skip this script.",
              "<pre><code>folverin-cli --markdown input.pdf\nif (ready) {\n    convert(page);   // keep "
              "spaces\n}\n"
              "</code></pre>"})
            QVERIFY2(html.contains(expected), expected);
        QVERIFY(html.indexOf("<ul>\n<li>\n<p>Nested first point") > html.indexOf("The engine library"));
        QVERIFY(html.indexOf("Alpha column") < html.indexOf("Beta paragraph") &&
                html.indexOf("Beta paragraph") < html.indexOf("Gamma paragraph"));
        QVERIFY(!html.contains("javascript"));
        QVERIFY(!QString::fromUtf8(html).contains(QRegularExpression(QStringLiteral("<p>\\d+</p>"))));
        // Table rows as pipe rows, the cells' text as printed once escapes are taken out.
        const QByteArray unescaped = QByteArray(markdown).replace("\\", "");
        QVERIFY(unescaped.contains("| --markdown | Markdown document |\n"));
        QVERIFY(unescaped.contains("| Large | 1500 | 22.8 |\n"));

        QCOMPARE(conversion.convertedText(pdf, markdownOptions("Latin1", 0)),
                 QByteArray(markdown).replace("\n", "\r\n"));
    }

    // Paragraphs that run on over a page end come out whole, the page break after them.
    void paragraphsOverPageEndsComeOutWhole() {
        ConversionFixture conversion;
        const QString pdf = conversion.path(QStringLiteral("long.pdf"));
        QString error;
        QVERIFY2(fixtures::writeLongManualPdf(pdf, 4, &error), qPrintable(error));
        int pagesStartingInAParagraph = 0;
        for (const QByteArray& page : ConversionFixture::pdftotext(pdf, {}).split('\f')) {
            const QList<QByteArray> lines = page.trimmed().split('\n');
            pagesStartingInAParagraph +=
                lines.size() > 2 && std::islower(static_cast<unsigned char>(lines[2].front()));
        }
        QVERIFY(pagesStartingInAParagraph > 0);
        const QByteArray markdown = conversion.convertedText(pdf, markdownOptions("UTF-8", 1));
        const QRegularExpression whole(
            QStringLiteral("^Paragraph \\d of chapter \\d tells[^\\n\\f]* finds\\.$"),
            QRegularExpression::MultilineOption);
        QCOMPARE(QString::fromUtf8(markdown).count(whole), 24);
    }

    // Running heads repeat with other numbers on the neighbouring pages; a lone number is a
    // page number; a line at the edge that is not repeated is the page's own.
    void edgesRepeatedOnNeighboursAreLeftOut() {
        const PageLayout previous =
            layoutOf({line(0, 50, 20, "Chapter 3 Setup"), line(1, 50, 80, "Earlier text.")});
        const PageLayout next =
            layoutOf({line(0, 50, 20, "Chapter 3 Setup"), line(1, 50, 80, "Later text.")});
        const PageLayout page = layoutOf(
            {line(0, 50, 20, "Chapter 4 Setup"), line(1, 50, 80, "Body text."), line(2, 200, 570, "17")});
        const DocumentStyle style = bodyStyle();
        const markdown::Page found = PageAnalysis::page(page, {style, 5, &previous, &next});
        QCOMPARE(found.blocks.size(), std::size_t{1});
        QCOMPARE(textOf(found.blocks.front().spans), std::string("Body text."));
        const markdown::Page alone = PageAnalysis::page(page, {style, 5, nullptr, nullptr});
        QCOMPARE(texts(alone.blocks, Kind::Paragraph),
                 (std::vector<std::string>{"Chapter 4 Setup", "Body text."}));
    }

    // Line ends: a hyphen between lowercase parts goes, one before a capital stays without a
    // space, a dash standing alone keeps its spaces; a line short of the block's right edge
    // where the next word would have fitted ends its paragraph.
    void linesJoinIntoParagraphs() {
        const PageLayout page =
            layoutOf({line(0, 50, 100, "the word in the exam-"), line(0, 50, 112, "ple and so an Anglo-"),
                      line(0, 50, 124, "Saxon then more text –"), line(0, 50, 136, "and on."),
                      line(0, 50, 148, "New words here at the"), line(0, 50, 160, "end.")});
        const DocumentStyle style = bodyStyle();
        const markdown::Page found = PageAnalysis::page(page, {style, 1, nullptr, nullptr});
        QCOMPARE(texts(found.blocks, Kind::Paragraph),
                 (std::vector<std::string>{
                     "the word in the example and so an Anglo-Saxon then more text – and on.",
                     "New words here at the end."}));
    }

    // The engine may cut a paragraph into blocks (a word in another font moves its cut): a full
    // line that ends no sentence goes on into the block right below it; a sentence's end does not.
    void paragraphsCutIntoBlocksComeOutWhole() {
        const PageLayout page = layoutOf({line(0, 50, 100, "aaaa bbbb cccc dddd eeee"),
                                          line(1, 50, 112, "ffff gggg hhhh iiii jjjj"),
                                          line(1, 50, 124, "end."), line(2, 50, 136, "New paragraph here.")});
        const markdown::Page found = PageAnalysis::page(page, {bodyStyle(), 1, nullptr, nullptr});
        QCOMPARE(texts(found.blocks, Kind::Paragraph),
                 (std::vector<std::string>{"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj end.",
                                           "New paragraph here."}));
    }

    // A bullet the engine read apart from its text, after it, still marks that text.
    void bulletsSetApartMarkTheirLines() {
        PageLayout page = layoutOf({line(0, 62, 100, "A standard way to install."), line(1, 45, 100, "•"),
                                    line(2, 62, 112, "A standard way to look."), line(3, 45, 112, "•")});
        page.attachLoneBullets();
        const markdown::Page found = PageAnalysis::page(page, {bodyStyle(), 1, nullptr, nullptr});
        QCOMPARE(texts(found.blocks, Kind::ListItem),
                 (std::vector<std::string>{"A standard way to install.", "A standard way to look."}));
        QCOMPARE(texts(found.blocks, Kind::Paragraph), std::vector<std::string>{});
    }

    // A paragraph left open at a page's end runs on into the next page's first paragraph;
    // one ended by a full stop, a page of a single carried block, or a heading next does not.
    void paragraphsRunOnAcrossPages() {
        auto pageOf = [](std::vector<Block> blocks) { return markdown::Page{std::move(blocks)}; };
        auto paragraph = [](const std::string& text) {
            Block block;
            block.spans = {{text, {}}};
            return block;
        };
        Block heading = paragraph("Next");
        heading.kind = Kind::Heading;
        heading.level = 1;
        markdown::Page open = pageOf({paragraph("Intro."), paragraph("runs on")});
        markdown::Page next = pageOf({paragraph("to here."), paragraph("More.")});
        PageAnalysis::joinAcross(open, next);
        QVERIFY(open.blocks.back().continuesNext && next.blocks.front().continuesPrevious);

        for (markdown::Page before :
             {pageOf({paragraph("Intro."), paragraph("ends.")}), pageOf({paragraph("runs on")})}) {
            markdown::Page after = pageOf({paragraph("to here.")});
            PageAnalysis::joinAcross(before, after);
            QVERIFY(!before.blocks.back().continuesNext && !after.blocks.front().continuesPrevious);
        }
        markdown::Page before = pageOf({paragraph("Intro."), paragraph("runs on")});
        markdown::Page headed = pageOf({heading});
        PageAnalysis::joinAcross(before, headed);
        QVERIFY(!before.blocks.back().continuesNext);
    }

    // A read scan: the reader's paragraphs, its list items and a tall lone line as a heading.
    void recognizedLinesMakeParagraphsListsAndHeadings() {
        auto read = [](int top, int height, const std::string& text, bool starts) {
            return PageReader::Line{100, top, 900, top + height, text, starts};
        };
        const markdown::Page page = PageAnalysis::recognized(
            {read(100, 80, "Scanned Title", true), read(250, 40, "First para-", true),
             read(300, 40, "graph here.", false), read(400, 40, "• An item", true),
             read(450, 40, "2) Second item", false), read(500, 40, "Last words.", true)});
        std::vector<std::pair<Kind, std::string>> found;
        for (const Block& block : page.blocks)
            found.emplace_back(block.kind, block.number + ":" + textOf(block.spans));
        const std::vector<std::pair<Kind, std::string>> expected{{Kind::Heading, ":Scanned Title"},
                                                                 {Kind::Paragraph, ":First paragraph here."},
                                                                 {Kind::ListItem, ":An item"},
                                                                 {Kind::ListItem, "2:Second item"},
                                                                 {Kind::Paragraph, ":Last words."}};
        QCOMPARE(found, expected);
    }
};

QTEST_GUILESS_MAIN(TestMarkdownPages)
#include "tst_markdownpages.moc"
