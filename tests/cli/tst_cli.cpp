#include "FixturePdf.h"
#include "TestSupport.h"
#include "cli/CliOptions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// folverin-cli as a user runs it: a real process with its own settings folder.
class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir temp;

    struct Run {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };

    QString path(const QString& name) const { return temp.filePath(name); }
    QString settingsPath() const { return path(QStringLiteral("config/Corvanta/Folverin/Settings.ini")); }

    Run cli(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.start(testsupport::programDir() + QStringLiteral("folverin-cli"), arguments);
        if (!process.waitForFinished(120000))
            qFatal("folverin-cli did not finish");
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QString pdf(const QString& name, const QList<QByteArray>& pages = {"hello"}) {
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).path());
        fixtures::RawPdf raw;
        raw.pageTexts = pages;
        if (!fixtures::writeRawPdf(file, raw))
            qFatal("fixture %s", qPrintable(name));
        return file;
    }

    static QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        QDir(temp.path()).removeRecursively();
        QDir().mkpath(temp.path());
    }

    void convertsFoldersRecursivelyAndReportsProgress() {
        pdf(QStringLiteral("in/a.pdf"));
        pdf(QStringLiteral("in/sub/b.PDF"));
        pdf(QStringLiteral("in/sub/deeper/c.Pdf"));
        QFile::copy(path(QStringLiteral("in/a.pdf")), path(QStringLiteral("in/not-a-pdf.txt")));
        QVERIFY(QFile::link(path(QStringLiteral("in")), path(QStringLiteral("in/sub/loop")))); // a cycle
        const Run run = cli({QStringLiteral("--no-settings"), QStringLiteral("-o"),
                             path(QStringLiteral("out")), path(QStringLiteral("in"))});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray("File 1 of 3, 33%\nFile 2 of 3, 66%\nFile 3 of 3, 100%\n"));
        QCOMPARE(QDir(path(QStringLiteral("out"))).entryList(QDir::Files),
                 (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")}));
        QCOMPARE(read(path(QStringLiteral("out/a.txt"))), QByteArray("hello\r\n\f"));
        QVERIFY(run.out.endsWith("out/c.txt\n"));
    }

    void optionsOverrideTheSavedSettingsWhichStayUntouched() {
        QDir().mkpath(QFileInfo(settingsPath()).path());
        QFile settings(settingsPath());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Output Options]\r\nOutput Mode=1\r\nHtml Meta=1\r\nEnd-of-Line=1\r\n");
        settings.close();
        const QByteArray before = read(settingsPath());
        const QString in = pdf(QStringLiteral("doc.pdf"), {"one", "two", "three"});
        Run run = cli({QStringLiteral("-q"), QStringLiteral("--last"), QStringLiteral("2"), in});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty() && run.out.isEmpty());
        QCOMPARE(
            read(path(QStringLiteral("doc.htm"))),
            QByteArray("<html>\n<head>\n</head>\n<body>\n<pre>\none\n\ftwo\n\f</pre>\n</body>\n</html>\n"));
        run = cli({QStringLiteral("-q"), QStringLiteral("--text"), QStringLiteral("--eol=mac"),
                   QStringLiteral("--no-page-breaks"), QStringLiteral("--first"), QStringLiteral("3"), in});
        QCOMPARE(run.status, 0);
        QCOMPARE(read(path(QStringLiteral("doc.txt"))), QByteArray("three\r"));
        QCOMPARE(read(settingsPath()), before);
        QVERIFY(QFile::exists(path(QStringLiteral("config/Corvanta/Folverin/CMapConfig.ini"))));
    }

    void exitStatusTellsSkippedAndEndedBatches() {
        const QString good = pdf(QStringLiteral("good.pdf"));
        QFile bad(path(QStringLiteral("bad.pdf")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a pdf");
        bad.close();
        Run run = cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), bad.fileName(), good});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, bad.fileName().toUtf8() + ": Not a valid pdf file!\n");
        QVERIFY(QFile::exists(path(QStringLiteral("good.txt"))));

        run = cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), QStringLiteral("--first"),
                   QStringLiteral("4"), good, good});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err.count('\n'), 1); // the batch ended at the first file
        QVERIFY(run.err.contains("only contain 1 pages"));

        run =
            cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), path(QStringLiteral("missing.pdf"))});
        QCOMPARE(run.status, 1);
    }

    // Nothing to do is worth a word, and two PDFs of one title must not silently share an output.
    void emptyFoldersAndSharedTitlesAreReported() {
        QDir().mkpath(path(QStringLiteral("empty/sub")));
        Run run = cli({QStringLiteral("--no-settings"), path(QStringLiteral("empty"))});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, path(QStringLiteral("empty")).toUtf8() + ": no PDF files found in this folder\n");

        pdf(QStringLiteral("c/a/report.pdf"), {"first"});
        const QString second = pdf(QStringLiteral("c/b/report.pdf"), {"second"});
        run = cli({QStringLiteral("--no-settings"), QStringLiteral("-o"), path(QStringLiteral("out")),
                   path(QStringLiteral("c"))});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, path(QStringLiteral("out/report.txt")).toUtf8() + "\n");
        QVERIFY2(run.err.contains(second.toUtf8() + ": The output file"), run.err.constData());
        QVERIFY(read(path(QStringLiteral("out/report.txt"))).startsWith("first"));
    }

    // Only files whose output is missing or older than the PDF are converted again.
    void updateConvertsOnlyWhatChanged() {
        pdf(QStringLiteral("upd/kept.pdf"));
        const QString changed = pdf(QStringLiteral("upd/changed.pdf"));
        const QString added = pdf(QStringLiteral("upd/added.pdf"));
        QVERIFY(QFile::remove(added));
        QCOMPARE(cli({QStringLiteral("--no-settings"), path(QStringLiteral("upd"))}).status, 0);
        pdf(QStringLiteral("upd/added.pdf"));
        QFile touched(changed);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(
            touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        touched.close();
        const Run run =
            cli({QStringLiteral("--no-settings"), QStringLiteral("--update"), path(QStringLiteral("upd"))});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, path(QStringLiteral("upd/added.txt")).toUtf8() + "\n" +
                              path(QStringLiteral("upd/changed.txt")).toUtf8() + "\n");
        QVERIFY(QFile::exists(path(QStringLiteral("upd/kept.txt"))));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no path") << QStringList{QStringLiteral("--text")};
        QTest::newRow("unknown encoding")
            << QStringList{QStringLiteral("--encoding"), QStringLiteral("EBCDIC"), QStringLiteral("x.pdf")};
        QTest::newRow("bad eol") << QStringList{QStringLiteral("--eol"), QStringLiteral("cr"),
                                                QStringLiteral("x.pdf")};
        QTest::newRow("bad page") << QStringList{QStringLiteral("--first"), QStringLiteral("two"),
                                                 QStringLiteral("x.pdf")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--fast"), QStringLiteral("x.pdf")};
        QTest::newRow("missing value") << QStringList{QStringLiteral("x.pdf"), QStringLiteral("--encoding")};
        QTest::newRow("missing password file") << QStringList{
            QStringLiteral("--user-password-file"), QStringLiteral("/no/such"), QStringLiteral("x.pdf")};
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        const Run run = cli(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.startsWith("folverin-cli: "));
        QVERIFY(!QFile::exists(settingsPath()));
    }

    void passwordFromFileAndSummary() {
        const QString plain = pdf(QStringLiteral("plain.pdf"));
        const QString locked = path(QStringLiteral("locked.pdf"));
        QVERIFY(
            fixtures::encryptPdf(plain, locked, QStringLiteral("s3cret word"), QStringLiteral("own"), true));
        QFile secret(path(QStringLiteral("pw")));
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("s3cret word\nsecond line\n");
        secret.close();
        Run run = cli({QStringLiteral("--no-settings"), QStringLiteral("-q"),
                       QStringLiteral("--user-password-file"), secret.fileName(), locked});
        QCOMPARE(run.status, 0);
        QCOMPARE(read(path(QStringLiteral("locked.txt"))), QByteArray("hello\r\n\f"));

        run = cli({QStringLiteral("--summary"), plain, locked});
        QCOMPARE(run.status, 1); // the summary opens without passwords
        const QList<QByteArray> reports = run.out.split('\n');
        QVERIFY(reports.contains("\tNumber of Pages: 1"));
        QVERIFY(reports.contains("\tCommenting: Allowed"));
        QCOMPARE(run.err, locked.toUtf8() + ": Not a valid pdf file!\n");
        QVERIFY(!QFile::exists(path(QStringLiteral("plain.txt"))));
    }

    void helpAndVersion() {
        Run run = cli({QStringLiteral("--help")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains("Usage: folverin-cli [OPTIONS] PATH..."));
        QVERIFY(run.out.contains("Windows-1255"));
        run = cli({QStringLiteral("--version")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith("folverin-cli "));
    }

    void lastOptionOfAPairWins() {
        CliOptions options;
        std::string error;
        QVERIFY(CliOptions::parse({"--html", "--text", "--first", "2", "--all-pages", "--", "--odd name.pdf"},
                                  options, error));
        ConvertOptions converted = ConvertOptions::defaults();
        converted.endPage = 9;
        options.applyTo(converted);
        QCOMPARE(converted.outputMode, option::textFile);
        QCOMPARE(converted.pageRange, option::allPages);
        QCOMPARE(converted.startPage, 2);
        QCOMPARE(converted.endPage, 9); // kept: only --first was given
        QCOMPARE(testsupport::texts(options.paths), QStringList{QStringLiteral("--odd name.pdf")});
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
