#include "JobPaneFixture.h"
#include "MessageBoxWatch.h"
#include "SessionBus.h"

#include "controls/chrome/IconButton.h"
#include "controls/chrome/SummaryEdit.h"
#include "controls/chrome/TextProgressCtrl.h"
#include "controls/grid/GridCellCheck.h"
#include "core/ConverterApp.h"
#include "platform/QtDialogs.h"
#include "pool/PooledConverter.h"
#include "resource.h"
#include "ui/BatchThread.h"
#include "ui/ConvertBatch.h"
#include "ui/RightView.h"
#include "ui/SummaryThread.h"

#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <memory>
#include <thread>

// The batch as a user runs it from the job pane: ticked rows, F5 or the Start button, the two
// bars, Stop, the messages of skipped jobs and what is opened at the end.
class TestConvertBatch : public QObject {
    Q_OBJECT

    // The job pane with the option pane beside it and a batch plugged into both.
    struct BatchFixture : JobPaneFixture {
        ConverterApp app;
        CRightView* options = nullptr;
        std::unique_ptr<ConvertBatch> batch;
        QStringList totals; // the lower bar's text and position after each report
        QStringList pages;  // the upper bar's position of its range

        // workerProgram: the program the pool runs; a hostile-file test names one with faults
        // on call, and a short silence limit so a hang costs seconds.
        explicit BatchFixture(const ConvertOptions& chosen = ConvertOptions::defaults(),
                              const QString& workerProgram = QStringLiteral("folverin-worker"),
                              std::chrono::milliseconds silenceLimit = std::chrono::seconds{60})
            : JobPaneFixture({900, 520}) {
            app.deriveDataFolder(testsupport::programDir().toStdString(),
                                 temp.filePath(QStringLiteral("config")).toStdString());
            app.writeEngineConfig();
            app.options = chosen;
            view->resize(600, 520);
            options = new CRightView(app, &window);
            options->setGeometry(600, 0, 300, 520);
            panel->setOptionPane(options);
            workers = PooledConverter::forProgram(app.programDir, app.configPath);
            workers.pool.program = app.programDir + workerProgram.toStdString();
            workers.pool.silenceLimit = silenceLimit;
            batch =
                std::make_unique<ConvertBatch>(*panel, *options, std::make_unique<PooledConverter>(workers));
            auto* worker = batch->findChild<BatchThread*>();
            // Same receiver as the batch's own handling, so recorded right after it.
            QObject::connect(worker, &BatchThread::jobFinished, batch.get(), [this] { recordTotal(); });
            QObject::connect(worker, &BatchThread::finished, batch.get(), [this] { recordTotal(); });
            QObject::connect(worker, &BatchThread::pageReached, batch.get(), [this] {
                const CTextProgressCtrl* bar = panel->currentProgress();
                pages.append(QStringLiteral("%1/%2").arg(bar->GetPos()).arg(bar->GetRange(false)));
            });
        }
        PooledConverter::Settings workers;

        void recordTotal() {
            const CTextProgressCtrl* bar = panel->totalProgress();
            totals.append(QStringLiteral("%1 @%2").arg(bar->displayText()).arg(bar->GetPos()));
        }
        // A click on the row's check box, as a user unticks it.
        void untick(int row) {
            QTest::qWait(0); // the box is placed where the grid last drew it
            auto* box = dynamic_cast<grid::CGridCellCheck*>(grid()->GetCell(row, 0));
            QTest::mouseClick(grid(), Qt::LeftButton, {}, box->CheckRect().center());
        }
        bool waitForEnd() {
            return QTest::qWaitFor([this] { return !panel->isRunning(); }, 60000);
        }
        QStringList barTexts() const {
            return {panel->currentProgress()->displayText(), panel->totalProgress()->displayText()};
        }
        QString textPdf(const QString& name, int pageCount) const {
            const QString path = temp.filePath(name);
            QDir().mkpath(QFileInfo(path).path());
            if (!fixtures::writeLargeTextPdf(path, pageCount, 40))
                qFatal("cannot write %s", qPrintable(path));
            return path;
        }
        QString onePage(const QString& name) const {
            fixtures::RawPdf document;
            document.pageTexts = {"one page"};
            return pdf(name, document);
        }
        // The hidden temporary files left in a folder of the scratch folder.
        QStringList temporaries(const QString& folder) const {
            return QDir(temp.filePath(folder))
                .entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
        }
        static QByteArray read(const QString& path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
        }
    };

