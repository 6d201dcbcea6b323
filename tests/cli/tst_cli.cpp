#include "FixturePdf.h"
#include "PseudoTerminal.h"
#include "ScanFixture.h"
#include "TestSupport.h"
#include "cli/CliOptions.h"
#include "cli/RunReport.h"
#include "cli/Terminal.h"
#include "core/OutputNames.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

    static QString program() { return testsupport::programDir() + QStringLiteral("folverin-cli"); }

    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return environment;
    }

    static void waitFor(QProcess& process) {
        if (!process.waitForFinished(120000))
            qFatal("%s did not finish", qPrintable(process.program()));
    }

    // extra: environment variables set for this run.
    Run cli(const QStringList& arguments, const QList<QPair<QString, QString>>& extra = {}) {
        QProcess process;
        QProcessEnvironment variables = environment();
        for (const auto& [name, value] : extra)
            variables.insert(name, value);
        process.setProcessEnvironment(variables);
        process.start(program(), arguments);
        waitFor(process);
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    // folverin-cli with stderr, and stdout too when asked, on a pseudo-terminal of the given
    // width; err is what the terminal received.
    Run cliOnTerminal(const QStringList& arguments, bool stdoutToo, int columns = 80) {
        PseudoTerminal terminal(columns);
        QByteArray received;
        std::thread reader([&] { received = terminal.readToEnd(); });
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setChildProcessModifier([slave = terminal.slave(), stdoutToo] {
            ::dup2(slave, STDERR_FILENO);
            if (stdoutToo)
                ::dup2(slave, STDOUT_FILENO);
        });
        process.start(program(), arguments);
        process.waitForStarted();
        terminal.closeSlave();
        waitFor(process);
        reader.join();
        return {process.exitCode(), process.readAllStandardOutput(), received};
    }

    // The lines a terminal shows after these bytes: "\r" goes back to the start of the line,
    // ESC [ K erases to its end, and "\n" starts a new line as the terminal driver sends it.
    static QList<QByteArray> screen(const QByteArray& bytes) {
        QList<QByteArray> lines{QByteArray()};
        qsizetype column = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes.mid(i, 3) == "\x1b[K") {
                lines.last().truncate(column);
                i += 2;
            } else if (bytes[i] == '\r') {
                column = 0;
            } else if (bytes[i] == '\n') {
                lines.append(QByteArray());
                column = 0;
            } else if (column < lines.last().size()) {
                lines.last()[column++] = bytes[i];
            } else {
                lines.last().append(bytes[i]);
                ++column;
            }
        }
        return lines;
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

    // A scanned page: a 300-dpi picture of a line of text and no text layer.
    QString scan(const QString& name) {
        const QString file = path(name);
        QPdfWriter writer(file);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A6));
        writer.setPageMargins(QMarginsF());
        QImage picture(writer.width(), writer.height(), QImage::Format_Grayscale8);
        picture.fill(Qt::white);
        QPainter drawing(&picture);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(90);
        drawing.setFont(font);
        drawing.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Introduction"));
        drawing.end();
        QPainter(&writer).drawImage(QRect(0, 0, writer.width(), writer.height()), picture);
        return file;
    }

    // Rows for the -j value: converting in folverin-cli's own process and in workers.
    static void inThisProcessAndInWorkers() {
        QTest::addColumn<QString>("jobs");
        QTest::newRow("in this process") << QStringLiteral("1");
        QTest::newRow("in workers") << QStringLiteral("2");
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

    // On a terminal the progress is one line redrawn in place and cut to the width, with each
    // message and written file above it; in a pipe it stays a line per file, as scripts read it.
    void progressOnATerminalIsOneLineRedrawnInPlace() {
        auto notAPdf = [this](const QString& name) {
            QFile file(path(name));
            if (!file.open(QIODevice::WriteOnly) || file.write("not a pdf") != 9)
                qFatal("fixture %s", qPrintable(name));
            return file.fileName();
        };
        // A skip in the middle, and one at the end that the final count must include, of a file
        // whose name must neither break its message apart nor act on the terminal.
        const QStringList files{pdf(QStringLiteral("t/a.pdf")), notAPdf(QStringLiteral("t/bad.pdf")),
                                pdf(QStringLiteral("t/c.pdf"), {"one", "two"}),
                                notAPdf(QStringLiteral("t/worse\x1b[2J\nname.pdf"))};
        const QStringList arguments = QStringList{QStringLiteral("--no-settings")} + files;
        const QByteArray firstSkip = files[1].toUtf8() + ": Not a valid pdf file!";
        const QByteArray lastSkip =
            path(QStringLiteral("t/worse\\x1b[2J\\nname.pdf")).toUtf8() + ": Not a valid pdf file!";
        const QByteArray firstOutput = path(QStringLiteral("t/a.txt")).toUtf8();
        const QByteArray lastOutput = path(QStringLiteral("t/c.txt")).toUtf8();

        const Run piped = cli(arguments);
        QCOMPARE(piped.status, 1);
        QCOMPARE(piped.err, "File 1 of 4, 25%\n" + firstSkip + "\nFile 3 of 4, 75%\n" + lastSkip + "\n");
        QCOMPARE(piped.out, firstOutput + "\n" + lastOutput + "\n");

        // 21 columns hold "4 of 4 files in 0:00" and not a character more.
        Run run = cliOnTerminal(arguments, false, 21);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, piped.out);
        QVERIFY(run.err.contains('\r'));
        QCOMPARE(run.err.count('\n'), 3); // the messages and the final line, none per file
        QList<QByteArray> shown = screen(run.err);
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown.mid(0, 2), (QList<QByteArray>{firstSkip, lastSkip}));
        QVERIFY2(shown[2].startsWith("4 of 4 files in 0:") && shown[2].size() == 20, shown[2].constData());
        QVERIFY(shown[3].isEmpty());
        QRegularExpressionMatchIterator drawings =
            QRegularExpression(QStringLiteral("\r([^\r\n\x1b]*)\x1b\\[K"))
                .globalMatch(QString::fromUtf8(run.err));
        QVERIFY(drawings.hasNext());
        while (drawings.hasNext()) {
            const QString drawn = drawings.next().captured(1);
            QVERIFY2(drawn.isEmpty() || (drawn.contains(QStringLiteral(" of 4 files")) && drawn.size() <= 20),
                     qPrintable(drawn));
        }

        run = cliOnTerminal(arguments, true);
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.isEmpty());
        shown = screen(run.err);
        QCOMPARE(shown.size(), 6);
        QCOMPARE(shown.mid(0, 4), (QList<QByteArray>{firstOutput, firstSkip, lastOutput, lastSkip}));
        QVERIFY2(shown[4].startsWith("4 of 4 files in 0:"), shown[4].constData());

        run = cliOnTerminal(QStringList{QStringLiteral("-q")} + arguments, true);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, firstSkip + "\n" + lastSkip + "\n");
    }

    // A file's name can hold any byte but '/' and NUL. A terminal is shown what would act on it
    // (a title, colours, the cursor, a line break) as escapes; a pipe gets the exact bytes of
    // each written path, NUL-ended with -0.
    void namesCannotActOnTheTerminal() {
        const QByteArray folder = path(QStringLiteral("names/")).toUtf8();
        const QByteArray hostile = "\x1b]0;pwned\x07\n\xc2\x9b"
                                   "31m\xff\\ caf\xc3\xa9";
        const QByteArray shown = "\\x1b]0;pwned\\x07\\n\\xc2\\x9b31m\\xff\\\\ caf\xc3\xa9";
        // Bytes that are not UTF-8 can be made, and removed, only through the raw names.
        const auto removeRawNames = qScopeGuard([&] {
            ::unlink(folder + hostile + ".pdf");
            ::unlink(folder + hostile + ".txt");
        });
        QVERIFY(QDir().mkpath(QString::fromUtf8(folder)));
        QVERIFY(::rename(pdf(QStringLiteral("good.pdf")).toUtf8().constData(), folder + hostile + ".pdf") ==
                0);
        QFile bad(path(QStringLiteral("names/bad\x1b[2J.pdf")));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("not a pdf") == 9);
        bad.close();
        const QStringList arguments{QStringLiteral("--no-settings"), QString::fromUtf8(folder)};
        const QByteArray skip = folder + "bad\\x1b[2J.pdf: Not a valid pdf file!";

        Run run = cli(arguments);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, folder + hostile + ".txt\n");
        QCOMPARE(run.err, "File 1 of 2, 50%\n" + skip + "\n");
        QCOMPARE(read(QString::fromUtf8(folder) + QStringLiteral("bad\x1b[2J.txt")), QByteArray("<missing>"));
        run = cli(QStringList{QStringLiteral("-0")} + arguments);
        QCOMPARE(run.out, folder + hostile + ".txt" + QByteArray(1, '\0'));
        run = cli(QStringList{QStringLiteral("--null"), QStringLiteral("--summary")} + arguments);
        QVERIFY(run.out.startsWith(folder + hostile + ".pdf\n")); // a summary keeps its lines

        for (const QStringList& options : {QStringList(), QStringList{QStringLiteral("-0")}}) {
            run = cliOnTerminal(options + arguments, true);
            QCOMPARE(run.status, 1);
            const QList<QByteArray> lines = screen(run.err);
            QCOMPARE(lines.mid(0, 2), (QList<QByteArray>{folder + shown + ".txt", skip}));
            // Nothing but the progress line's own return and erase, and the line ends.
            QByteArray rest = run.err;
            rest.replace("\r\x1b[K", "").replace("\x1b[K", "").replace("\r", "").replace("\n", "");
            QVERIFY2(!rest.contains('\x1b') && !rest.contains('\0') && !rest.contains("\xc2\x9b") &&
                         !rest.contains('\xff'),
                     rest.toHex(' ').constData());
        }
        run = cliOnTerminal({QStringLiteral("--summary"), QString::fromUtf8(folder)}, true);
        QVERIFY2(screen(run.err).contains(folder + shown + ".pdf"), run.err.constData());
    }

    // Cron and service managers may start a program with a standard stream closed: the next
    // file or socket opened must not take its place, or workers are lost and written paths or
    // messages land in a worker's channel or an output file.
    void convertsWithAStandardStreamClosed_data() {
        QTest::addColumn<QList<int>>("closed");
        QTest::newRow("stdin") << QList<int>{STDIN_FILENO};
        QTest::newRow("stdout") << QList<int>{STDOUT_FILENO};
        QTest::newRow("stderr") << QList<int>{STDERR_FILENO};
        QTest::newRow("all three") << QList<int>{STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO};
    }
    void convertsWithAStandardStreamClosed() {
        QFETCH(QList<int>, closed);
        QByteArray outputs;
        for (int file = 1; file <= 6; ++file) {
            pdf(QStringLiteral("in/doc%1.pdf").arg(file), {"text " + QByteArray::number(file)});
            outputs += path(QStringLiteral("out/doc%1.txt").arg(file)).toUtf8() + '\n';
        }
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setChildProcessModifier([closed] {
            for (const int fd : closed)
                ::close(fd);
        });
        process.start(program(),
                      {QStringLiteral("--no-settings"), QStringLiteral("-j"), QStringLiteral("3"),
                       QStringLiteral("-o"), path(QStringLiteral("out")), path(QStringLiteral("in"))});
        waitFor(process);
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(process.exitCode() == 0, err.constData());
        QCOMPARE(process.readAllStandardOutput(), closed.contains(STDOUT_FILENO) ? QByteArray() : outputs);
        if (!closed.contains(STDERR_FILENO))
            QCOMPARE(err.count('\n'), 6); // "File 1 of 6, 16%" ..., nothing else
        for (int file = 1; file <= 6; ++file)
            QCOMPARE(read(path(QStringLiteral("out/doc%1.txt").arg(file))),
                     "text " + QByteArray::number(file) + "\r\n\f");
    }

    // What a terminal acts on is escaped byte by byte; all other text, in any script, stays.
    void terminalSafeTextEscapesOnlyWhatActs_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("text") << QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 ~")
                              << QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 ~");
        QTest::newRow("C0 and DEL") << QByteArray("a\tb\nc\rd\x1b[2Je\x7f\x01")
                                    << QByteArray("a\\tb\\nc\\rd\\x1b[2Je\\x7f\\x01");
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << QByteArray("a\\x00b");
        QTest::newRow("backslash") << QByteArray("a\\x1b") << QByteArray("a\\\\x1b");
        QTest::newRow("C1") << QByteArray("\xc2\x85\xc2\x9b"
                                          "31m\xc2\x9f\xc2\xa0")
                            << QByteArray("\\xc2\\x85\\xc2\\x9b"
                                          "31m\\xc2\\x9f\xc2\xa0");
        QTest::newRow("stray bytes") << QByteArray("\x80\xff\xfe\xf5\x80\x80\x80")
                                     << QByteArray("\\x80\\xff\\xfe\\xf5\\x80\\x80\\x80");
        QTest::newRow("overlong") << QByteArray("\xc0\x9b\xe0\x80\x9b\xf0\x80\x80\x9b")
                                  << QByteArray("\\xc0\\x9b\\xe0\\x80\\x9b\\xf0\\x80\\x80\\x9b");
        QTest::newRow("surrogate and beyond") << QByteArray("\xed\xa0\x80\xf4\x90\x80\x80")
                                              << QByteArray("\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80");
        QTest::newRow("cut off") << QByteArray("\xc3(\xe2\x82") << QByteArray("\\xc3(\\xe2\\x82");
    }
    void terminalSafeTextEscapesOnlyWhatActs() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, shown);
        QCOMPARE(testsupport::bytes(terminalSafeText(std::string_view(text.constData(), text.size()))),
                 shown);
    }

    void optionsOverrideTheSavedSettingsWhichStayUntouched() {
        QDir().mkpath(QFileInfo(settingsPath()).path());
        QFile settings(settingsPath());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        // A page range on the command line takes none of its ends from the settings.
        settings.write("[Output General]\r\nStart Page=3\r\nEnd Page=2\r\n"
                       "[Output Options]\r\nOutput Mode=1\r\nHtml Meta=1\r\nEnd-of-Line=1\r\n");
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

        // Nor from the defaults: there the End Page is 1000.
        QList<QByteArray> pages;
        for (int page = 1; page <= 1001; ++page)
            pages.append("page " + QByteArray::number(page));
        const QString large = pdf(QStringLiteral("large.pdf"), pages);
        run = cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), QStringLiteral("--first"),
                   QStringLiteral("1000"), large});
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(read(path(QStringLiteral("large.txt"))), QByteArray("page 1000\r\n\fpage 1001\r\n\f"));
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

    // A file that brings the engine down costs its own job in one process too: damaged
    // recognition data aborts the recognizer on the scan between two text files.
    void aHostileFileCostsOnlyItsJobWithOneProcess() {
        QByteArray model = read(QStringLiteral("/usr/share/tesseract-ocr/5/tessdata/eng.traineddata"));
        QVERIFY2(model.size() > 4096, "tesseract-ocr-eng is not installed");
        model.replace(50, 200, QByteArray(200, '\0')); // through the table of the model's parts
        QVERIFY(QDir().mkpath(path(QStringLiteral("damaged"))));
        QFile data(path(QStringLiteral("damaged/eng.traineddata")));
        QVERIFY(data.open(QIODevice::WriteOnly) && data.write(model) == model.size());
        data.close();
        const QString first = pdf(QStringLiteral("hostile/first.pdf"), {"first file"});
        const QString scan = path(QStringLiteral("hostile/scan.pdf"));
        QVERIFY(fixtures::writeBlankScanPdf(scan));
        const QString last = pdf(QStringLiteral("hostile/last.pdf"), {"last file"});

        const Run run =
            cli({QStringLiteral("--no-settings"), QStringLiteral("-j"), QStringLiteral("1"),
                 QStringLiteral("--ocr"), QStringLiteral("auto"), QStringLiteral("-q"), first, scan, last},
                {{QStringLiteral("TESSDATA_PREFIX"), path(QStringLiteral("damaged"))}});
        QCOMPARE(run.status, 1);
        QCOMPARE(QString::fromUtf8(run.err), scan + QStringLiteral(": The converter stopped on the file '") +
                                                 scan +
                                                 QStringLiteral("' (crashed), so it is not converted.\n"));
        QCOMPARE(read(path(QStringLiteral("hostile/first.txt"))), QByteArray("first file\r\n\f"));
        QCOMPARE(read(path(QStringLiteral("hostile/last.txt"))), QByteArray("last file\r\n\f"));
        QCOMPARE(
            QDir(path(QStringLiteral("hostile"))).entryList(QDir::Files | QDir::Hidden),
            (QStringList{QStringLiteral("first.pdf"), QStringLiteral("first.txt"), QStringLiteral("last.pdf"),
                         QStringLiteral("last.txt"), QStringLiteral("scan.pdf")}));
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

    // Only an output of this user's counts as done: another user's file dated in the future
    // in a shared folder is converted over, and the output is ours then.
    void updateConvertsOverAnotherUsersOutput() {
        if (::geteuid() != 0)
            QSKIP("planting another user's file needs the superuser");
        const QString doc = pdf(QStringLiteral("shared/doc.pdf"));
        QCOMPARE(::chmod(QFile::encodeName(path(QStringLiteral("shared"))).constData(), 01777), 0);
        const QString planted = path(QStringLiteral("shared/doc.txt"));
        QFile file(planted);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("planted") == 7);
        QVERIFY(
            file.setFileTime(QDateTime(QDate(2030, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(::chown(QFile::encodeName(planted).constData(), 65534, 65534), 0);

        const Run run = cli({QStringLiteral("--no-settings"), QStringLiteral("--update"), doc});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, planted.toUtf8() + "\n");
        QCOMPARE(read(planted), QByteArray("hello\r\n\f"));
        QCOMPARE(QFileInfo(planted).ownerId(), 0u);
    }

    // Another user's link on the way to an output leads nowhere, given with -o or met in a
    // folder search: nothing is written, and no folder made, in the private folder it points
    // at. A link of ours is followed.
    void anotherUsersFolderLinkIsNotFollowed_data() { inThisProcessAndInWorkers(); }
    void anotherUsersFolderLinkIsNotFollowed() {
        QFETCH(QString, jobs);
        if (::geteuid() != 0)
            QSKIP("planting another user's links needs the superuser");
        const QString doc = pdf(QStringLiteral("doc.pdf"));
        const QString secret = path(QStringLiteral("private"));
        const QString found = pdf(QStringLiteral("private/found.pdf"));
        QVERIFY(QDir().mkpath(path(QStringLiteral("shared/tree"))) &&
                QDir().mkpath(path(QStringLiteral("mine"))));
        QCOMPARE(::chmod(QFile::encodeName(path(QStringLiteral("shared"))).constData(), 01777), 0);
        QCOMPARE(::chmod(QFile::encodeName(secret).constData(), 0700), 0);
        const auto plant = [&](const QString& target, const QString& link, uid_t owner) {
            QVERIFY(QFile::link(target, path(link)));
            QCOMPARE(::lchown(QFile::encodeName(path(link)).constData(), owner, owner), 0);
        };
        plant(secret, QStringLiteral("shared/out"), 65534);
        plant(secret, QStringLiteral("shared/tree/away"), 65534);
        plant(path(QStringLiteral("mine")), QStringLiteral("shared/mine"), 0);
        const QStringList options{QStringLiteral("--no-settings"), QStringLiteral("-j"), jobs};
        const auto refusal = [&](const QString& link, const QString& pdfPath) {
            return QStringLiteral("%2: The folder '%1' is another user's link, so '%2' is not converted.\n")
                .arg(path(link), pdfPath)
                .toUtf8();
        };

        for (const QString& folder : {QStringLiteral("shared/out"), QStringLiteral("shared/out/new")}) {
            const Run run = cli(options + QStringList{QStringLiteral("-o"), path(folder), doc});
            QCOMPARE(run.status, 1);
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(run.err, refusal(QStringLiteral("shared/out"), doc));
        }
        const Run search = cli(options + QStringList{path(QStringLiteral("shared/tree"))});
        QCOMPARE(search.status, 1);
        QCOMPARE(search.err, refusal(QStringLiteral("shared/tree/away"),
                                     path(QStringLiteral("shared/tree/away/found.pdf"))));
        QCOMPARE(QDir(secret).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QFileInfo(found).fileName()});

        const Run own =
            cli(options + QStringList{QStringLiteral("-o"), path(QStringLiteral("shared/mine")), doc});
        QCOMPARE(own.status, 0);
        QCOMPARE(read(path(QStringLiteral("mine/doc.txt"))), QByteArray("hello\r\n\f"));
    }

    // A path near the system's limit converts: the temporary beside the output is made in its
    // folder held open, not by a path longer still.
    void pathsNearTheLimitConvert_data() { inThisProcessAndInWorkers(); }
    void pathsNearTheLimitConvert() {
        QFETCH(QString, jobs);
        constexpr qsizetype pdfPathBytes = 4086;
        QString folder = path(QStringLiteral("deep"));
        while (pdfPathBytes - folder.size() - 1 > 255)
            folder += QLatin1Char('/') + QString(200, QLatin1Char('d'));
        const QString name = QString(pdfPathBytes - folder.size() - 1 - 4, QLatin1Char('n'));
        const QString doc =
            pdf(folder.mid(temp.path().size() + 1) + QLatin1Char('/') + name + QStringLiteral(".pdf"));
        QCOMPARE(QFile::encodeName(doc).size(), pdfPathBytes);
        const Run run = cli({QStringLiteral("--no-settings"), QStringLiteral("-j"), jobs, doc});
        QCOMPARE(run.err, QByteArray("File 1 of 1, 100%\n"));
        QCOMPARE(run.status, 0);
        QCOMPARE(read(folder + QLatin1Char('/') + name + QStringLiteral(".txt")), QByteArray("hello\r\n\f"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // Runs at the same time over overlapping trees, with options that give different text:
    // every output is whole, one run's version or the other's, and no temporary file is left.
    void overlappingRunsLeaveWholeFiles() {
        QStringList pdfs;
        for (int file = 1; file <= 6; ++file) {
            const QString name = path(
                QStringLiteral("both/%1/doc%2.pdf").arg(QLatin1String(file % 2 ? "odd" : "even")).arg(file));
            QDir().mkpath(QFileInfo(name).path());
            QVERIFY(fixtures::writeLargeTextPdf(name, 20 * file, 30));
            pdfs.append(name);
        }
        const QStringList layout{QStringLiteral("--no-settings"), QStringLiteral("--layout")};
        const QStringList raw{QStringLiteral("--no-settings"), QStringLiteral("--raw"),
                              QStringLiteral("--no-layout")};
        QCOMPARE(cli(layout + QStringList{QStringLiteral("-o"), path(QStringLiteral("layout")),
                                          path(QStringLiteral("both"))})
                     .status,
                 0);
        QCOMPARE(cli(raw + QStringList{QStringLiteral("-o"), path(QStringLiteral("raw")),
                                       path(QStringLiteral("both"))})
                     .status,
                 0);

        std::vector<std::unique_ptr<QProcess>> runs;
        for (const QStringList& arguments :
             {layout + QStringList{path(QStringLiteral("both"))},
              raw + QStringList{path(QStringLiteral("both/odd"))},
              raw + QStringList{QStringLiteral("-j"), QStringLiteral("1"), path(QStringLiteral("both"))}}) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->setProcessEnvironment(environment());
            runs.back()->start(program(), arguments);
        }
        for (const auto& run : runs) {
            waitFor(*run);
            QVERIFY2(run->exitCode() == 0, run->readAllStandardError().constData());
        }
        for (const QString& pdf : pdfs) {
            const QString name = QFileInfo(pdf).completeBaseName() + QStringLiteral(".txt");
            const QByteArray text = read(QFileInfo(pdf).path() + QLatin1Char('/') + name);
            QVERIFY2(text == read(path(QStringLiteral("layout/") + name)) ||
                         text == read(path(QStringLiteral("raw/") + name)),
                     qPrintable(pdf));
        }
        QDirIterator leftovers(path(QStringLiteral("both")), {QStringLiteral("*.part")},
                               QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        QVERIFY2(!leftovers.hasNext(), qPrintable(leftovers.hasNext() ? leftovers.next() : QString()));
    }

    void aSignalEndsTheFileInProgressToo_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }
    // Ctrl+C or SIGTERM during a long file ends it at once: its old output stays, later files
    // are left as they were, no temporary file stays, and the status tells a script it was
    // interrupted.
    void aSignalEndsTheFileInProgressToo() {
        QFETCH(int, signal);
        const QString folder = path(QStringLiteral("int"));
        QDir().mkpath(folder);
        const QString big = folder + QStringLiteral("/big.pdf");
        if (!QFile::exists(big))
            QVERIFY(fixtures::writeLargeTextPdf(big, 3000, 40));
        const QString after = pdf(QStringLiteral("int/after.pdf"));
        QFile old(folder + QStringLiteral("/big.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old text\n") == 9);
        old.close();
        const auto temporaries = [&] {
            return QDir(folder).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
        };
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program(), {QStringLiteral("--no-settings"), QStringLiteral("-j"), QStringLiteral("2"),
                                  big, after});
        QTRY_VERIFY_WITH_TIMEOUT(!temporaries().isEmpty(), 60000); // the long file is under way
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        ::kill(static_cast<pid_t>(process.processId()), signal);
        waitFor(process);
        // Generous for a busy machine; finishing the file instead would have replaced big.txt.
        QVERIFY2(sinceSignal.elapsed() < 10000, qPrintable(QString::number(sinceSignal.elapsed())));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signal);
        QCOMPARE(read(folder + QStringLiteral("/big.txt")), QByteArray("old text\n"));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/after.txt")));
        QCOMPARE(temporaries(), QStringList());
        QVERIFY(process.readAllStandardError().contains("the file in progress keeps its old output"));
    }

    // A reader that goes away (as "| head -1") stops the run as Ctrl+C does, leaving no
    // temporary; what kill -9 leaves behind, the next run that writes those outputs removes.
    void goneReaderAndKilledRunLeaveNoTemporaries() {
        const QString folder = path(QStringLiteral("gone"));
        QDir().mkpath(folder);
        for (int file = 1; file <= 8; ++file)
            QVERIFY(fixtures::writeLargeTextPdf(folder + QStringLiteral("/doc%1.pdf").arg(file), 300, 40));
        const QStringList arguments{QStringLiteral("--no-settings"), QStringLiteral("-j"),
                                    QStringLiteral("2"), folder};
        const auto temporaries = [&] {
            return QDir(folder).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
        };
        QProcess piped;
        piped.setProcessEnvironment(environment());
        piped.start(QStringLiteral("bash"),
                    QStringList{QStringLiteral("-c"),
                                QStringLiteral("\"$0\" \"$@\" | head -1; exit ${PIPESTATUS[0]}"), program()} +
                        arguments);
        waitFor(piped);
        QCOMPARE(piped.exitStatus(), QProcess::NormalExit);
        QCOMPARE(piped.exitCode(), 128 + SIGPIPE);
        QCOMPARE(temporaries(), QStringList());

        QProcess killed;
        killed.setProcessEnvironment(environment());
        killed.start(program(), arguments);
        QVERIFY(killed.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!temporaries().isEmpty(), 60000);
        ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
        waitFor(killed);
        QTRY_VERIFY_WITH_TIMEOUT(!temporaries().isEmpty(), 5000); // its workers end with it
        QCOMPARE(cli(arguments).status, 0);
        QCOMPARE(temporaries(), QStringList());
    }

    // With no cache folder to keep the engine's tables in, each worker makes a temporary one;
    // whoever made one removes it, also a worker that its program ends.
    void noCacheFolderLeavesNoTemporaryEngineFolder() {
        const QString blocker = path(QStringLiteral("not-a-folder"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString tmp = path(QStringLiteral("tmp"));
        QDir().mkpath(tmp);
        const QString pdfs = path(QStringLiteral("nocache"));
        for (int i = 1; i <= 3; ++i)
            pdf(QStringLiteral("nocache/d%1.pdf").arg(i));
        QProcess process;
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("XDG_CACHE_HOME"), blocker + QStringLiteral("/cache"));
        env.insert(QStringLiteral("TMPDIR"), tmp);
        process.setProcessEnvironment(env);
        process.start(program(),
                      {QStringLiteral("--no-settings"), QStringLiteral("-j"), QStringLiteral("2"), pdfs});
        waitFor(process);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(read(path(QStringLiteral("nocache/d1.txt"))).trimmed(), QByteArray("hello"));
        QCOMPARE(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // The README's ways of sharing a large tree among machines, run on this one: two
    // folverin-cli calls on disjoint shares convert every PDF once, whatever its name, and a
    // rerun with --update converts nothing.
    void sharesOfATreeConvertEachFileOnce_data() {
        QTest::addColumn<QString>("script");
        // Two jobs on this host stand for two hosts with one job each.
        QTest::newRow("GNU parallel")
            << QStringLiteral("find \"$TREE\" -iname '*.pdf' -print0 |\n"
                              "  parallel -0 --will-cite --sshlogin : --jobs 2 -X folverin-cli --update\n");
        QTest::newRow("job array") << QStringLiteral(
            "find \"$TREE\" -iname '*.pdf' | LC_ALL=C sort > \"$LIST\"\n"
            "SLURM_ARRAY_TASK_COUNT=2\n"
            "for SLURM_ARRAY_TASK_ID in 0 1; do\n"
            "  awk -v m=\"$SLURM_ARRAY_TASK_COUNT\" -v k=\"$SLURM_ARRAY_TASK_ID\" 'NR % m == k' \"$LIST\" |\n"
            "    xargs -d '\\n' -r folverin-cli --update\n"
            "done\n");
    }
    void sharesOfATreeConvertEachFileOnce() {
        QFETCH(QString, script);
        QProcess version;
        version.start(QStringLiteral("parallel"), {QStringLiteral("--version")});
        QVERIFY2(version.waitForFinished() && version.readAllStandardOutput().startsWith("GNU parallel"),
                 "GNU parallel is missing: scripts/setup installs it (Debian package 'parallel')");

        const QStringList names{QStringLiteral("a.pdf"),          QStringLiteral("with space/b c.pdf"),
                                QStringLiteral("x/it's.pdf"),     QStringLiteral("x/y/say \"hi\".pdf"),
                                QStringLiteral("x/y/z/deep.PDF"), QStringLiteral("x/f.pdf")};
        QStringList outputs;
        for (qsizetype i = 0; i < names.size(); ++i) {
            pdf(QStringLiteral("tree/") + names[i], {"text " + QByteArray::number(i)});
            outputs.append(path(QStringLiteral("tree/") + names[i]).chopped(4) + QStringLiteral(".txt"));
        }
        // Stands in for folverin-cli to count the calls and the files each one gets.
        const QString counter = path(QStringLiteral("bin/folverin-cli"));
        QDir().mkpath(path(QStringLiteral("bin")));
        QFile counterFile(counter);
        QVERIFY(counterFile.open(QIODevice::WriteOnly));
        counterFile.write("#!/bin/sh\necho $(($# - 1)) >> \"$CALLS\"\nexec \"$REAL_CLI\" \"$@\"\n");
        counterFile.close();
        QVERIFY(counterFile.setPermissions(counterFile.permissions() | QFileDevice::ExeOwner));

        QProcessEnvironment environment = this->environment();
        environment.insert(QStringLiteral("PATH"),
                           path(QStringLiteral("bin:")) + environment.value(QStringLiteral("PATH")));
        environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        environment.insert(QStringLiteral("TREE"), path(QStringLiteral("tree")));
        environment.insert(QStringLiteral("LIST"), path(QStringLiteral("pdfs.list")));
        environment.insert(QStringLiteral("CALLS"), path(QStringLiteral("calls")));
        environment.insert(QStringLiteral("REAL_CLI"), program());
        auto share = [&] {
            QFile::remove(path(QStringLiteral("calls")));
            QProcess shell;
            shell.setProcessEnvironment(environment);
            shell.start(QStringLiteral("bash"),
                        {QStringLiteral("-c"), QStringLiteral("set -eo pipefail\n") + script});
            waitFor(shell);
            return Run{shell.exitCode(), shell.readAllStandardOutput(), shell.readAllStandardError()};
        };

        Run run = share();
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(read(path(QStringLiteral("calls"))), QByteArray("3\n3\n"));
        QStringList written = QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        written.sort();
        QStringList expected = outputs;
        expected.sort();
        QCOMPARE(written, expected); // each once: the shares are disjoint and cover the tree
        QList<QDateTime> times;
        for (qsizetype i = 0; i < outputs.size(); ++i) {
            QCOMPARE(read(outputs[i]), "text " + QByteArray::number(i) + "\r\n\f");
            times.append(QFileInfo(outputs[i]).lastModified());
        }

        run = share();
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(run.out, QByteArray());
        for (qsizetype i = 0; i < outputs.size(); ++i)
            QCOMPARE(QFileInfo(outputs[i]).lastModified(), times[i]);
    }

    // Each error names the real fault, in one line a terminal can show safely.
    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        auto row = [](const char* name, const QList<const char*>& arguments, const QByteArray& message) {
            QStringList list;
            for (const char* argument : arguments)
                list.append(QString::fromUtf8(argument));
            QTest::newRow(name) << list << message;
        };
        row("no path", {"--text"}, "no PDF file or folder given");
        row("unknown encoding", {"--encoding", "EBCDIC", "x.pdf"}, "unknown encoding 'EBCDIC' (see --help)");
        row("bad eol", {"--eol", "cr", "x.pdf"}, "--eol takes dos, unix or mac, not 'cr'");
        row("bad page", {"--first", "two", "x.pdf"}, "'two' is not a page number");
        row("bad recognition mode", {"--ocr", "yes", "x.pdf"}, "--ocr takes no, auto or all, not 'yes'");
        row("missing languages", {"x.pdf", "--ocr-lang"}, "option '--ocr-lang' needs a value");
        row("unknown option", {"--fast", "x.pdf"}, "unknown option '--fast'");
        row("unknown option last", {"x.pdf", "--bogus"}, "unknown option '--bogus'");
        row("misspelt help", {"--helpx"}, "unknown option '--helpx'");
        row("unknown short option", {"-x", "x.pdf"}, "unknown option '-x'");
        row("unknown option with a value", {"--fast=1", "x.pdf"}, "unknown option '--fast'");
        row("switch with a value", {"--text=1", "x.pdf"}, "option '--text' takes no value");
        row("negated switch with a value", {"--no-meta=0", "x.pdf"}, "option '--no-meta' takes no value");
        row("missing folder", {"x.pdf", "-o"}, "option '-o' needs a value");
        row("help with a value", {"--help=all"}, "option '--help' takes no value");
        row("hostile option", {"--\x1b]0;t\x07", "x.pdf"}, "unknown option '--\\x1b]0;t\\x07'");
        row("missing value", {"x.pdf", "--encoding"}, "option '--encoding' needs a value");
        row("missing page", {"x.pdf", "--first"}, "option '--first' needs a value");
        row("missing password file", {"--user-password-file", "/no/such", "x.pdf"},
            "cannot read the password file '/no/such'");
        row("password file a folder", {"--owner-password-file", "/", "x.pdf"},
            "the password file '/' is a folder, not a file");
        row("password line without end", {"--user-password-file", "/dev/zero", "x.pdf"},
            "the first line of the password file '/dev/zero' is longer than 64 KiB");
        row("no jobs", {"-j", "0", "x.pdf"}, "-j takes a number of processes from 1 to 256, not '0'");
        row("jobs beyond the cap", {"--jobs=257", "x.pdf"},
            "--jobs takes a number of processes from 1 to 256, not '257'");
        row("jobs not a whole number", {"--jobs", "2.5", "x.pdf"},
            "--jobs takes a number of processes from 1 to 256, not '2.5'");
        row("negative jobs", {"-j", "-1", "x.pdf"}, "-j takes a number of processes from 1 to 256, not '-1'");
        row("jobs without a number", {"x.pdf", "--jobs"}, "option '--jobs' needs a value");
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        const Run run = cli(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, "folverin-cli: " + message + "\nTry 'folverin-cli --help' for more information.\n");
        QVERIFY(!QFile::exists(settingsPath()));
    }

    // A script's report: a line of JSON for each file, in batch order, with what became of it;
    // a name that is not UTF-8 still makes a line that parses.
    void aReportTellsEachFileInBatchOrder() {
        QDir().mkpath(path(QStringLiteral("report")));
        const QString first = pdf(QStringLiteral("report/a.pdf"), {"one", "two"});
        QFile broken(path(QStringLiteral("report/b.pdf")));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("%PDF-1.4 not really") > 0);
        broken.close();
        const QString last = pdf(QStringLiteral("report/c.pdf"));
        const QString report = path(QStringLiteral("run.jsonl"));
        const Run run = cli({QStringLiteral("--no-settings"), QStringLiteral("-q"),
                             QStringLiteral("--report"), report, path(QStringLiteral("report"))});
        QCOMPARE(run.status, 1);
        const QList<QByteArray> lines = read(report).split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.last(), QByteArray());
        QList<QJsonObject> files;
        for (const QByteArray& line : lines.first(3)) {
            QJsonParseError error;
            const QJsonDocument parsed = QJsonDocument::fromJson(line, &error);
            QVERIFY2(parsed.isObject(),
                     qPrintable(error.errorString() + QLatin1Char(' ') + QString::fromUtf8(line)));
            files.append(parsed.object());
        }
        QCOMPARE(files[0][QStringLiteral("path")].toString(), first);
        QCOMPARE(files[0][QStringLiteral("output")].toString(), path(QStringLiteral("report/a.txt")));
        QCOMPARE(files[0][QStringLiteral("result")].toString(), QStringLiteral("converted"));
        QCOMPARE(files[0][QStringLiteral("pages")].toInt(), 2);
        QVERIFY(files[0][QStringLiteral("seconds")].toDouble() >= 0);
        QCOMPARE(files[0][QStringLiteral("messages")].toArray().size(), 0);
        QCOMPARE(files[1][QStringLiteral("result")].toString(), QStringLiteral("skipped"));
        QCOMPARE(files[1][QStringLiteral("messages")].toArray().first().toString(),
                 QStringLiteral("Not a valid pdf file!"));
        QCOMPARE(files[2][QStringLiteral("path")].toString(), last);
        QCOMPARE(files[2][QStringLiteral("result")].toString(), QStringLiteral("converted"));
        // Bytes that are not UTF-8 and control characters keep the line valid JSON.
        QCOMPARE(QByteArray::fromStdString(RunReport::jsonString(std::string("c-\xe9\"\\\n.pdf"))),
                 QByteArray("\"c-\\ufffd\\\"\\\\\\u000a.pdf\""));

        // A report that cannot be written stops the run before anything is converted.
        const Run refused =
            cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), QStringLiteral("--report"),
                 path(QStringLiteral("missing/run.jsonl")), first});
        QCOMPARE(refused.status, 2);
        QVERIFY(refused.err.contains("cannot write the report"));
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
        // A pipe is a fine place for a secret: its first line is the password.
        QFile::remove(path(QStringLiteral("locked.txt")));
        QProcess shell;
        shell.setProcessEnvironment(environment());
        shell.start(QStringLiteral("bash"), {QStringLiteral("-c"),
                                             QStringLiteral("\"$0\" --no-settings -q --user-password-file "
                                                            "<(printf 's3cret word\\nnext\\n') \"$1\""),
                                             program(), locked});
        waitFor(shell);
        QVERIFY2(shell.exitCode() == 0, shell.readAllStandardError().constData());
        QCOMPARE(read(path(QStringLiteral("locked.txt"))), QByteArray("hello\r\n\f"));

        run = cli({QStringLiteral("--summary"), plain, locked});
        QCOMPARE(run.status, 1); // the summary opens without passwords
        const QList<QByteArray> reports = run.out.split('\n');
        QVERIFY(reports.contains("\tNumber of Pages: 1"));
        QVERIFY(reports.contains("\tCommenting: Allowed"));
        QCOMPARE(run.err, locked.toUtf8() + ": Not a valid pdf file!\n");
        QVERIFY(!QFile::exists(path(QStringLiteral("plain.txt"))));
        // With its password, in a worker and in this process alike.
        for (const QString& jobs : {QStringLiteral("2"), QStringLiteral("1")}) {
            run = cli({QStringLiteral("--summary"), QStringLiteral("-j"), jobs,
                       QStringLiteral("--user-password"), QStringLiteral("s3cret word"), locked});
            QVERIFY2(run.status == 0, run.err.constData());
            QVERIFY(run.out.split('\n').contains("\tNumber of Pages: 1"));
        }
    }

    // No languages given means English, on the command line and in the settings alike: the
    // scan is read, not written as an empty page.
    void emptyRecognitionLanguagesMeanEnglish() {
        const QString scanned = scan(QStringLiteral("scan.pdf"));
        const QString output = path(QStringLiteral("scan.txt"));
        Run run = cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), QStringLiteral("--ocr-lang"),
                       QString(), scanned});
        QVERIFY2(run.status == 0 && run.err.isEmpty(), run.err.constData());
        QVERIFY2(read(output).contains("Introduction"), read(output).constData());

        QFile::remove(output);
        QDir().mkpath(QFileInfo(settingsPath()).path());
        QFile settings(settingsPath());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Output Options]\r\nOCR Languages=\r\n");
        settings.close();
        run = cli({QStringLiteral("-q"), QStringLiteral("--text"), scanned});
        QVERIFY2(run.status == 0 && run.err.isEmpty(), run.err.constData());
        QVERIFY2(read(output).contains("Introduction"), read(output).constData());
    }

    // A small scan, a garbled text layer and turned and skewed scans are read in workers and in
    // one process alike, and the report says why and how each page was read; the summary names
    // both reasons, and so does the message with recognition off.
    void pagesWithoutTextOrWithUnusableTextAreRead() {
        QVERIFY(QDir().mkpath(path(QStringLiteral("read"))));
        ScanFixture scans(path(QStringLiteral("read")));
        const QString both =
            scans.joined(QStringLiteral("both.pdf"), {scans.smallScan(), scans.garbledText(),
                                                      scans.proseScan(QStringLiteral("turned-270")),
                                                      scans.proseScan(QStringLiteral("skewed-4"))});
        Run run = cli({QStringLiteral("--summary"), both});
        QVERIFY(run.out.split('\n').contains("\tPages without text: 3"));
        QVERIFY(run.out.split('\n').contains("\tPages with unusable text: 1"));
        const QStringList source =
            ScanFixture::words((ScanFixture::scannedLines() + ScanFixture::garbledSourceLines())
                                   .join(QLatin1Char(' '))
                                   .toUtf8());
        const QString output = path(QStringLiteral("read/both.txt"));
        for (const QString& jobs : {QStringLiteral("2"), QStringLiteral("1")}) {
            QFile::remove(output);
            const QString report = path(QStringLiteral("read/report.jsonl"));
            run = cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), QStringLiteral("-j"), jobs,
                       QStringLiteral("--report"), report, both});
            QVERIFY2(run.status == 0 && run.err.isEmpty(), run.err.constData());
            QVERIFY2(ScanFixture::recall(source, ScanFixture::words(read(output))) >= 0.9,
                     read(output).constData());
            const QJsonArray pagesRead =
                QJsonDocument::fromJson(read(report)).object()[QStringLiteral("read")].toArray();
            QCOMPARE(pagesRead.size(), 4);
            const QStringList reasons{QStringLiteral("no text"), QStringLiteral("unusable text"),
                                      QStringLiteral("no text"), QStringLiteral("no text")};
            for (int page = 1; page <= 4; ++page) {
                const QJsonObject pageRead = pagesRead[page - 1].toObject();
                QCOMPARE(pageRead[QStringLiteral("page")].toInt(), page);
                QCOMPARE(pageRead[QStringLiteral("reason")].toString(), reasons[page - 1]);
                QCOMPARE(pageRead[QStringLiteral("turn")].toInt(), page == 3 ? 270 : 0);
                QCOMPARE(qRound(std::abs(pageRead[QStringLiteral("skew")].toDouble())), page == 4 ? 4 : 0);
            }
        }
        run = cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), QStringLiteral("--ocr"),
                   QStringLiteral("no"), both});
        QVERIFY2(
            run.err.contains("' has 3 pages without text and 1 pages with unusable text; turn on Recognize "
                             "Scanned Pages to read them."),
            run.err.constData());
    }

    // An engine configuration that is a folder cannot be rewritten at start: each job says what
    // is wrong with it, not just where the engine looks instead.
    void aConfigurationFolderIsNamedAsSuch() {
        const QString config = path(QStringLiteral("config/Corvanta/Folverin/CMapConfig.ini"));
        QVERIFY(QDir().mkpath(config));
        const QString in = pdf(QStringLiteral("doc.pdf"));
        for (const QString& jobs : {QStringLiteral("1"), QStringLiteral("2")}) {
            const Run run =
                cli({QStringLiteral("--no-settings"), QStringLiteral("-q"), QStringLiteral("-j"), jobs, in});
            QVERIFY2(
                run.err.contains("The engine configuration '" + config.toUtf8() +
                                 "' is a folder, not a file, so the engine looks for its configuration in '"),
                run.err.constData());
            QCOMPARE(read(path(QStringLiteral("doc.txt"))), QByteArray("hello\r\n\f"));
        }
    }

    void helpAndVersion() {
        Run run = cli({QStringLiteral("-h")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith("Usage: folverin-cli [OPTIONS] PATH...\n"));
        for (const QByteArray& line : run.out.split('\n'))
            QVERIFY2(line.size() < 80, line.constData());
        const QByteArray words = run.out.simplified();
        for (const char* listed : {"-h, --help", "--version", "-0, --null", " -- ", "--option=value", "130",
                                   "143", "Latin1", "ISO-2022-CN", "KSX1001", "Windows-1255"})
            QVERIFY2(words.contains(listed), listed);
        QCOMPARE(cli({QStringLiteral("--help")}).out, run.out);
        run = cli({QStringLiteral("--version")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith("folverin-cli "));
    }

    void lastOptionOfAPairWins() {
        const platform::Result<CliOptions> parsed = CliOptions::parse(
            {"--html", "--text", "--first",   "2",          "--jobs",    "256",   "--all-pages",
             "-j",     "3",      "--no-raw",  "--raw",      "--eol=mac", "--eol", "unix",
             "--ocr",  "no",     "--ocr=ALL", "--ocr-lang", "eng+deu",   "--",    "--odd name.pdf"});
        QVERIFY(parsed.ok());
        const CliOptions& options = parsed.value();
        QCOMPARE(options.jobs, 3);
        ConvertOptions converted = ConvertOptions::defaults();
        converted.endPage = 9;
        options.applyTo(converted);
        QCOMPARE(converted.outputMode, option::textFile);
        QCOMPARE(converted.rawMode, option::yes);
        QCOMPARE(converted.endOfLine, option::eolUnix);
        QCOMPARE(converted.recognizeScannedPages, option::recognizeAllPages);
        QCOMPARE(testsupport::bytes(converted.ocrLanguages), testsupport::bytes("eng+deu"));
        QCOMPARE(converted.layout, ConvertOptions::defaults().layout); // not given: kept
        QCOMPARE(converted.pageRange, option::allPages);
        QCOMPARE(converted.startPage, 2);
        QCOMPARE(converted.endPage,
                 std::numeric_limits<std::int32_t>::max()); // to the last page, not the saved one
        QCOMPARE(testsupport::texts(options.paths), QStringList{QStringLiteral("--odd name.pdf")});
    }

    // The third mode is a flag of the same field: the last of the three wins, and it names
    // the output ".md".
    void markdownIsTheThirdOutputMode() {
        const auto modeOf = [](const std::vector<std::string>& arguments) {
            const platform::Result<CliOptions> parsed = CliOptions::parse(arguments);
            ConvertOptions converted = ConvertOptions::defaults();
            if (parsed.ok())
                parsed.value().applyTo(converted);
            return converted;
        };
        const ConvertOptions markdown = modeOf({"--html", "--markdown", "/in/a.b.pdf"});
        QCOMPARE(markdown.outputMode, option::markdownFile);
        QCOMPARE(testsupport::bytes(OutputNames::pathFor("/in/a.b.pdf", markdown)), QByteArray("/in/a.b.md"));
        QCOMPARE(modeOf({"--markdown", "--text", "a.pdf"}).outputMode, option::textFile);
        QCOMPARE(modeOf({"--markdown", "--html", "a.pdf"}).outputMode, option::htmlFile);
        QVERIFY(!CliOptions::parse({"--markdown=yes", "a.pdf"}).ok());
        QVERIFY(cli({QStringLiteral("--help")}).out.simplified().contains("--text | --html | --markdown"));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
