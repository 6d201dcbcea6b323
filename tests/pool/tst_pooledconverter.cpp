#include "ConversionFixture.h"
#include "FixturePdf.h"
#include "ScanFixture.h"
#include "StructuredPdf.h"
#include "TestSupport.h"

#include "core/CMapConfig.h"
#include "core/SummaryReport.h"
#include "ocr/TesseractReader.h"
#include "pool/PooledConverter.h"
#include "pool/SummaryClient.h"
#include "pool/WorkerMessages.h"
#include "pool/WorkerProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QTest>
#include <functional>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>

// Conversion in worker processes as a batch meets it: hostile documents cost their own job,
// jobs reach the user and the disk in job order however fast their workers are, and a
// document cut into pieces gives the bytes of one piece.
class TestPooledConverter : public QObject {
    Q_OBJECT

    std::unique_ptr<ConversionFixture> fixture;

    struct Client : BatchClient {
        ConvertOptions options = ConvertOptions::defaults();
        std::function<void(int)> afterJob; // job number just converted
        QStringList progressTexts;
        QList<int> messagesBeforeJob; // messages shown when each job was reported converted
        platform::ScriptedDialogs* dialogs = nullptr;
        QList<QPair<int, int>> pages;
        std::function<void()> onPage;

        ConvertOptions optionsForJob() override { return options; }
        JobPasswords passwordsFor(const BatchEntry&) override { return {}; }
        void pageProgress(int done, int count) override {
            pages.append({done, count});
            if (onPage)
                onPage();
        }
        void message(const JobMessage& message) override { ConversionFixture::show(message); }
        void jobConverted(int jobNumber, const std::string& text, const std::string&) override {
            progressTexts.append(QString::fromStdString(text));
            messagesBeforeJob.append(static_cast<int>(dialogs->messageTexts().size()));
            if (afterJob)
                afterJob(jobNumber);
        }
    };

    PooledConverter::Settings settings(int workers,
                                       const QString& program = QStringLiteral("faulty-worker")) {
        PooledConverter::Settings result;
        result.pool.program = testsupport::path(testsupport::programDir() + QLatin1Char('/') + program);
        result.pool.workers = workers;
        result.pool.memoryLimitBytes = 256ull << 20;
        result.pool.silenceLimit = std::chrono::milliseconds{2000};
        result.configPath = testsupport::path(fixture->configPath());
        result.programDir = testsupport::path(testsupport::programDir() + QLatin1Char('/'));
        return result;
    }

    QString copyAs(const QString& source, const QString& name) {
        const QString file = fixture->path(name);
        QDir().mkpath(QFileInfo(file).path());
        QFile::remove(file);
        if (!QFile::copy(source, file))
            qFatal("cannot copy to %s", qPrintable(file));
        return file;
    }

    QString largePdf(int pages) {
        const QString file = fixture->path(QStringLiteral("large-%1.pdf").arg(pages));
        if (!QFile::exists(file) && !fixtures::writeLargeTextPdf(file, pages, 40))
            qFatal("cannot write %s", qPrintable(file));
        return file;
    }

    QString tenPages() {
        const QString file = fixture->path(QStringLiteral("ten.pdf"));
        fixtures::RawPdf pdf;
        for (int page = 1; page <= 10; ++page)
            pdf.pageTexts.append("Page " + QByteArray::number(page));
        if (!QFile::exists(file) && !fixtures::writeRawPdf(file, pdf))
            qFatal("cannot write %s", qPrintable(file));
        return file;
    }

    BatchOutcome run(PooledConverter& converter, Client& client, const QStringList& pdfs,
                     BatchRunner** runner = nullptr) {
        client.dialogs = &fixture->dialogs;
        std::vector<BatchEntry> entries;
        for (const QString& pdf : pdfs)
            entries.push_back({testsupport::path(pdf), static_cast<int>(entries.size())});
        BatchRunner batch(converter, client);
        if (runner)
            *runner = &batch;
        return batch.run(entries);
    }

    QStringList leftovers() const {
        return QDir(fixture->path(QString()))
            .entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
    }

    QByteArray inProcess(const QString& pdf, const ConvertOptions& options) {
        const QByteArray text = fixture->convertedText(pdf, options);
        QFile::remove(ConversionFixture::outputPathFor(pdf, options));
        return text;
    }

