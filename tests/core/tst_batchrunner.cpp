#include "ConversionFixture.h"
#include "FixturePdf.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <functional>

// A batch as the front ends drive it: jobs in order, the stop request, the end-of-batch rules,
// what is opened at the end, and the output a batch must not write twice.
class TestBatchRunner : public QObject {
    Q_OBJECT

    std::unique_ptr<ConversionFixture> fixture;

    // Records what the batch tells its front end; options may change between jobs.
    struct RecordingClient : BatchClient {
        ConvertOptions options = ConvertOptions::defaults();
        QStringList events;
        std::function<void(int)> afterJob; // job number just converted
        int converted = 0;

        ConvertOptions optionsForJob() override { return options; }
        JobPasswords passwordsFor(const BatchEntry& entry) override {
            events.append(QStringLiteral("passwords row %1").arg(entry.row));
            return {};
        }
        void pageProgress(int done, int count) override {
            events.append(QStringLiteral("page %1/%2").arg(done).arg(count));
        }
        void message(const JobMessage& message) override { ConversionFixture::show(message); }
        void jobConverted(int, const std::string& text, const std::string&) override {
            events.append(QString::fromStdString(text));
            if (afterJob)
                afterJob(++converted);
        }
        QStringList progressTexts() const { return events.filter(QStringLiteral("File ")); }
    };

    QString copyOf(const QString& name) {
        const QString file = fixture->path(name);
        QDir().mkpath(QFileInfo(file).path());
        QFile::remove(file);
        if (!QFile::copy(fixture->threePages(), file))
            qFatal("cannot copy to %s", qPrintable(file));
        return file;
    }

    std::vector<BatchEntry> entries(const QStringList& pdfs) {
        std::vector<BatchEntry> list;
        for (const QString& pdf : pdfs)
            list.push_back({pdf.toStdString(), static_cast<int>(list.size()) + 1});
        return list;
    }