    static QByteArray pdftotext(const QString& pdf) {
        QProcess process;
        process.start(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), QStringLiteral("-eol"), QStringLiteral("dos"),
                       QStringLiteral("-enc"), QStringLiteral("Latin1"), pdf, QStringLiteral("-")});
        process.waitForFinished(60000);
        return process.readAllStandardOutput();
    }

    // The tool tip a user sees resting the pointer on a cell.
    static QString toolTipOf(BatchFixture& pane, int row, int col) {
        const QPoint at = pane.cellCentre(row, col);
        QHelpEvent help(QEvent::ToolTip, at, pane.grid()->mapToGlobal(at));
        QApplication::sendEvent(pane.grid(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    // Batches never reach the desktop of whoever runs the tests.
    testsupport::PrivateSessionBus bus;

private Q_SLOTS:
    void initTestCase() { QVERIFY2(bus.started(), testsupport::PrivateSessionBus::notStarted); }
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void tickedRowsConvertInOrderAndTheFolderOpens() {
        BatchFixture pane;
        QVERIFY(pane.show());
        const QString first = pane.textPdf(QStringLiteral("three/first.pdf"), 120);
        const QString skipped = pane.onePage(QStringLiteral("three/skipped.pdf"));
        const QString last = pane.textPdf(QStringLiteral("three/last.pdf"), 2);
        pane.openFiles({first, skipped, last});
        pane.untick(2);
        pane.key(Qt::Key_F5);
        QVERIFY(pane.panel->isRunning());
        QVERIFY(!pane.panel->button(ID_START_CONVERT)->isEnabled());
        QVERIFY(pane.waitForEnd());

        QCOMPARE(pane.totals,
                 (QStringList{QStringLiteral("File 1 of 2, 50% @1"), QStringLiteral("File 2 of 2, 100% @2"),
                              QStringLiteral("Convert Finished @2")}));
        // The upper bar went through the pages of the long job.
        QVERIFY2(pane.pages.contains(QStringLiteral("60/120")),
                 qPrintable(pane.pages.join(QLatin1Char(' '))));
        QCOMPARE(BatchFixture::read(pane.temp.filePath(QStringLiteral("three/first.txt"))), pdftotext(first));
        QCOMPARE(BatchFixture::read(pane.temp.filePath(QStringLiteral("three/last.txt"))), pdftotext(last));
        QVERIFY(!QFile::exists(pane.temp.filePath(QStringLiteral("three/skipped.txt"))));
        QCOMPARE(pane.shell.requests().size(), 1);
        QCOMPARE(pane.shell.requests().first().verb, QStringLiteral("explore"));
        QCOMPARE(pane.shell.requests().first().target, pane.temp.filePath(QStringLiteral("three/")));
        QVERIFY(pane.panel->button(ID_START_CONVERT)->isEnabled());
    }

    void oneJobOpensItsFileUnlessResultsStayClosed() {
        for (const int openResult : {0, 1}) {
            ConvertOptions chosen = ConvertOptions::defaults();
            chosen.openResult = openResult;
            BatchFixture pane(chosen);
            QVERIFY(pane.show());
            const QString out = pane.temp.filePath(QStringLiteral("out"));
            QDir().mkpath(out);
            pane.app.options.outputDirectory = out.toStdString();
            QVERIFY(pane.options->BuildTree());
            pane.openFiles({pane.onePage(QStringLiteral("one/only.pdf"))});
            QTest::mouseClick(pane.panel->button(ID_START_CONVERT), Qt::LeftButton);
            QVERIFY(pane.waitForEnd());
            QVERIFY(QFile::exists(out + QStringLiteral("/only.txt")));
            if (openResult == 0) {
                QCOMPARE(pane.shell.requests().size(), 1);
                QCOMPARE(pane.shell.requests().first().verb, QStringLiteral("open"));
                QCOMPARE(pane.shell.requests().first().target, out + QStringLiteral("/only.txt"));
            } else {
                QCOMPARE(pane.shell.requests().size(), 0);
            }
        }
    }

    // Stop during a long second job ends that job too: it keeps its old output, and the bars say
    // "Convert stopped." once the batch has ended, a busy pointer showing until then.
    void stopEndsTheJobInProgressAndTheBatch() {
        BatchFixture pane;
        QVERIFY(pane.show());
        QStringList pdfs{pane.onePage(QStringLiteral("five/1.pdf")),
                         pane.textPdf(QStringLiteral("five/2.pdf"), 2000)};
        for (int i = 3; i <= 5; ++i)
            pdfs << pane.onePage(QStringLiteral("five/%1.pdf").arg(i));
        const QString secondOutput = pane.temp.filePath(QStringLiteral("five/2.txt"));
        pane.file(QStringLiteral("five/2.txt"), 7);
        pane.openFiles(pdfs);
        pane.key(Qt::Key_F5);
        // Job 2 is under way once job 1 is done and a page of job 2 reported.
        QVERIFY(QTest::qWaitFor([&] { return pane.totals.size() == 1 && pane.pages.size() > 1; }, 60000));
        QTest::mouseClick(pane.panel->button(ID_STOP_CONVERT), Qt::LeftButton);
        QVERIFY(!pane.panel->isRunning()); // Stop gives the controls back at once
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        QVERIFY(!pane.barTexts().contains(QStringLiteral("Convert stopped.")));
        // Start waits, greyed, until the stopped batch has ended: F5 meanwhile starts nothing.
        CIconButton* start = pane.panel->button(ID_START_CONVERT);
        QVERIFY(!start->isEnabled());
        pane.key(Qt::Key_F5);
        QVERIFY(!pane.panel->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(start->isEnabled(), 60000);
        QVERIFY(!pane.panel->isRunning());
        QCOMPARE(pane.barTexts(),
                 (QStringList{QStringLiteral("Convert stopped."), QStringLiteral("Convert stopped.")}));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(BatchFixture::read(secondOutput), QByteArray(7, 'x'));
        // Rows whose turn never came show no result.
        QCOMPARE(pane.column(JobGrid::COL_RESULT),
                 (QStringList{QStringLiteral("Converted"), QStringLiteral("Stopped"), QString(), QString(),
                              QString()}));
        QCOMPARE(pane.panel->totalProgress()->toolTip(),
                 QStringLiteral("1 converted, 0 skipped, 4 not converted"));
        for (int i = 3; i <= 5; ++i)
            QVERIFY(!QFile::exists(pane.temp.filePath(QStringLiteral("five/%1.txt").arg(i))));
        QCOMPARE(pane.temporaries(QStringLiteral("five")), QStringList());
        QCOMPARE(pane.shell.requests().size(), 0);
    }

    // A job that cannot be converted says why and the batch goes on; a page range the
    // document lacks ends it.
    void skippedJobsAndAnEarlyEnd() {
        BatchFixture pane;
        QVERIFY(pane.show());
        const QString locked = pane.temp.filePath(QStringLiteral("skip/locked.pdf"));
        const QString plain = pane.onePage(QStringLiteral("skip/plain.pdf"));
        QVERIFY(fixtures::encryptPdf(plain, locked, QStringLiteral("user"), QStringLiteral("owner"), true));
        const QString noCopy = pane.temp.filePath(QStringLiteral("skip/nocopy.pdf"));
        QVERIFY(fixtures::encryptPdf(plain, noCopy, QString(), QStringLiteral("owner"), false));
        pane.openFiles({noCopy, locked, plain});
        pane.clickCell(2, 5);
        QTest::keyClicks(pane.grid(), QStringLiteral("wrong"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(pane.panel->passwords(2).user, std::string("wrong"));
        pane.key(Qt::Key_F5);
        QVERIFY(pane.waitForEnd());
        QCOMPARE(testsupport::texts(pane.dialogs.messageTexts()),
                 (QStringList{QStringLiteral("Copying of text from this document is not allowed."),
                              QStringLiteral("Not a valid pdf file!")}));
        QCOMPARE(pane.totals.last(), QStringLiteral("Convert Finished @3"));
        QVERIFY(QFile::exists(pane.temp.filePath(QStringLiteral("skip/plain.txt"))));

        pane.dialogs.clear();
        pane.totals.clear();
        ConvertOptions& options = pane.app.options;
        options.pageRange = option::selectedPages;
        options.startPage = 2;
        options.endPage = 4;
        QVERIFY(pane.options->BuildTree());
        pane.key(Qt::Key_F5);
        QVERIFY(pane.waitForEnd());
        const QStringList messages = testsupport::texts(pane.dialogs.messageTexts());
        QCOMPARE(messages.size(), 3); // copy ban, wrong password, then the page range
        QVERIFY2(messages.last().contains(QStringLiteral("only contain 1 pages")),
                 qPrintable(messages.last()));
        QVERIFY(!pane.totals.join(QLatin1Char(' ')).contains(QStringLiteral("Convert Finished")));
        QVERIFY(pane.panel->button(ID_START_CONVERT)->isEnabled());
    }

    // After a batch each row says what its turn came to, the full messages as its tool tip, and
    // the lower bar keeps the counts; while it runs, the upper bar counts the pages of the job
    // in progress and the title the files. A new batch clears the results.
    void rowsShowTheirResultsAndTheWindowItsProgress() {
        BatchFixture pane;
        pane.window.setWindowTitle(QStringLiteral("Folverin"));
        // As narrow as the window's job pane gets.
        pane.window.resize(940, 520);
        pane.view->resize(640, 520);
        pane.options->move(640, 0);
        QVERIFY(pane.show());
        testsupport::installOffscreenNoticeFilter(); // tool tips are raised
        const auto removeFilter = qScopeGuard([] { testsupport::removeOffscreenNoticeFilter(); });
        const QString longPdf = pane.textPdf(QStringLiteral("results/long.pdf"), 300);
        const QString notPdf = pane.file(QStringLiteral("results/notes.pdf"));
        const QString plain = pane.onePage(QStringLiteral("results/plain.pdf"));
        const QString noCopy = pane.temp.filePath(
            QStringLiteral("results/a document whose name is long enough to fill the column.pdf"));
        QVERIFY(fixtures::encryptPdf(plain, noCopy, QString(), QStringLiteral("owner"), false));
        pane.openFiles({longPdf, notPdf, noCopy});
        QStringList titles;
        QStringList pageTexts;
        auto* worker = pane.batch->findChild<BatchThread*>();
        QObject::connect(worker, &BatchThread::turnStarted, pane.batch.get(),
                         [&] { titles.append(pane.window.windowTitle()); });
        QObject::connect(worker, &BatchThread::pageReached, pane.batch.get(),
                         [&] { pageTexts.append(pane.panel->currentProgress()->displayText()); });
        pane.key(Qt::Key_F5);
        QVERIFY(pane.waitForEnd());

        QCOMPARE(titles, (QStringList{QStringLiteral("1 of 3 files \u2014 Folverin"),
                                      QStringLiteral("2 of 3 files \u2014 Folverin"),
                                      QStringLiteral("3 of 3 files \u2014 Folverin")}));
        QCOMPARE(pane.window.windowTitle(), QStringLiteral("Folverin"));
        // The long job's pages count up to its whole length.
        QVERIFY2(pageTexts.value(0).startsWith(QStringLiteral("Page ")), qPrintable(pageTexts.value(0)));
        QVERIFY2(pageTexts.value(0).endsWith(QStringLiteral(" of 300")), qPrintable(pageTexts.value(0)));
        QVERIFY2(pageTexts.contains(QStringLiteral("Page 300 of 300")), qPrintable(pageTexts.join(u' ')));
        QCOMPARE(pane.totals.last(), QStringLiteral("Convert Finished @3"));
        QCOMPARE(pane.panel->totalProgress()->toolTip(), QStringLiteral("1 converted, 2 skipped"));

        QCOMPARE(pane.grid()->GetCellText(0, JobGrid::COL_RESULT), QStringLiteral("Result"));
        QCOMPARE(pane.grid()->GetCellText(0, JobGrid::COL_USER_PASSWORD), QStringLiteral("User Password"));
        const QString copyBan = QStringLiteral("Copying of text from this document is not allowed.");
        QCOMPARE(pane.column(JobGrid::COL_RESULT),
                 (QStringList{QStringLiteral("Converted"), QStringLiteral("Skipped: Not a valid pdf file!"),
                              QStringLiteral("Skipped: ") + copyBan}));
        const QString output = pane.temp.filePath(QStringLiteral("results/long.txt"));
        QCOMPARE(toolTipOf(pane, 1, JobGrid::COL_RESULT), QStringLiteral("Converted to ") + output);
        QCOMPARE(toolTipOf(pane, 2, JobGrid::COL_RESULT), QStringLiteral("Not a valid pdf file!"));
        QCOMPARE(toolTipOf(pane, 3, JobGrid::COL_RESULT), copyBan);
        toolTipOf(pane, 3, JobGrid::COL_NAME); // other cells have none
        QTRY_VERIFY(!QToolTip::isVisible());
        testsupport::saveScreenshot(&pane.window, QStringLiteral("ui"), QStringLiteral("job-results"));
        pane.window.resize(1240, 520); // a wider pane shows the reasons
        pane.view->resize(940, 520);
        pane.options->move(940, 0);
        testsupport::saveScreenshot(&pane.window, QStringLiteral("ui"), QStringLiteral("job-results-wide"));
        QVERIFY(!pane.grid()->IsScrollBarShown(Qt::Horizontal));

        pane.untick(2);
        pane.untick(3);
        pane.key(Qt::Key_F5);
        QVERIFY(pane.waitForEnd());
        QCOMPARE(pane.column(JobGrid::COL_RESULT),
                 (QStringList{QStringLiteral("Converted"), QString(), QString()}));
        toolTipOf(pane, 2, JobGrid::COL_RESULT);
        QTRY_VERIFY(!QToolTip::isVisible());
        QCOMPARE(pane.panel->totalProgress()->toolTip(), QStringLiteral("1 converted, 0 skipped"));
    }

    // A job whose pages take seconds each (pages read from their picture) shows every page
    // done, also those that do not reach the next percent.
    void slowPagesShowAsTheyAreDone() {
        struct SlowConverter : JobConverter {
            std::atomic<bool> release{false};
            const std::atomic<bool>* stop = nullptr;
            JobOutcome convert(const ConvertJob&, const ConvertOptions&, JobFeedback& feedback) override {
                for (int page = 1; page <= 3; ++page)
                    feedback.pageProgress(page, 500);
                while (!release && !*stop)
                    std::this_thread::sleep_for(std::chrono::milliseconds{10});
                return *stop ? JobOutcome::Stopped : JobOutcome::Converted;
            }
            void watchStop(const std::atomic<bool>& flag) override { stop = &flag; }
        };
        BatchFixture pane;
        pane.window.setWindowTitle(QStringLiteral("Folverin"));
        QVERIFY(pane.show());
        auto converter = std::make_unique<SlowConverter>();
        SlowConverter* slow = converter.get();
        pane.batch.reset();
        pane.batch = std::make_unique<ConvertBatch>(*pane.panel, *pane.options, std::move(converter));
        pane.openFiles({pane.onePage(QStringLiteral("slow/scan.pdf"))});
        pane.key(Qt::Key_F5);
        QTRY_COMPARE(pane.panel->currentProgress()->displayText(), QStringLiteral("Page 4 of 500"));
        QCOMPARE(pane.window.windowTitle(), QStringLiteral("1 of 1 files \u2014 Folverin"));
        slow->release = true;
        QVERIFY(pane.waitForEnd());
        QCOMPARE(pane.window.windowTitle(), QStringLiteral("Folverin"));
    }

    // While a batch runs the session is asked not to suspend, and the hold is given back at its
    // end and on Stop; a long batch that ends while the user works in another window is told
    // by one desktop notice, one that ends in front of the user is not.
    void theDesktopHearsOfALongBatch() {
        testsupport::NotificationListener notices;
        testsupport::PowerManagementListener power;
        QVERIFY(notices.serveOn(bus.connect(QStringLiteral("notices"))));
        QVERIFY(power.serveOn(bus.connect(QStringLiteral("power"))));
        const auto leave = qScopeGuard([&] {
            notices.leave();
            power.leave();
        });
        BatchFixture pane;
        pane.batch->setLongBatchTime(std::chrono::milliseconds{0});
        QVERIFY(pane.show());
        pane.openFiles(
            {pane.textPdf(QStringLiteral("desk/long.pdf"), 2000), pane.file(QStringLiteral("desk/no.pdf"))});
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QTest::mouseClick(pane.panel->button(ID_START_CONVERT), Qt::LeftButton);
        QTRY_COMPARE(power.held.size(), 1);
        QVERIFY(pane.waitForEnd());
        QTRY_COMPARE(notices.notices.size(), 1);
        QCOMPARE(notices.notices.first().summary, QStringLiteral("Convert Finished"));
        QCOMPARE(notices.notices.first().body, QStringLiteral("1 converted, 1 skipped"));
        QTRY_VERIFY(power.held.isEmpty());
        QCOMPARE(power.calls, (QStringList{QStringLiteral("Inhibit 41 Converting PDF files"),
                                           QStringLiteral("UnInhibit 41")}));

        pane.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&pane.window));
        pane.key(Qt::Key_F5);
        QTRY_COMPARE(power.held.size(), 1);
        QTest::mouseClick(pane.panel->button(ID_STOP_CONVERT), Qt::LeftButton);
        QTRY_VERIFY(power.held.isEmpty());
        QTRY_VERIFY(pane.panel->button(ID_START_CONVERT)->isEnabled());
        QTest::qWait(200); // a notice would have come by now
        QCOMPARE(notices.notices.size(), 1);
    }

    // A summary that cannot read the document says why in red under the file's lines, and no
    // message box takes the password typed right after the click; a new summary, taller than
    // the pane at a large font, shows its first line.
    void failedSummariesAreWrittenInThePane() {
        BatchFixture pane;
        pane.panel->setSummaryThread(std::make_unique<SummaryThread>(pane.workers.pool));
        CSummaryEdit* summary = pane.panel->summaryPane();
        QFont large = summary->font();
        large.setPixelSize(30);
        summary->setFont(large);
        QVERIFY(pane.show());
        const QString plain = pane.onePage(QStringLiteral("pass/plain.pdf"));
        const QString locked = pane.temp.filePath(QStringLiteral("pass/locked.pdf"));
        QVERIFY(fixtures::encryptPdf(plain, locked, QStringLiteral("user"), QStringLiteral("owner"), true));
        pane.openFiles({plain, locked, pane.file(QStringLiteral("pass/broken.pdf"))});
        const auto lastLine = [summary] { return summary->document()->lastBlock(); };
        const auto shownFromTop = [summary] {
            const QScrollBar* bar = summary->verticalScrollBar();
            return bar->maximum() > 0 && bar->value() == 0;
        };

        pane.clickCell(1, 1);
        QTRY_COMPARE(lastLine().text(), QStringLiteral("\tCommenting: Allowed"));
        QVERIFY(shownFromTop());

        pane.clickCell(2, 5);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("user"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(pane.panel->passwords(2).user, std::string("user"));
        QTRY_COMPARE(
            lastLine().text(),
            QStringLiteral("This PDF file needs a password: type it in the job's User Password cell."));
        QCOMPARE(lastLine().previous().text(), QStringLiteral("PDF Description:"));
        QCOMPARE(lastLine().begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        QVERIFY(summary->toPlainText().startsWith(locked + QLatin1Char('\n')));
        QVERIFY(shownFromTop());
        // The password typed in the row opens the document for its next summary, as it does
        // for its conversion.
        pane.clickCell(2, 1);
        QTRY_COMPARE(lastLine().text(), QStringLiteral("\tCommenting: Allowed"));
        QVERIFY(summary->toPlainText().contains(QStringLiteral("\tNumber of Pages: 1")));

        pane.clickCell(3, 2); // the grid keeps the password column in view
        QTRY_COMPARE(lastLine().text(), QStringLiteral("Not a valid pdf file!"));
        QCOMPARE(lastLine().begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        QCOMPARE(summary->document()->blockCount(), 6);
        QVERIFY(pane.dialogs.messageTexts().empty());
    }

    // A click on a job never waits for the summary worker: the pane shows the file's lines at
    // once, and the report replaces them when it comes.
    void aClickShowsTheFileAtOnceAndItsReportLater() {
        BatchFixture pane;
        pane.panel->setSummaryThread(std::make_unique<SummaryThread>(pane.workers.pool));
        QVERIFY(pane.show());
        const QString second = pane.textPdf(QStringLiteral("quick/second.pdf"), 3);
        pane.openFiles({pane.onePage(QStringLiteral("quick/first.pdf")), second});
        const CSummaryEdit* summary = pane.panel->summaryPane();
        pane.clickCell(1, 1);
        // The worker is up and has answered once, so the next answer comes quickly.
        QTRY_VERIFY(summary->toPlainText().contains(QStringLiteral("Number of Pages: 1")));

        pane.clickCell(2, 1);
        QVERIFY(summary->toPlainText().startsWith(second + QLatin1Char('\n')));
        QVERIFY(!summary->toPlainText().contains(QStringLiteral("Number of Pages")));
        QTRY_VERIFY(summary->toPlainText().contains(QStringLiteral("Number of Pages: 3")));
        QVERIFY(summary->toPlainText().startsWith(second + QLatin1Char('\n')));
    }

    // Files that crash or hang the converter cost their own job in the window: a click shows
    // the file's lines and says what happened, a hung summary gives way to the next click,
    // and the batch converts the others.
    void hostileFilesCostTheirOwnJob() {
        BatchFixture pane(ConvertOptions::defaults(), QStringLiteral("faulty-worker"),
                          std::chrono::seconds{2});
        QVERIFY(pane.show());
        pane.panel->setSummaryThread(std::make_unique<SummaryThread>(pane.workers.pool));
        auto* summary = pane.panel->findChild<CSummaryEdit*>();
        const QString first = pane.onePage(QStringLiteral("hostile/first.pdf"));
        const QString crash = pane.onePage(QStringLiteral("hostile/crash.pdf"));
        const QString hang = pane.onePage(QStringLiteral("hostile/hang.pdf"));
        const QString last = pane.textPdf(QStringLiteral("hostile/last.pdf"), 2);
        pane.openFiles({first, crash, hang, last});

        pane.clickCell(2, 1);
        const QString crashed =
            QStringLiteral("The converter stopped on the file '%1' (crashed).").arg(crash);
        QTRY_VERIFY(summary->toPlainText().endsWith(QStringLiteral("PDF Description:\n") + crashed));
        QVERIFY(summary->toPlainText().startsWith(crash + QLatin1Char('\n')));

        pane.clickCell(3, 1);
        QTRY_VERIFY(summary->toPlainText().startsWith(hang + QLatin1Char('\n')));
        pane.clickCell(4, 1);
        QTRY_VERIFY_WITH_TIMEOUT(summary->toPlainText().contains(QStringLiteral("Number of Pages: 2")), 1500);
        QTest::qWait(2500); // past the silence limit: the abandoned summary says nothing
        QVERIFY(summary->toPlainText().contains(QStringLiteral("Number of Pages: 2")));
        QVERIFY(pane.dialogs.messageTexts().empty());

        pane.dialogs.clear();
        pane.key(Qt::Key_F5);
        QVERIFY(pane.waitForEnd());
        const QString stopped =
            QStringLiteral("The converter stopped on the file '%1' (%2), so it is not converted.");
        QCOMPARE(testsupport::texts(pane.dialogs.messageTexts()),
                 (QStringList{stopped.arg(crash, QStringLiteral("crashed")),
                              stopped.arg(hang, QStringLiteral("no progress for 2 s"))}));
        QCOMPARE(pane.totals.last(), QStringLiteral("Convert Finished @4"));
        QVERIFY(QFile::exists(pane.temp.filePath(QStringLiteral("hostile/first.txt"))));
        QCOMPARE(BatchFixture::read(pane.temp.filePath(QStringLiteral("hostile/last.txt"))), pdftotext(last));
        QVERIFY(!QFile::exists(pane.temp.filePath(QStringLiteral("hostile/crash.txt"))));
        QVERIFY(!QFile::exists(pane.temp.filePath(QStringLiteral("hostile/hang.txt"))));
        QCOMPARE(pane.temporaries(QStringLiteral("hostile")), QStringList());
        QVERIFY(pane.window.isVisible());
    }

    // Closing ends the job in progress, which keeps its old output; nothing is touched after
    // the pane is gone.
    void closingDuringABatchEndsItsJob() {
        auto pane = std::make_unique<BatchFixture>();
        QVERIFY(pane->show());
        const QString big = pane->textPdf(QStringLiteral("close/big.pdf"), 2000);
        const QString output = pane->file(QStringLiteral("close/big.txt"), 7);
        pane->openFiles({big, pane->onePage(QStringLiteral("close/after.pdf"))});
        pane->key(Qt::Key_F5);
        QVERIFY(QTest::qWaitFor([&] { return !pane->pages.isEmpty(); }, 60000));
        pane->batch->StopAndWait(); // as the window does when it closes
        pane->batch.reset();
        QVERIFY(!QFile::exists(pane->temp.filePath(QStringLiteral("close/after.txt"))));
        QCOMPARE(BatchFixture::read(output), QByteArray(7, 'x'));
        QCOMPARE(pane->temporaries(QStringLiteral("close")), QStringList());
        QTemporaryDir keep; // the pane's folder goes with it
        pane.reset();
    }

    // Keys do not act in the window while a batch runs; the mouse does.
    void keysWaitWhileABatchRuns() {
        BatchFixture pane;
        QVERIFY(pane.show());
        pane.openFiles(
            {pane.textPdf(QStringLiteral("keys/long.pdf"), 300), pane.onePage(QStringLiteral("keys/b.pdf"))});
        pane.key(Qt::Key_F5);
        pane.key(Qt::Key_A, Qt::ControlModifier); // would tick every row
        pane.key(Qt::Key_X, Qt::ControlModifier); // would untick every row
        pane.key(Qt::Key_Delete);
        QCOMPARE(pane.panel->jobs().size(), 2);
        QCOMPARE(pane.panel->checkedJobs().size(), std::size_t(2));
        QTest::mouseClick(pane.panel->button(ID_STOP_CONVERT), Qt::LeftButton);
        pane.batch->StopAndWait();
        pane.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(pane.panel->checkedJobs().size(), std::size_t(0));
    }

    // While a job's message box is up, that job's row is the one selected, in view, with its
    // summary beside it: the user reads the message next to the file it is about.
    void aMessageBoxShowsItsJobsRow() {
        BatchFixture pane;
        QVERIFY(pane.show());
        QStringList files;
        for (int i = 0; i < 40; ++i)
            files.append(pane.onePage(QStringLiteral("rows/%1.pdf").arg(i, 2, 10, QLatin1Char('0'))));
        const QString damaged = pane.temp.filePath(QStringLiteral("rows/35-damaged.pdf"));
        QFile garbage(damaged);
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("%PDF-1.4 no objects") > 0);
        garbage.close();
        files.insert(36, damaged);
        pane.openFiles(files);
        pane.clickCell(1, 1);

        platform::QtDialogs boxes(&pane.window);
        boxes.setSubjectShower([&pane](const std::string& path) { pane.panel->showJob(path); });
        platform::Dialogs::setInstance(&boxes);
        struct Seen {
            QString text;
            int selectedRow;
            bool visible;
            QString summary;
        };
        QList<Seen> seen;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            const QList<QMessageBox*> boxes = MessageBoxWatch::shown();
            if (boxes.isEmpty())
                return;
            QMessageBox* box = boxes.first();
            const int row = pane.grid()->GetSelectionBounds().maxRow;
            seen.append({box->text(), row, pane.grid()->IsCellVisible(row, 1),
                         pane.panel->summaryPane()->toPlainText().section(QLatin1Char('\n'), 0, 0)});
            box->accept();
        });
        answer.start(20);
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
        pane.key(Qt::Key_F5);
        const bool ended = pane.waitForEnd();
        platform::Dialogs::setInstance(&pane.dialogs);
        QVERIFY(ended);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.first().selectedRow, 37);
        QVERIFY(seen.first().visible);
        QCOMPARE(seen.first().summary, damaged);
    }

    // A batch's messages leave the window usable: Stop during the first of a chain of them (one
    // title written into one folder again and again) closes it and ends the batch, and no later
    // one is shown.
    void stopWorksWhileABatchMessageIsShown() {
        BatchFixture pane;
        QVERIFY(pane.show());
        const QString out = pane.temp.filePath(QStringLiteral("clash/out"));
        QDir().mkpath(out);
        pane.app.options.outputDirectory = out.toStdString();
        QVERIFY(pane.options->BuildTree());
        QStringList pdfs;
        for (int i = 1; i <= 6; ++i)
            pdfs.append(pane.onePage(QStringLiteral("clash/%1/same.pdf").arg(i)));
        pane.openFiles(pdfs);

        testsupport::installOffscreenNoticeFilter();
        platform::QtDialogs boxes(&pane.window);
        platform::Dialogs::setInstance(&boxes);
        const auto restore = qScopeGuard([&pane] {
            platform::Dialogs::setInstance(&pane.dialogs);
            testsupport::removeOffscreenNoticeFilter();
        });
        const MessageBoxWatch watch(
            [&pane] { QTest::mouseClick(pane.panel->button(ID_STOP_CONVERT), Qt::LeftButton); });
        pane.key(Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(
            !pane.panel->isRunning() && pane.panel->button(ID_START_CONVERT)->isEnabled(), 60000);
        QTest::qWait(200); // a later message would show now
        QCOMPARE(watch.texts.size(), 1);
        QVERIFY2(watch.texts.first().contains(QStringLiteral("in this batch")),
                 qPrintable(watch.texts.first()));
        QCOMPARE(watch.answeredHere, 0);
        QVERIFY(MessageBoxWatch::shown().isEmpty());
        QCOMPARE(pane.barTexts(),
                 (QStringList{QStringLiteral("Convert stopped."), QStringLiteral("Convert stopped.")}));
        QVERIFY(QFile::exists(out + QStringLiteral("/same.txt")));
    }
};

QTEST_MAIN(TestConvertBatch)
#include "tst_convertbatch.moc"