    // Reading a page takes seconds where the other tests allow a worker two, and the
    // recognizer's models take more than their small memory limit.
    PooledConverter::Settings readerSettings() {
        PooledConverter::Settings result = settings(2, QStringLiteral("folverin-worker"));
        result.pool.silenceLimit = std::chrono::milliseconds{60'000};
        result.pool.memoryLimitBytes = WorkerPool::Settings{}.memoryLimitBytes;
        return result;
    }

    // The output of pdf converted by two workers that read scans, or why it was not converted.
    QByteArray convertedByReaders(const QString& pdf, const ConvertOptions& options, Client& client) {
        PooledConverter converter(readerSettings());
        client.options = options;
        if (run(converter, client, {pdf}).converted != 1)
            return "<not converted: " + fixture->messageTexts().join(QStringLiteral(" | ")).toUtf8() + ">";
        return ConversionFixture::readAll(ConversionFixture::outputPathFor(pdf, options));
    }

    struct WorkerRun {
        QList<int> replies; // kinds, in order
        platform::FileStamp stamp;
        int outcome = -1;
        QByteArray written;
    };

    // One request served by a real worker into a file of its own.
    WorkerRun serve(const ConvertRequest& request) {
        WorkerRun run;
        WorkerProcess worker(
            testsupport::path(testsupport::programDir() + QStringLiteral("/folverin-worker")), {});
        QTemporaryFile output;
        if (!output.open() || !worker.started() || !worker.send(request.record(), output.handle()))
            qFatal("cannot start a worker");
        while (run.outcome < 0 && worker.readAvailable()) {
            while (const std::optional<std::string> record = worker.nextRecord()) {
                wire::Reader reader(*record);
                run.replies.append(reader.kind());
                if (reader.kind() == reply::facts) {
                    reader.getInt();
                    reader.getInt();
                    run.stamp = wire::stampFrom(reader);
                } else if (reader.kind() == reply::message) {
                    ConversionFixture::show({reader.getText(), reader.getText()});
                } else if (reader.kind() == reply::finished) {
                    run.outcome = reader.getInt();
                }
            }
            if (run.outcome < 0)
                QTest::qWait(10);
        }
        run.written = ConversionFixture::readAll(output.fileName());
        return run;
    }

    static ConvertOptions readingScans(int recognize) {
        ConvertOptions options = ConvertOptions::defaults();
        options.textEncoding = CMapConfig::encodingIndex("UTF-8");
        options.recognizeScannedPages = recognize;
        return options;
    }

private Q_SLOTS:
    // The one-process conversion, the oracle for pieces, reads scans too.
    void initTestCase() { TesseractReader::installForProcess(); }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        fixture = std::make_unique<ConversionFixture>();
    }
    void cleanup() { fixture.reset(); }

