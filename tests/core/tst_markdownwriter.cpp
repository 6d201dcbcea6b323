#include "TestSupport.h"
#include "core/MarkdownWriter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using markdown::Block;
using markdown::DocumentInfo;
using markdown::Page;
using markdown::Span;
using markdown::Spans;
using testsupport::bytes;

Q_DECLARE_METATYPE(markdown::Page)

namespace {

Span text(const std::string& words) {
    return Span{words, {}};
}

Span linked(const std::string& words, const std::string& target) {
    return Span{words, target};
}

Block heading(int level, const std::string& words) {
    Block block;
    block.kind = Block::Kind::Heading;
    block.level = level;
    block.spans = {text(words)};
    return block;
}

Block paragraph(const Spans& spans) {
    Block block;
    block.spans = spans;
    return block;
}

Block item(int level, const std::string& number, const std::string& words) {
    Block block;
    block.kind = Block::Kind::ListItem;
    block.level = level;
    block.number = number;
    block.spans = {text(words)};
    return block;
}

Block code(const std::vector<std::string>& lines) {
    Block block;
    block.kind = Block::Kind::Code;
    block.codeLines = lines;
    return block;
}

Block table(const std::vector<std::vector<Spans>>& rows) {
    Block block;
    block.kind = Block::Kind::Table;
    block.rows = rows;
    return block;
}

Block runningOn(Block block) {
    block.continuesNext = true;
    return block;
}

Block carriedOver(Block block) {
    block.continuesPrevious = true;
    return block;
}

// What a CommonMark renderer makes of markdown, raw HTML let through so any that the writer
// let slip shows as a tag.
QByteArray rendered(const std::string& markdown) {
    QProcess cmark;
    cmark.start(QStringLiteral("cmark"), {QStringLiteral("--unsafe")});
    if (!cmark.waitForStarted())
        return "cmark did not start: " + cmark.errorString().toUtf8();
    cmark.write(bytes(markdown));
    cmark.closeWriteChannel();
    cmark.waitForFinished();
    return cmark.readAllStandardOutput();
}

QByteArrayList openingTags(const QByteArray& html) {
    QByteArrayList tags;
    static const QRegularExpression tag(QStringLiteral("<[a-z][^>]*>"));
    for (const auto& match : tag.globalMatch(QString::fromUtf8(html)))
        tags.append(match.captured().toUtf8());
    return tags;
}

// The words a reader sees: tags gone, entities read, runs of white space as one space.
QByteArray visibleText(const QByteArray& html) {
    QString text = QString::fromUtf8(html);
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text.simplified().toUtf8();
}

} // namespace

class TestMarkdownWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void pdfTextShowsAsItsWordsInEveryPlace_data() {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<QByteArray>("shown"); // empty: the words themselves
        QTest::newRow("script") << QByteArray("<script>alert(1)</script> <b>bold</b>") << QByteArray();
        QTest::newRow("comment and autolink")
            << QByteArray("<!-- x --> <http://a.example> <x@y.z>") << QByteArray();
        QTest::newRow("link and image")
            << QByteArray("[x](javascript:alert(1)) ![i](http://a/i.png) [r]") << QByteArray();
        QTest::newRow("reference") << QByteArray("[foo]: http://a.example") << QByteArray();
        QTest::newRow("emphasis") << QByteArray("*a* _b_ **c** __d__ ~~e~~ snake_case_name") << QByteArray();
        QTest::newRow("code spans") << QByteArray("`x` ``y`` ```") << QByteArray();
        QTest::newRow("entities") << QByteArray("&amp; &#60; &#x3C; &copy; AT&T") << QByteArray();
        QTest::newRow("backslashes") << QByteArray("\\*a\\* c:\\dir\\ end\\") << QByteArray();
        QTest::newRow("heading") << QByteArray("# h ## C# closes #") << QByteArray();
        QTest::newRow("ordered") << QByteArray("1. one") << QByteArray();
        QTest::newRow("ordered paren") << QByteArray("12) twelve") << QByteArray();
        QTest::newRow("bullet") << QByteArray("- a") << QByteArray();
        QTest::newRow("plus") << QByteArray("+ a") << QByteArray();
        QTest::newRow("rule") << QByteArray("***") << QByteArray();
        QTest::newRow("dashes") << QByteArray("---") << QByteArray();
        QTest::newRow("underscores") << QByteArray("___") << QByteArray();
        QTest::newRow("setext") << QByteArray("===") << QByteArray();
        QTest::newRow("quote") << QByteArray("> quoted") << QByteArray();
        QTest::newRow("fence") << QByteArray("~~~ tilde") << QByteArray();
        QTest::newRow("pipes") << QByteArray("a | b || c") << QByteArray();
        QTest::newRow("indented") << QByteArray("        code?  ") << QByteArray("code?");
        QTest::newRow("controls") << QByteArray("a\x01"
                                                "b\x7f"
                                                "c\td\ne\r\nf")
                                  << QByteArray("abc d e f");
        QTest::newRow("ligatures and soft hyphen") << QByteArray("o\xef\xac\x83"
                                                                 "ce \xef\xac\x80 soft\xc2\xadware")
                                                   << QByteArray("office ff software");
        QTest::newRow("broken UTF-8") << QByteArray("a\xff"
                                                    "b")
                                      << QByteArray("a\xef\xbf\xbd"
                                                    "b");
    }

    // The same words as a heading, a paragraph, a list item, a link's text and a table cell:
    // the renderer makes exactly the tags the page asks for and shows exactly the words.
    void pdfTextShowsAsItsWordsInEveryPlace() {
        QFETCH(QByteArray, words);
        QFETCH(QByteArray, shown);
        const std::string pdf = words.toStdString();
        Page page;
        page.blocks = {
            heading(2, pdf), paragraph({text(pdf)}), item(0, {}, pdf),
            paragraph({text(pdf), text(" "), linked(pdf, "http://a.example/"), text(" "), text(pdf)}),
            table({{{text(pdf)}}})};
        const QByteArray html = rendered(MarkdownWriter::page(page, nullptr));
        QCOMPARE(openingTags(html), QByteArrayList({"<h2>", "<p>", "<ul>", "<li>", "<p>",
                                                    "<a href=\"http://a.example/\">", "<p>"}));
        const QByteArray seen = QString::fromUtf8(shown.isEmpty() ? words : shown).simplified().toUtf8();
        QCOMPARE(visibleText(html),
                 QByteArrayList({seen, seen, seen, seen, seen, seen, "| " + seen + " | | --- |"}).join(' '));
    }

    void structureIsWrittenAsMarkdownShowsIt_data() {
        QTest::addColumn<Page>("page");
        QTest::addColumn<QByteArray>("markdown");
        QTest::addColumn<QByteArray>("html");

        QTest::newRow("headings, levels kept within one to six")
            << Page{{heading(1, "One"), heading(6, "Six"), heading(9, "Deep"), heading(0, "Top")}}
            << QByteArray("# One\n\n###### Six\n\n###### Deep\n\n# Top\n\n")
            << QByteArray("<h1>One</h1>\n<h6>Six</h6>\n<h6>Deep</h6>\n<h1>Top</h1>\n");

        // Each item is indented to its parent's text, whatever the width of its marker; a
        // level deeper than any open item nests one step; a lettered item keeps its letter.
        QTest::newRow("nested lists")
            << Page{{item(0, {}, "a"), item(1, "1", "b"), item(2, "b", "c"), item(0, "10", "d"),
                     item(3, {}, "e"), item(1, "iv)", "f")}}
            << QByteArray("- a\n\n  1. b\n\n     - b. c\n\n10. d\n\n    - e\n\n    - iv) f\n\n")
            << QByteArray("<ul>\n<li>\n<p>a</p>\n<ol>\n<li>\n<p>b</p>\n<ul>\n<li>b. c</li>\n</ul>\n</li>\n"
                          "</ol>\n</li>\n</ul>\n<ol start=\"10\">\n<li>\n<p>d</p>\n<ul>\n<li>\n<p>e</p>\n"
                          "</li>\n<li>\n<p>iv) f</p>\n</li>\n</ul>\n</li>\n</ol>\n");

        // A paragraph ends the list; a nested item after it starts from the outermost level.
        QTest::newRow("list ended by a paragraph")
            << Page{{item(0, {}, "a"), paragraph({text("p")}), item(1, {}, "b")}}
            << QByteArray("- a\n\np\n\n- b\n\n")
            << QByteArray("<ul>\n<li>a</li>\n</ul>\n<p>p</p>\n<ul>\n<li>b</li>\n</ul>\n");

        QTest::newRow("code keeps its spaces and outlasts its backticks")
            << Page{{code({"  if (a)", "", "\treturn `x` + ```y```;\x01", "two\nlines"})}}
            << QByteArray("````\n  if (a)\n\n\treturn `x` + ```y```;\ntwo\nlines\n````\n\n")
            << QByteArray("<pre><code>  if (a)\n\n\treturn `x` + ```y```;\ntwo\nlines\n</code></pre>\n");

        QTest::newRow("table rows padded, pipes escaped, links in cells")
            << Page{{table({{{text("Name")}, {text("a|b")}},
                            {{text("x")}},
                            {{text("y\nz")}, {linked("site", "https://a.example/")}, {text("extra")}}})}}
            << QByteArray("| Name | a\\|b |  |\n| --- | --- | --- |\n| x |  |  |\n"
                          "| y z | [site](https://a.example/) | extra |\n\n")
            << QByteArray("<p>| Name | a|b |  |\n| --- | --- | --- |\n| x |  |  |\n"
                          "| y z | <a href=\"https://a.example/\">site</a> | extra |</p>\n");

        QTest::newRow("links for http, https and mailto only")
            << Page{{paragraph(
                   {linked("a", "HTTP://a.example/x y(1)<2>"), text(" "), linked("m", "mailto:x@a.example"),
                    text(" see!"), linked("b", "https://a.example/\\`"), linked("c", "javascript:alert(1)"),
                    linked("d", "file:///etc/passwd"), linked("e", "/relative"), linked("", "http://empty/"),
                    text(" snake"), linked("_case", "http://a.example/?x=1&amp;y=2")})}}
            << QByteArray(
                   "[a](HTTP://a.example/x%20y%281%29%3C2%3E) [m](mailto:x@a.example) see\\!"
                   "[b](https://a.example/%5C%60)cde snake[\\_case](http://a.example/?x=1\\&amp;y=2)\n\n")
            << QByteArray(
                   "<p><a href=\"HTTP://a.example/x%20y%281%29%3C2%3E\">a</a> "
                   "<a href=\"mailto:x@a.example\">m</a> see!<a href=\"https://a.example/%5C%60\">b</a>"
                   "cde snake<a href=\"http://a.example/?x=1&amp;y=2\">_case</a></p>\n");

        QTest::newRow("blocks without text left out")
            << Page{{paragraph({text("  ")}), heading(1, "\x01"), item(0, {}, ""), code({}), table({}),
                     paragraph({text("kept")})}}
            << QByteArray("kept\n\n") << QByteArray("<p>kept</p>\n");
    }

    void structureIsWrittenAsMarkdownShowsIt() {
        QFETCH(Page, page);
        QFETCH(QByteArray, markdown);
        QFETCH(QByteArray, html);
        const std::string written = MarkdownWriter::page(page, nullptr);
        QCOMPARE(bytes(written), markdown);
        QCOMPARE(rendered(written), html);
    }

    void paragraphRunsOnAcrossTheBreak_data() {
        QTest::addColumn<QByteArray>("end");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("joined");
        QTest::newRow("broken word") << QByteArray("an exam-") << QByteArray("ple of")
                                     << QByteArray("an example of");
        QTest::newRow("broken word, spaces around")
            << QByteArray("an exam-  ") << QByteArray("  ple") << QByteArray("an example");
        QTest::newRow("broken word beyond ASCII") << QByteArray("die Stra\xc3\x9f"
                                                                "e-")
                                                  << QByteArray("\xc3\xbc"
                                                                "ber")
                                                  << QByteArray("die Stra\xc3\x9f"
                                                                "e\xc3\xbc"
                                                                "ber");
        QTest::newRow("soft hyphen") << QByteArray("soft\xc2\xad") << QByteArray("ware")
                                     << QByteArray("software");
        QTest::newRow("name after a hyphen")
            << QByteArray("Anti-") << QByteArray("Virus") << QByteArray("Anti- Virus");
        QTest::newRow("dash") << QByteArray("this -") << QByteArray("that") << QByteArray("this - that");
        QTest::newRow("number after a hyphen")
            << QByteArray("pages 3-") << QByteArray("4") << QByteArray("pages 3- 4");
        QTest::newRow("sentence") << QByteArray("ends.") << QByteArray("Next") << QByteArray("ends. Next");
    }

    // The page with the paragraph's start writes it whole; the next page leaves its end out.
    void paragraphRunsOnAcrossTheBreak() {
        QFETCH(QByteArray, end);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, joined);
        const Block rest = carriedOver(paragraph({text(start.toStdString())}));
        const Page first{{heading(1, "H"), runningOn(paragraph({text(end.toStdString())}))}};
        const Page second{{rest, paragraph({text("After.")})}};
        QCOMPARE(bytes(MarkdownWriter::page(first, &rest)), "# H\n\n" + joined + "\n\n");
        QCOMPARE(bytes(MarkdownWriter::page(second, nullptr)), QByteArray("After.\n\n"));
    }

    void runningOnKeepsEveryWord() {
        // A list item runs on; a link at the join keeps its text apart from the space.
        const Block itemRest =
            carriedOver(paragraph({linked("rest", "http://a.example/"), text(" of item")}));
        const Page withItem{{runningOn(item(0, "1", "first part"))}};
        QCOMPARE(bytes(MarkdownWriter::page(withItem, &itemRest)),
                 QByteArray("1. first part [rest](http://a.example/) of item\n\n"));

        // Without the next page's block the start is written as it is.
        QCOMPARE(bytes(MarkdownWriter::page(withItem, nullptr)), QByteArray("1. first part\n\n"));

        // A page that holds only the middle of a paragraph: the page before wrote the middle,
        // so this one writes the start of the page after, which that page leaves out.
        const Block middle = runningOn(carriedOver(paragraph({text("middle")})));
        const Block end = carriedOver(paragraph({text("end")}));
        QCOMPARE(bytes(MarkdownWriter::page(Page{{runningOn(paragraph({text("start")}))}}, &middle)),
                 QByteArray("start middle\n\n"));
        QCOMPARE(bytes(MarkdownWriter::page(Page{{middle}}, &end)), QByteArray("end\n\n"));
        QCOMPARE(bytes(MarkdownWriter::page(Page{{end}}, nullptr)), QByteArray());
    }

    void frontMatterQuotesEveryValue_data() {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArray>("yaml");
        QTest::newRow("quotes and backslashes")
            << QByteArray("A \"B\" C:\\dir\\") << QByteArray("\"A \\\"B\\\" C:\\\\dir\\\\\"");
        QTest::newRow("line breaks and controls") << QByteArray("one\ntwo\r\tthree\x01\x1b\x7f")
                                                  << QByteArray("\"one\\ntwo\\r\\tthree\\x01\\x1B\\x7F\"");
        QTest::newRow("separators, C1 controls and broken UTF-8")
            << QByteArray("a\xe2\x80\xa8"
                          "b\xc2\x85"
                          "c\xff")
            << QByteArray("\"a\\u2028b\\x85c\xef\xbf\xbd\"");
        QTest::newRow("markup") << QByteArray("<script>x</script> [a](javascript:b)")
                                << QByteArray("\"\\x3Cscript>x\\x3C/script> \\x5Ba](javascript:b)\"");
        QTest::newRow("YAML syntax stays inside the quotes")
            << QByteArray("---\nkey: value # not a comment")
            << QByteArray("\"---\\nkey: value # not a comment\"");
        QTest::newRow("spaces around trimmed, ligatures as letters")
            << QByteArray("  \xef\xac\x81le  ") << QByteArray("\"file\"");
    }

    void frontMatterQuotesEveryValue() {
        QFETCH(QByteArray, title);
        QFETCH(QByteArray, yaml);
        DocumentInfo info;
        info.title = title.toStdString();
        info.modified = "2024-05-01T10:00:00+02:00";
        const std::string written = MarkdownWriter::frontMatter(info);
        QCOMPARE(bytes(written),
                 "---\ntitle: " + yaml + "\nmodified: \"2024-05-01T10:00:00+02:00\"\n---\n\n");
        // A renderer that knows no front matter sees a rule and a heading, never HTML or a link.
        const QByteArrayList tags = openingTags(rendered(written));
        QVERIFY2(tags == QByteArrayList({"<hr />", "<h2>"}), tags.join(' ').constData());
    }

    void frontMatterHoldsTheFieldsThatHaveValues() {
        QCOMPARE(bytes(MarkdownWriter::frontMatter(DocumentInfo{})), QByteArray());
        QCOMPARE(bytes(MarkdownWriter::frontMatter(DocumentInfo{" ", "\t", "", "", "", ""})), QByteArray());
        const DocumentInfo all{"T", "A", "S", "K", "C", "M"};
        QCOMPARE(
            bytes(MarkdownWriter::frontMatter(all)),
            QByteArray("---\ntitle: \"T\"\nauthor: \"A\"\nsubject: \"S\"\nkeywords: \"K\"\ncreated: \"C\"\n"
                       "modified: \"M\"\n---\n\n"));
    }
};

QTEST_GUILESS_MAIN(TestMarkdownWriter)
#include "tst_markdownwriter.moc"