    BatchOutcome run(RecordingClient& client, const QStringList& pdfs, BatchRunner** runner = nullptr) {
        FileConverter converter(fixture->configPath().toStdString(), testsupport::programDir().toStdString());
        BatchRunner batch(converter, client);
        if (runner)
            *runner = &batch;
        return batch.run(entries(pdfs));
    }

private Q_SLOTS:
    void initTestCase() { fixture = std::make_unique<ConversionFixture>(); }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        fixture->dialogs.clear();
    }

    void jobsRunInOrderWithPagesAndProgressAndTheResultToOpen() {
        RecordingClient client;
        const QStringList pdfs{copyOf(QStringLiteral("order/a.pdf")), copyOf(QStringLiteral("order/b.pdf")),
                               copyOf(QStringLiteral("order/c.pdf"))};
        const BatchOutcome outcome = run(client, pdfs);
        QCOMPARE(outcome.end, BatchOutcome::End::Finished);
        QCOMPARE(outcome.converted, 3);
        QCOMPARE(client.events.mid(0, 5),
                 (QStringList{QStringLiteral("passwords row 1"), QStringLiteral("page 1/3"),
                              QStringLiteral("page 2/3"), QStringLiteral("page 3/3"),
                              QStringLiteral("File 1 of 3, 33%")}));
        QCOMPARE(client.progressTexts(),
                 (QStringList{QStringLiteral("File 1 of 3, 33%"), QStringLiteral("File 2 of 3, 66%"),
                              QStringLiteral("File 3 of 3, 100%")}));
        // Several jobs without an output folder: the first PDF's folder.
        QCOMPARE(outcome.resultToOpen.verb, BatchResultToOpen::Verb::Explore);
        QCOMPARE(QString::fromStdString(outcome.resultToOpen.path), fixture->path(QStringLiteral("order/")));

        client.options.outputDirectory = fixture->path(QStringLiteral("order-out")).toStdString();
        QDir().mkpath(fixture->path(QStringLiteral("order-out")));
        BatchOutcome one = run(client, {pdfs[1]});
        QCOMPARE(one.resultToOpen.verb, BatchResultToOpen::Verb::Open);
        QCOMPARE(QString::fromStdString(one.resultToOpen.path),
                 fixture->path(QStringLiteral("order-out/b.txt")));
        QCOMPARE(run(client, pdfs).resultToOpen.path, client.options.outputDirectory);

        client.options.openResult = 1; // "No"
        QCOMPARE(run(client, pdfs).resultToOpen.verb, BatchResultToOpen::Verb::None);
        QCOMPARE(run(client, {}).end, BatchOutcome::End::NoJobs);
    }

    // Without data for the chosen languages the batch says so once, not once a file, and its
    // jobs run without recognition; with recognition off nothing is said.
    void missingRecognitionDataIsToldOnceABatch() {
        struct LanguagesSeen : JobConverter {
            QStringList languages;
            JobOutcome convert(const ConvertJob&, const ConvertOptions& options, JobFeedback&) override {
                languages.append(QString::fromStdString(options.ocrLanguages));
                return JobOutcome::Converted;
            }
        } converter;
        const QString empty = fixture->path(QStringLiteral("no-tessdata"));
        QDir().mkpath(empty);
        const QByteArray saved = qgetenv("TESSDATA_PREFIX");
        qputenv("TESSDATA_PREFIX", empty.toUtf8());
        RecordingClient client;
        client.options.ocrLanguages = "eng+deu";
        const std::vector<BatchEntry> three =
            entries({QStringLiteral("/a.pdf"), QStringLiteral("/b.pdf"), QStringLiteral("/c.pdf")});
        const BatchOutcome told = BatchRunner(converter, client).run(three);
        client.options.recognizeScannedPages = option::recognizeNo;
        const QStringList messagesTold = fixture->messageTexts();
        BatchRunner(converter, client).run(three);
        qputenv("TESSDATA_PREFIX", saved);
        QCOMPARE(told.converted, 3);
        QCOMPARE(messagesTold.size(), 1);
        QVERIFY2(messagesTold.first().contains(QStringLiteral("'eng+deu' ('eng', 'deu')")),
                 qPrintable(messagesTold.first()));
        QCOMPARE(fixture->messageTexts(), messagesTold);
        QCOMPARE(converter.languages, (QStringList{QString(), QString(), QString(), QStringLiteral("eng+deu"),
                                                   QStringLiteral("eng+deu"), QStringLiteral("eng+deu")}));
    }

    // Two PDFs of one title into one folder: the second must not replace the first's text.
    void oneBatchNeverWritesAnOutputTwice() {
        RecordingClient client;
        const QString first = copyOf(QStringLiteral("same/a/report.pdf"));
        fixtures::RawPdf other;
        other.pageTexts = {"other text"};
        const QString second = fixture->path(QStringLiteral("same/b/report.pdf"));
        QDir().mkpath(QFileInfo(second).path());
        QVERIFY(fixtures::writeRawPdf(second, other));
        const QString out = fixture->path(QStringLiteral("same/out"));
        QDir().mkpath(out);
        client.options.outputDirectory = out.toStdString();

        const BatchOutcome outcome = run(client, {first, second});
        QCOMPARE(outcome.converted, 1);
        QCOMPARE(outcome.skipped, 1);
        QCOMPARE(client.progressTexts(), QStringList{QStringLiteral("File 1 of 2, 50%")});
        const QString output = out + QStringLiteral("/report.txt");
        QVERIFY(ConversionFixture::readAll(output).contains("first page"));
        QCOMPARE(fixture->messageTexts().size(), 1);
        const QString message = fixture->messageTexts().first();
        for (const QString& named : {first, second, output})
            QVERIFY2(message.contains(named), qPrintable(message));
        QCOMPARE(QString::fromStdString(fixture->dialogs.messages().front().subject), second);

        // A later batch may write it again: the check is per batch.
        fixture->dialogs.clear();
        QCOMPARE(run(client, {second}).converted, 1);
        QVERIFY(ConversionFixture::readAll(output).contains("other text"));
    }

    void stopIsSeenBeforeTheNextJob() {
        RecordingClient client;
        QStringList pdfs;
        for (int i = 1; i <= 5; ++i)
            pdfs << copyOf(QStringLiteral("stop/%1.pdf").arg(i));
        BatchRunner* runner = nullptr;
        client.afterJob = [&](int job) {
            if (job == 2)
                runner->requestStop();
        };
        const BatchOutcome outcome = run(client, pdfs, &runner);
        QCOMPARE(outcome.end, BatchOutcome::End::Stopped);
        QCOMPARE(outcome.converted, 2);
        QVERIFY(QFile::exists(fixture->path(QStringLiteral("stop/2.txt"))));
        QVERIFY(!QFile::exists(fixture->path(QStringLiteral("stop/3.txt"))));
        QCOMPARE(outcome.resultToOpen.verb, BatchResultToOpen::Verb::None);
    }

    // The options are read at each job's turn; a page range the document lacks ends the batch.
    void optionsCountFromTheNextJobAndAPageRangeEndsTheBatch() {
        RecordingClient client;
        const QStringList pdfs{copyOf(QStringLiteral("range/1.pdf")), copyOf(QStringLiteral("range/2.pdf")),
                               copyOf(QStringLiteral("range/3.pdf"))};
        client.afterJob = [&](int) {
            client.options.pageRange = option::selectedPages;
            client.options.startPage = 5;
            client.options.endPage = 9;
        };
        const BatchOutcome outcome = run(client, pdfs);
        QCOMPARE(outcome.end, BatchOutcome::End::EndedEarly);
        QCOMPARE(outcome.converted, 1);
        QVERIFY(!QFile::exists(fixture->path(QStringLiteral("range/3.txt"))));
        QCOMPARE(fixture->messageTexts().size(), 1);
        QVERIFY(fixture->messageTexts().first().contains(QStringLiteral("only contain 3 pages")));
    }
};

QTEST_MAIN(TestBatchRunner)
#include "tst_batchrunner.moc"
