#include "FixturePdf.h"
#include "PseudoTerminal.h"
#include "TestSupport.h"
#include "cli/CliOptions.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
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

    Run cli(const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(environment());
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
            path(QStringLiteral("t/worse [2J name.pdf")).toUtf8() + ": Not a valid pdf file!";
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

    // Ctrl+C stops after the file in progress: what was written is whole, the rest is left
    // as it was, no temporary file stays, and the status tells a script it was interrupted.
    void interruptStopsAfterTheFileInProgress() {
        QDir().mkpath(path(QStringLiteral("int")));
        for (int file = 1; file <= 8; ++file)
            QVERIFY(fixtures::writeLargeTextPdf(path(QStringLiteral("int/doc%1.pdf").arg(file)), 300, 40));
        const QStringList options{QStringLiteral("--no-settings"), QStringLiteral("-j"), QStringLiteral("2")};
        QCOMPARE(cli(options + QStringList{QStringLiteral("-o"), path(QStringLiteral("whole")),
                                           path(QStringLiteral("int/doc1.pdf"))})
                     .status,
                 0);
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program(), options + QStringList{path(QStringLiteral("int"))});
        QVERIFY(process.waitForReadyRead(60000)); // the first file's path: the batch is under way
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        waitFor(process);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + SIGINT);
        QVERIFY(process.readAllStandardError().contains("stopping after the file in progress"));
        const QStringList written = QDir(path(QStringLiteral("int"))).entryList({QStringLiteral("*.txt")});
        QVERIFY2(!written.isEmpty() && written.size() < 8, qPrintable(written.join(QLatin1Char(' '))));
        for (const QString& name : written)
            QCOMPARE(read(path(QStringLiteral("int/") + name)), read(path(QStringLiteral("whole/doc1.txt"))));
        QCOMPARE(QDir(path(QStringLiteral("int")))
                     .entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden),
                 QStringList());
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
        QTest::newRow("no jobs") << QStringList{QStringLiteral("-j"), QStringLiteral("0"),
                                                QStringLiteral("x.pdf")};
        QTest::newRow("jobs beyond the cap")
            << QStringList{QStringLiteral("--jobs=257"), QStringLiteral("x.pdf")};
        QTest::newRow("jobs not a whole number")
            << QStringList{QStringLiteral("--jobs"), QStringLiteral("2.5"), QStringLiteral("x.pdf")};
        QTest::newRow("negative jobs")
            << QStringList{QStringLiteral("-j"), QStringLiteral("-1"), QStringLiteral("x.pdf")};
        QTest::newRow("jobs without a number")
            << QStringList{QStringLiteral("x.pdf"), QStringLiteral("--jobs")};
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
        QVERIFY(CliOptions::parse({"--html", "--text", "--first", "2", "--jobs", "256", "--all-pages", "-j",
                                   "3", "--", "--odd name.pdf"},
                                  options, error));
        QCOMPARE(options.jobs, 3);
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
