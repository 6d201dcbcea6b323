#include "ConversionFixture.h"
#include "FixturePdf.h"
#include "TestSupport.h"
#include "core/FileFacts.h"
#include "core/SummaryReport.h"

#include <QFile>
#include <QTest>
#include <memory>

using Style = SummaryLine::Style;
using testsupport::bytes;

class TestSummaryReport : public QObject {
    Q_OBJECT

    std::unique_ptr<ConversionFixture> fixture;

    QString rawPdf(const QString& name, const fixtures::RawPdf& pdf) {
        const QString path = fixture->path(name);
        if (!fixtures::writeRawPdf(path, pdf))
            qFatal("fixture %s", qPrintable(name));
        return path;
    }

    static SummaryReport build(const QString& path) { return SummaryReport::build(path.toStdString()); }

    static QStringList texts(const SummaryReport& report) {
        QStringList result;
        for (const SummaryLine& line : report.lines)
            result.append(QString::fromStdString(line.text));
        return result;
    }

private Q_SLOTS:
    void initTestCase() { fixture = std::make_unique<ConversionFixture>(); }
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void reportOfAFullyAllowedDocument() {
        fixtures::RawPdf pdf;
        pdf.pageTexts = {"a", "b", "c"};
        pdf.left = 10; // the size is the box's extent, not its corner
        pdf.width = 612;
        const QString path = rawPdf(QStringLiteral("plain.pdf"), pdf);
        const SummaryReport report = build(path);
        QVERIFY(report.documentValid);
        QCOMPARE(report.pageCount, 3);
        const quint64 size = static_cast<quint64>(QFileInfo(path).size());
        const QStringList lines = texts(report);
        QCOMPARE(lines.size(), 15);
        QCOMPARE(lines[0], QFileInfo(path).canonicalFilePath() + QLatin1Char('\n'));
        QCOMPARE(lines.mid(1, 2),
                 (QStringList{QStringLiteral("Summary:\n"),
                              QStringLiteral("\tFile Size: %1 KB (%2 Bytes)\n")
                                  .arg(QString::fromStdString(FileFacts::groupThousands(size / 1024)),
                                       QString::fromStdString(FileFacts::groupThousands(size)))}));
        QVERIFY(lines[3].startsWith(QStringLiteral("\tCreation Time: ")));
        QCOMPARE(
            lines.mid(4),
            (QStringList{
                QStringLiteral("PDF Description:\n"), QStringLiteral("\tPDF Version: 1.4 (Acrobat 5.x) \n"),
                QStringLiteral("\tPage Size: 816 x 1056 Pixel\n"), QStringLiteral("\tNumber of Pages: 3\n"),
                QStringLiteral("\tPages without text: 0\n"),
                QStringLiteral("\tPages with unusable text: 0\n"), QStringLiteral("PDF Security:\n"),
                QStringLiteral("\tPrinting: Allowed\n"), QStringLiteral("\tDocument Assembly: Allowed\n"),
                QStringLiteral("\tContent Copying or Extraction: Allowed\n"),
                QStringLiteral("\tCommenting: Allowed")}));
        QCOMPARE(report.lines[0].style, Style::Path);
        QCOMPARE(report.lines[1].style, Style::Heading);
        QCOMPARE(report.lines[2].style, Style::Plain);
        QCOMPARE(report.lines[10].style, Style::Heading);
    }

    void versionNames_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QString>("line");
        QTest::newRow("1.0") << QByteArray("1.0") << "\tPDF Version: 1.0 (Acrobat 1.x) \n";
        QTest::newRow("1.6") << QByteArray("1.6") << "\tPDF Version: 1.6 (Acrobat 7.x) \n";
        QTest::newRow("1.7") << QByteArray("1.7") << "\tPDF Version: 1.7 (Unknown Acrobat Version) \n";
    }
    void versionNames() {
        QFETCH(QByteArray, version);
        QFETCH(QString, line);
        fixtures::RawPdf pdf;
        pdf.version = version;
        pdf.pageTexts = {"x"};
        QCOMPARE(QString::fromStdString(build(rawPdf(QStringLiteral("v.pdf"), pdf)).lines[5].text), line);
    }

    void documentWithoutPagesHasNoPageSize() {
        const SummaryReport report = build(rawPdf(QStringLiteral("nopages.pdf"), {}));
        QVERIFY(report.documentValid);
        QCOMPARE(bytes(report.lines[6].text), QByteArray("\tPage Size: 0 x 0 Pixel\n"));
        QCOMPARE(bytes(report.lines[7].text), QByteArray("\tNumber of Pages: 0\n"));
    }

    void emptyFileStopsAfterTheDescriptionHeading() {
        const QString path = fixture->path(QStringLiteral("zero.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const SummaryReport report = build(path);
        QVERIFY(!report.documentValid && !report.encrypted);
        QCOMPARE(report.lines.size(), 5);
        QCOMPARE(bytes(report.lines[2].text), QByteArray("\tFile Size: 0 KB (0 Bytes)\n"));
        QCOMPARE(bytes(report.lines[4].text), QByteArray("PDF Description:\n"));
    }

    // Only a missing or wrong password counts as encrypted, so the user is sent to the password
    // cell for it and not for a file that is no PDF.
    void encryptedDocumentsWithoutThePasswordAreInvalid() {
        const std::string locked =
            testsupport::path(fixture->encrypted(QStringLiteral("u"), QStringLiteral("o"), true));
        const SummaryReport missing = SummaryReport::build(locked);
        QVERIFY(!missing.documentValid && missing.encrypted);
        QCOMPARE(missing.lines.size(), 5);
        const SummaryReport wrong = SummaryReport::build(locked, {}, "wrong");
        QVERIFY(!wrong.documentValid && wrong.encrypted);
        const SummaryReport given = SummaryReport::build(locked, {}, "u");
        QVERIFY(given.documentValid && !given.encrypted);
        QVERIFY(!build(fixture->path(QStringLiteral("missing.pdf"))).encrypted);
    }

    void restrictionsAreReported() {
        const SummaryReport report = build(fixture->encrypted(QString(), QStringLiteral("o"), false));
        QVERIFY(report.documentValid);
        QCOMPARE(bytes(report.lines[13].text), QByteArray("\tContent Copying or Extraction: Not Allowed\n"));
        QCOMPARE(bytes(report.lines[11].text), QByteArray("\tPrinting: Allowed\n"));
    }

    void thousandsGrouping() {
        QCOMPARE(bytes(FileFacts::groupThousands(0)), QByteArray("0"));
        QCOMPARE(bytes(FileFacts::groupThousands(999)), QByteArray("999"));
        QCOMPARE(bytes(FileFacts::groupThousands(1000)), QByteArray("1,000"));
        QCOMPARE(bytes(FileFacts::groupThousands(1234567)), QByteArray("1,234,567"));
        QCOMPARE(bytes(FileFacts::groupThousands(5368709120ULL)), QByteArray("5,368,709,120"));
        QCOMPARE(
            bytes(FileFacts::formatTime(QDateTime(QDate(2012, 6, 23), QTime(10, 15, 0)).toSecsSinceEpoch())),
            QByteArray("10:15:00 06/23/2012"));
    }
};

QTEST_MAIN(TestSummaryReport)
#include "tst_summaryreport.moc"