    void hostileDocumentsCostTheirOwnJobOnly() {
        const ConvertOptions options = ConvertOptions::defaults();
        const QByteArray expected = inProcess(fixture->threePages(), options);
        const QStringList pdfs{copyAs(fixture->threePages(), QStringLiteral("good one.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("crash.pdf")),
                               copyAs(largePdf(200), QStringLiteral("crash-late.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("good two.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("hang.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("hog.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("good three.pdf"))};
        PooledConverter converter(settings(2));
        Client client;
        const BatchOutcome outcome = run(converter, client, pdfs);

        QCOMPARE(outcome.end, BatchOutcome::End::Finished);
        QCOMPARE(outcome.converted, 3);
        QCOMPARE(outcome.skipped, 4);
        const QString stopped =
            QStringLiteral("The converter stopped on the file '%1' (%2), so it is not converted.");
        QCOMPARE(fixture->messageTexts(),
                 QStringList({stopped.arg(pdfs[1], QStringLiteral("crashed")),
                              stopped.arg(pdfs[2], QStringLiteral("crashed")),
                              stopped.arg(pdfs[4], QStringLiteral("no progress for 2 s")),
                              stopped.arg(pdfs[5], QStringLiteral("crashed"))}));
        QCOMPARE(client.progressTexts,
                 QStringList({QStringLiteral("File 1 of 7, 14%"), QStringLiteral("File 4 of 7, 57%"),
                              QStringLiteral("File 7 of 7, 100%")}));
        for (int job : {0, 3, 6})
            QCOMPARE(ConversionFixture::readAll(ConversionFixture::outputPathFor(pdfs[job], options)),
                     expected);
        for (int job : {1, 2, 4, 5})
            QVERIFY2(!QFile::exists(ConversionFixture::outputPathFor(pdfs[job], options)),
                     qPrintable(pdfs[job]));
        QCOMPARE(leftovers(), QStringList());

        // One worker holds the next request behind the one in progress: when the first
        // brings it down, the next goes to a new worker and converts.
        PooledConverter single(settings(1));
        fixture->dialogs.clear();
        QFile::remove(ConversionFixture::outputPathFor(pdfs[3], options));
        QCOMPARE(run(single, client, {pdfs[1], pdfs[3]}).converted, 1);
        QCOMPARE(fixture->messageTexts(), QStringList{stopped.arg(pdfs[1], QStringLiteral("crashed"))});
        QCOMPARE(ConversionFixture::readAll(ConversionFixture::outputPathFor(pdfs[3], options)), expected);

        // A worker program that is not there is named, not taken for a crash.
        PooledConverter broken(settings(1, QStringLiteral("no-such-worker")));
        fixture->dialogs.clear();
        QCOMPARE(run(broken, client, {pdfs[0]}).skipped, 1);
        QVERIFY2(
            fixture->messageTexts().value(0).contains(QStringLiteral("no-such-worker cannot be started")),
            qPrintable(fixture->messageTexts().value(0)));
    }

    // A long first job and short ones after it on two workers: the short ones finish first,
    // yet messages, progress texts and output files follow job order.
    void jobsReachTheUserAndTheDiskInJobOrder() {
        const ConvertOptions options = ConvertOptions::defaults();
        const QByteArray longText = inProcess(largePdf(400), options);
        const QStringList pdfs{copyAs(largePdf(400), QStringLiteral("long.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("short1.pdf")),
                               fixture->path(QStringLiteral("missing.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("short2.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("short3.pdf"))};
        PooledConverter converter(settings(2));
        Client client;
        QStringList existingWhenReported;
        client.afterJob = [&](int jobNumber) {
            for (int later = jobNumber; later < pdfs.size(); ++later) {
                if (QFile::exists(ConversionFixture::outputPathFor(pdfs[later], options)))
                    existingWhenReported.append(pdfs[later]);
            }
        };
        const BatchOutcome outcome = run(converter, client, pdfs);

        QCOMPARE(outcome.converted, 4);
        QCOMPARE(existingWhenReported, QStringList());
        QCOMPARE(client.progressTexts,
                 QStringList({QStringLiteral("File 1 of 5, 20%"), QStringLiteral("File 2 of 5, 40%"),
                              QStringLiteral("File 4 of 5, 80%"), QStringLiteral("File 5 of 5, 100%")}));
        QCOMPARE(fixture->messageTexts(), QStringList{QStringLiteral("Not a valid pdf file!")});
        QCOMPARE(client.messagesBeforeJob, QList<int>({0, 0, 1, 1}));
        // The long job's pages count up to its 400, then each short job's 3; the long job's
        // count is told before its first page is done, so a window shows it at once.
        QVERIFY(!client.pages.isEmpty());
        QCOMPARE(client.pages.first(), qMakePair(0, 400));
        for (qsizetype i = 1; i < client.pages.size(); ++i) {
            const bool sameJob = client.pages[i].second == client.pages[i - 1].second &&
                                 client.pages[i].first > client.pages[i - 1].first;
            const bool nextJob = client.pages[i - 1].first == client.pages[i - 1].second;
            QVERIFY2(sameJob || nextJob, qPrintable(QStringLiteral("at report %1").arg(i)));
        }
        QCOMPARE(fixture->readAll(ConversionFixture::outputPathFor(pdfs[0], options)), longText);
    }

    void stopAndARangeEndLeaveLaterJobsUnwritten() {
        ConvertOptions options = ConvertOptions::defaults();
        QStringList pdfs;
        for (int job = 1; job <= 5; ++job)
            pdfs.append(copyAs(fixture->threePages(), QStringLiteral("stop%1.pdf").arg(job)));
        PooledConverter converter(settings(2));
        Client client;
        BatchRunner* runner = nullptr;
        // Job 2 was converted ahead with DOS line ends; the change after job 1 counts for it.
        client.afterJob = [&](int jobNumber) {
            client.options.endOfLine = option::eolUnix;
            if (jobNumber == 2)
                runner->requestStop();
        };
        QCOMPARE(run(converter, client, pdfs, &runner).end, BatchOutcome::End::Stopped);
        for (int job = 0; job < 5; ++job)
            QCOMPARE(QFile::exists(ConversionFixture::outputPathFor(pdfs[job], options)), job < 2);
        QVERIFY(
            ConversionFixture::readAll(ConversionFixture::outputPathFor(pdfs[0], options)).contains("\r\n"));
        QVERIFY(
            !ConversionFixture::readAll(ConversionFixture::outputPathFor(pdfs[1], options)).contains('\r'));
        QCOMPARE(leftovers(), QStringList());

        // Pages 5 to 6 of a ten-page, a three-page and a ten-page document: the second ends the
        // batch and the third, converted ahead, is never written.
        Client rangeClient;
        rangeClient.options.pageRange = option::selectedPages;
        rangeClient.options.startPage = 5;
        rangeClient.options.endPage = 6;
        const QStringList ranged{copyAs(tenPages(), QStringLiteral("range1.pdf")),
                                 copyAs(fixture->threePages(), QStringLiteral("range2.pdf")),
                                 copyAs(tenPages(), QStringLiteral("range3.pdf"))};
        fixture->dialogs.clear();
        QCOMPARE(run(converter, rangeClient, ranged).end, BatchOutcome::End::EndedEarly);
        QCOMPARE(fixture->messageTexts().size(), 1);
        QVERIFY(QFile::exists(ConversionFixture::outputPathFor(ranged[0], options)));
        QVERIFY(!QFile::exists(ConversionFixture::outputPathFor(ranged[2], options)));
        QCOMPARE(leftovers(), QStringList());
    }

    // Stop while a long first job converts, cut into pieces: that job ends too, its old output
    // stays, and neither its temporaries nor those of the jobs worked on ahead are left.
    void stopEndsTheJobInProgressAndTheWorkAhead() {
        QStringList pdfs{copyAs(largePdf(400), QStringLiteral("first.pdf"))};
        for (int job = 2; job <= 7; ++job)
            pdfs.append(copyAs(fixture->threePages(), QStringLiteral("ahead%1.pdf").arg(job)));
        const ConvertOptions options = ConvertOptions::defaults();
        const QString firstOutput = ConversionFixture::outputPathFor(pdfs[0], options);
        QFile planted(firstOutput);
        QVERIFY(planted.open(QIODevice::WriteOnly) && planted.write("old text\n") == 9);
        planted.close();
        PooledConverter converter(settings(2));
        Client client;
        BatchRunner* runner = nullptr;
        client.onPage = [&] { runner->requestStop(); };
        const BatchOutcome outcome = run(converter, client, pdfs, &runner);
        QCOMPARE(outcome.end, BatchOutcome::End::Stopped);
        QCOMPARE(outcome.converted, 0);
        QCOMPARE(client.progressTexts, QStringList());
        QCOMPARE(ConversionFixture::readAll(firstOutput), QByteArray("old text\n"));
        for (int job = 1; job < pdfs.size(); ++job)
            QVERIFY(!QFile::exists(ConversionFixture::outputPathFor(pdfs[job], options)));
        QCOMPARE(leftovers(), QStringList());

        // A worker that makes no progress is not waited for: its job ends at the stop, long
        // before the silence limit would end it, and nothing is said about it.
        PooledConverter patient([&] {
            PooledConverter::Settings slow = settings(2);
            slow.pool.silenceLimit = std::chrono::seconds{60};
            return slow;
        }());
        Client stopping;
        std::thread stopper;
        QElapsedTimer sinceStop;
        stopping.afterJob = [&](int) {
            stopper = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds{300});
                sinceStop.start();
                runner->requestStop();
            });
        };
        fixture->dialogs.clear();
        const QStringList hanging{pdfs[1], copyAs(fixture->threePages(), QStringLiteral("hang.pdf"))};
        QCOMPARE(run(patient, stopping, hanging, &runner).end, BatchOutcome::End::Stopped);
        stopper.join();
        QVERIFY2(sinceStop.elapsed() < 20'000, qPrintable(QString::number(sinceStop.elapsed())));
        QCOMPARE(fixture->messageTexts(), QStringList());
        QCOMPARE(leftovers(), QStringList());
    }

    // A PDF rewritten while its pieces convert would join pages of two documents; an engine
    // that runs out of memory in C++ code is named as such, not as a crash.
    void changedDocumentsAndExhaustedMemoryCostTheirJobs() {
        const ConvertOptions options = ConvertOptions::defaults();
        const QStringList pdfs{copyAs(largePdf(200), QStringLiteral("rewritten-late.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("throw.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("fine.pdf"))};
        PooledConverter converter(settings(2));
        Client client;
        const BatchOutcome outcome = run(converter, client, pdfs);
        QCOMPARE(outcome.converted, 1);
        QCOMPARE(
            fixture->messageTexts(),
            QStringList({QStringLiteral("The file '%1' changed while it was being converted, so it is not "
                                        "converted.")
                             .arg(pdfs[0]),
                         QStringLiteral("The converter stopped on the file '%1' (it ran out of memory), so "
                                        "it is not converted.")
                             .arg(pdfs[1])}));
        QVERIFY(!QFile::exists(ConversionFixture::outputPathFor(pdfs[0], options)));
        QCOMPARE(leftovers(), QStringList());
    }

    // Another user's link in a shared folder is replaced, not written through; our own link is
    // followed; an output that links to a PDF of the batch is refused.
    void outputsGoThroughOwnLinksOnlyAndNeverOverABatchPdf() {
        const ConvertOptions options = ConvertOptions::defaults();
        const QString shared = fixture->path(QStringLiteral("shared"));
        QDir().mkpath(shared + QStringLiteral("/mine"));
        const QString victim = fixture->path(QStringLiteral("secret.conf"));
        QFile secret(victim);
        QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("secret\n") == 7);
        secret.close();
        const QStringList pdfs{copyAs(fixture->threePages(), QStringLiteral("shared/report.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("shared/a.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("shared/b.pdf")),
                               copyAs(fixture->threePages(), QStringLiteral("shared/own.pdf"))};
        const QByteArray originalPdf = ConversionFixture::readAll(pdfs[2]);
        QVERIFY(QFile::link(victim, shared + QStringLiteral("/report.txt")));
        const bool otherUser = ::geteuid() == 0;
        if (otherUser) // as root a link can be given to another user, as one planted by them
            QCOMPARE(
                ::lchown(QFile::encodeName(shared + QStringLiteral("/report.txt")).constData(), 65534, 65534),
                0);
        QVERIFY(QFile::link(shared + QStringLiteral("/b.pdf"), shared + QStringLiteral("/a.txt")));
        QVERIFY(QFile::link(shared + QStringLiteral("/mine/own-target.txt"),
                            shared + QStringLiteral("/own.txt")));
        PooledConverter converter(settings(2));
        Client client;
        const BatchOutcome outcome = run(converter, client, pdfs);

        QCOMPARE(outcome.converted, 3);
        QCOMPARE(
            fixture->messageTexts(),
            QStringList{QStringLiteral("The output file '%1' would replace the PDF file '%2' of this batch, "
                                       "so '%3' is not converted.")
                            .arg(shared + QStringLiteral("/a.txt"), pdfs[2], pdfs[1])});
        QCOMPARE(ConversionFixture::readAll(pdfs[2]), originalPdf);
        const QByteArray expected = inProcess(fixture->threePages(), options);
        QCOMPARE(ConversionFixture::readAll(shared + QStringLiteral("/mine/own-target.txt")), expected);
        QVERIFY(QFileInfo(shared + QStringLiteral("/own.txt")).isSymLink());
        if (otherUser) {
            QCOMPARE(ConversionFixture::readAll(victim), QByteArray("secret\n"));
            QVERIFY(!QFileInfo(shared + QStringLiteral("/report.txt")).isSymLink());
            QCOMPARE(ConversionFixture::readAll(shared + QStringLiteral("/report.txt")), expected);
        }
        QCOMPARE(QDir(shared).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // The program alone cuts a job: a first request on a range it would cut reports the facts
    // and writes nothing, and a request with an order writes exactly its pages, from the very
    // file the facts came from.
    void workersReportFactsAndWriteExactlyThePagesAsked() {
        const QString pdf = tenPages();
        ConvertOptions options = ConvertOptions::defaults();
        options.textEncoding = CMapConfig::encodingIndex("UTF-8");
        ConvertRequest request;
        request.job = {testsupport::path(pdf), {}, {}, 1, 1};
        request.options = options;
        request.configPath = testsupport::path(fixture->configPath());
        request.programDir = testsupport::path(testsupport::programDir() + QLatin1Char('/'));
        request.outputPath = testsupport::path(fixture->path(QStringLiteral("ten.txt")));
        request.cutFrom = 10;
        WorkerRun facts = serve(request);
        QCOMPARE(facts.replies.value(0), reply::facts);
        QCOMPARE(facts.outcome, int(JobOutcome::Converted));
        QCOMPARE(facts.written, QByteArray());

        request.order = PageOrder{{4, 6, false, false}, std::nullopt};
        request.documentStamp = facts.stamp;
        ConvertOptions pagesFourToSix = options;
        pagesFourToSix.pageRange = 1;
        pagesFourToSix.startPage = 4;
        pagesFourToSix.endPage = 6;
        const QByteArray expected = inProcess(pdf, pagesFourToSix);
        QCOMPARE(serve(request).written, expected);

        request.documentStamp.modifiedSeconds += 1;
        const WorkerRun changed = serve(request);
        QCOMPARE(changed.outcome, int(JobOutcome::Skipped));
        QCOMPARE(changed.written, QByteArray());
        QVERIFY(fixture->messageTexts().join(QLatin1Char('|')).contains(QStringLiteral("changed while")));
    }

    void piecesJoinToTheBytesOfOnePiece_data() {
        QTest::addColumn<int>("outputMode");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("rawMode");
        QTest::addColumn<int>("endOfLine");
        QTest::addColumn<int>("pageBreaks");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("htmlMeta");
        QTest::newRow("text, layout, dos, breaks") << 0 << 0 << 1 << 0 << 0 << "Latin1" << 0;
        QTest::newRow("text, raw, unix, no breaks") << 0 << 1 << 0 << 1 << 1 << "UTF-8" << 0;
        QTest::newRow("text, reading order, mac") << 0 << 1 << 1 << 2 << 0 << "Shift-JIS" << 0;
        QTest::newRow("html, meta, layout") << 1 << 0 << 1 << 1 << 0 << "UTF-8" << 0;
        QTest::newRow("html, no meta, iso-2022") << 1 << 1 << 1 << 0 << 1 << "ISO-2022-JP" << 1;
    }

    void piecesJoinToTheBytesOfOnePiece() {
        QFETCH(int, outputMode);
        QFETCH(int, layout);
        QFETCH(int, rawMode);
        QFETCH(int, endOfLine);
        QFETCH(int, pageBreaks);
        QFETCH(QString, encoding);
        QFETCH(int, htmlMeta);
        ConvertOptions options = ConvertOptions::defaults();
        options.outputMode = outputMode;
        options.layout = layout;
        options.rawMode = rawMode;
        options.endOfLine = endOfLine;
        options.pageBreaks = pageBreaks;
        options.textEncoding = CMapConfig::encodingIndex(encoding.toStdString());
        options.htmlMeta = htmlMeta;
        // Latin text over many pages, and Japanese, Greek and Cyrillic over enough to be cut.
        fixtures::TextPdf scripts;
        for (int page = 1; page <= 70; ++page)
            scripts.pages.append({QStringLiteral("日本語のテキスト %1 ページ").arg(page),
                                  QStringLiteral("Ελληνικά κείμενο & <σελίδα> %1").arg(page),
                                  QStringLiteral("Русский текст \"%1\"").arg(page)});
        const QString scriptPdf = fixture->path(QStringLiteral("scripts.pdf"));
        QVERIFY(fixtures::writeTextPdf(scriptPdf, scripts));
        for (const QString& pdf : {largePdf(300), scriptPdf}) {
            const QByteArray whole = inProcess(pdf, options);
            QVERIFY(whole.size() > 1000);
            Client client;
            QCOMPARE(convertedByReaders(pdf, options, client), whole);
        }
    }

    // A piece judges its pages by what one task would see: the document's style from the same
    // sample, running heads against the neighbouring pages (read beyond the piece), and a
    // paragraph running over a page end against the next page. A manual with running heads,
    // page numbers and paragraphs over page ends, cut over two workers, joins to the bytes one
    // process writes.
    void markdownPiecesJoinToTheBytesOfOnePiece() {
        const QString manual = fixture->path(QStringLiteral("manual.pdf"));
        QString error;
        QVERIFY2(fixtures::writeLongManualPdf(manual, 24, &error), qPrintable(error));
        ConvertOptions options = ConvertOptions::defaults();
        options.outputMode = option::markdownFile;
        options.textEncoding = CMapConfig::encodingIndex("UTF-8");
        options.htmlMeta = option::yes;
        for (const QString& pdf : {manual, largePdf(300)}) {
            const QByteArray whole = inProcess(pdf, options);
            QVERIFY(whole.size() > 20000);
            Client client;
            QCOMPARE(convertedByReaders(pdf, options, client), whole);
        }
    }

    // Pieces join into the first, each removed once it is in: an output that fits on the disk
    // converted in one process fits when cut into pieces too.
    void joiningPiecesNeedsRoomForTheOutputAndOnePiece() {
        if (::geteuid() != 0)
            QSKIP("a small file system of its own needs the superuser");
        ConvertOptions options = ConvertOptions::defaults();
        const QString pdf = largePdf(200);
        const QByteArray whole = inProcess(pdf, options);
        QVERIFY(whole.size() > 100000);
        const QString small = fixture->path(QStringLiteral("small"));
        QVERIFY(QDir().mkpath(small));
        const QByteArray size = "size=" + QByteArray::number(whole.size() * 3 / 2);
        if (::mount("folverin-test", QFile::encodeName(small).constData(), "tmpfs", 0, size.constData()) != 0)
            QSKIP("no file system can be mounted here");
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(small).constData(), MNT_DETACH); });
        options.outputDirectory = small.toStdString();
        PooledConverter converter(settings(2));
        Client client;
        client.options = options;
        const BatchOutcome outcome = run(converter, client, {pdf});
        QCOMPARE(fixture->messageTexts(), QStringList());
        QCOMPARE(outcome.converted, 1);
        QCOMPARE(ConversionFixture::readAll(ConversionFixture::outputPathFor(pdf, options)), whole);
        QCOMPARE(QDir(small).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("large-200.txt")});
    }

    // Another user who may write the output's folder swaps the pieces' temporaries before they
    // are joined: the job fails, the old output stays, and what they put there stays theirs.
    void swappedPiecesAreNotJoinedIntoTheOutput() {
        const ConvertOptions options = ConvertOptions::defaults();
        const QString shared = fixture->path(QStringLiteral("open"));
        QVERIFY(QDir().mkpath(shared));
        const bool otherUser = ::geteuid() == 0;
        if (otherUser)
            QCOMPARE(::chown(QFile::encodeName(shared).constData(), 65534, 65534), 0);
        const QString pdf = copyAs(largePdf(200), QStringLiteral("open/long.pdf"));
        const QString output = ConversionFixture::outputPathFor(pdf, options);
        QFile old(output);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        Client client;
        QStringList planted;
        client.onPage = [&] {
            if (client.pages.last().first < client.pages.last().second || !planted.isEmpty())
                return;
            for (const QString& name :
                 QDir(shared).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden)) {
                const QString temporary = shared + QLatin1Char('/') + name;
                QFile file(temporary);
                if (!QFile::rename(temporary, temporary + QStringLiteral(".moved")) ||
                    !file.open(QIODevice::WriteOnly) || file.write("planted") != 7)
                    qFatal("cannot swap %s", qPrintable(temporary));
                file.close();
                if (otherUser && ::chown(QFile::encodeName(temporary).constData(), 65534, 65534) != 0)
                    qFatal("cannot give %s away", qPrintable(temporary));
                planted.append(temporary);
            }
        };
        PooledConverter converter(settings(2));
        const BatchOutcome outcome = run(converter, client, {pdf});
        QCOMPARE(outcome.converted, 0);
        QCOMPARE(outcome.skipped, 1);
        QCOMPARE(fixture->messageTexts(),
                 QStringList{
                     QStringLiteral("Could not write the output file '%1': its temporary file was replaced "
                                    "by another program.")
                         .arg(output)});
        QCOMPARE(ConversionFixture::readAll(output), QByteArray("old"));
        QVERIFY(planted.size() > 1);
        for (const QString& file : planted)
            QCOMPARE(ConversionFixture::readAll(file), QByteArray("planted"));
    }

    // A document cut over several workers: its job is skipped with one message, and neither
    // the output nor a piece of it is left behind. Which piece fails first varies from run to
    // run, so it runs a few times.
    void encodingWithoutTableSkipsTheJobInEveryWorker_data() {
        QTest::addColumn<int>("run");
        for (int run = 1; run <= 3; ++run)
            QTest::addRow("run %d", run) << run;
    }
    void encodingWithoutTableSkipsTheJobInEveryWorker() {
        ConvertOptions options = ConvertOptions::defaults();
        options.textEncoding = CMapConfig::encodingIndex("KSX1001");
        const QString pdf = largePdf(300);
        QFile::remove(ConversionFixture::outputPathFor(pdf, options));
        PooledConverter converter(settings(2, QStringLiteral("folverin-worker")));
        Client client;
        client.options = options;
        fixture->dialogs.clear();
        const BatchOutcome outcome = run(converter, client, {pdf});
        QCOMPARE(outcome.converted, 0);
        QCOMPARE(outcome.end, BatchOutcome::End::Finished);
        QVERIFY2(fixture->messageTexts().size() == 1,
                 qPrintable(fixture->messageTexts().join(QStringLiteral(" | "))));
        QVERIFY2(fixture->messageTexts().first().contains(QStringLiteral("'KSX1001'")),
                 qPrintable(fixture->messageTexts().first()));
        QVERIFY(!QFile::exists(ConversionFixture::outputPathFor(pdf, options)));
        QCOMPARE(leftovers(), QStringList());
    }

    void summariesSurviveAWorkerThatDies() {
        const QString good = fixture->threePages();
        const QString crash = copyAs(good, QStringLiteral("crash.pdf"));
        SummaryClient client(settings(1).pool);
        std::string failure;
        QCOMPARE(testsupport::bytes(client.build(testsupport::path(good), failure)->plainText()),
                 testsupport::bytes(SummaryReport::build(testsupport::path(good)).plainText()));
        QVERIFY(failure.empty());
        const SummaryReport crashed = *client.build(testsupport::path(crash), failure);
        QCOMPARE(QString::fromStdString(failure),
                 QStringLiteral("The converter stopped on the file '%1' (crashed).").arg(crash));
        QVERIFY(!crashed.documentValid);
        QCOMPARE(testsupport::bytes(crashed.plainText()),
                 testsupport::bytes(SummaryReport::fileFacts(testsupport::path(crash)).plainText()));
        QCOMPARE(client.build(testsupport::path(good), failure)->pageCount, 3);
        // The worker's report says when a password is what the document lacks.
        const QString locked = fixture->encrypted(QStringLiteral("u"), QStringLiteral("o"), true);
        QVERIFY(client.build(testsupport::path(locked), failure)->encrypted);
        QVERIFY(!client.build(SummaryRequest{testsupport::path(locked), {}, "u"}, failure)->encrypted);
    }

    // A long document with scans in it is cut so each scan is a piece of its own; the pieces
    // join to the bytes of the one-process conversion. With reading off, the scans of every
    // piece are told in one message.
    void scansShareTheWorkersAndJoinToOnePiecesBytes() {
        ScanFixture scans(fixture->path(QStringLiteral("pdf")));
        const QString large = largePdf(80);
        const QString pdf =
            scans.joined(QStringLiteral("scans-among-text.pdf"),
                         {large, QStringLiteral("1-4"), scans.scan(), large, QStringLiteral("5-68"),
                          scans.scan(), large, QStringLiteral("69-80")});
        for (const int recognize : {option::recognizePagesWithoutText, option::recognizeNo}) {
            const ConvertOptions options = readingScans(recognize);
            const QByteArray whole = inProcess(pdf, options);
            QCOMPARE(whole.contains("Seven quick brown foxes"), recognize != option::recognizeNo);
            fixture->dialogs.clear();
            Client client;
            QCOMPARE(convertedByReaders(pdf, options, client), whole);
            QCOMPARE(client.pages.value(client.pages.size() - 1), qMakePair(82, 82));
            const QStringList told =
                recognize == option::recognizeNo
                    ? QStringList{QStringLiteral(
                                      "'%1' has 2 pages without text; turn on Recognize Scanned Pages "
                                      "to read them.")
                                      .arg(pdf)}
                    : QStringList();
            QCOMPARE(fixture->messageTexts(), told);
        }
    }

    // In workers every piece's text pass decides which of its pages are read, as one process
    // does: the pieces join to its bytes, and a page too large to read that a later piece met is
    // told as one process tells it.
    void piecesReadWhatOneProcessReads() {
        ScanFixture scans(fixture->path(QStringLiteral("pdf")));
        const QString large = largePdf(80);
        const QString pdf = scans.joined(QStringLiteral("pages-to-read-among-text.pdf"),
                                         {large, QStringLiteral("1-40"), scans.hugePage(), large,
                                          QStringLiteral("41-80"), scans.garbledText(), scans.smallScan()});
        const ConvertOptions options = readingScans(option::recognizePagesWithoutText);
        const QByteArray whole = inProcess(pdf, options);
        QVERIFY(whole.contains("Project documentation") && whole.contains("Seven quick brown foxes"));
        const QStringList told = fixture->messageTexts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().contains(QStringLiteral("megapixels, too large to read")),
                 qPrintable(told.first()));
        fixture->dialogs.clear();
        Client client;
        QCOMPARE(convertedByReaders(pdf, options, client), whole);
        QCOMPARE(fixture->messageTexts(), told);
    }

    // A page too large to draw and an image whose data is damaged cost at most their own job.
    void hostileScansCostTheirOwnJobOnly() {
        ScanFixture scans(fixture->path(QStringLiteral("pdf")));
        const ConvertOptions options = readingScans(option::recognizePagesWithoutText);
        const QString good = fixture->threePages();
        const QByteArray goodText = inProcess(good, options);
        PooledConverter converter(readerSettings());
        Client client;
        client.options = options;
        fixture->dialogs.clear();
        const BatchOutcome outcome = run(converter, client, {scans.hugePage(), scans.damagedScan(), good});
        QCOMPARE(outcome.end, BatchOutcome::End::Finished);
        QVERIFY(outcome.converted >= 2);
        QCOMPARE(ConversionFixture::readAll(ConversionFixture::outputPathFor(scans.hugePage(), options)),
                 QByteArray("\f"));
        QCOMPARE(ConversionFixture::readAll(ConversionFixture::outputPathFor(good, options)), goodText);
        QVERIFY2(fixture->messageTexts().value(0).contains(QStringLiteral("megapixels, too large to read")),
                 qPrintable(fixture->messageTexts().join(QStringLiteral(" | "))));
    }

    void summariesCountPagesWithoutTextInTheWorker() {
        ScanFixture scans(fixture->path(QStringLiteral("pdf")));
        SummaryClient client(readerSettings().pool);
        std::string failure;
        const SummaryReport report = *client.build(testsupport::path(scans.mixed()), failure);
        QCOMPARE(report.pagesWithoutText, 1);
        QCOMPARE(testsupport::bytes(report.plainText()),
                 testsupport::bytes(SummaryReport::build(testsupport::path(scans.mixed())).plainText()));
    }
};

QTEST_MAIN(TestPooledConverter)
#include "tst_pooledconverter.moc"
