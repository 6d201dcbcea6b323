#include "PseudoTerminal.h"
#include "TestSupport.h"
#include "cli/ProgressLine.h"

#include <QTest>

#include <unistd.h>

using namespace std::chrono_literals;

// Where a line under test writes: a pseudo-terminal, read once the writing side is closed, so
// nothing is still on its way.
struct Terminal {
    explicit Terminal(int columns) : pty(columns), stream(::fdopen(::dup(pty.slave()), "w")) {}

    QByteArray closeAndRead() {
        std::fclose(stream);
        pty.closeSlave();
        return pty.readToEnd();
    }

    PseudoTerminal pty;
    std::FILE* const stream;
};

class TestProgressLine : public QObject {
    Q_OBJECT

    std::chrono::steady_clock::time_point now{};
    ProgressLine::Clock clock() {
        return [this] { return now; };
    }

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void textEstimatesAndWidth_data() {
        QTest::addColumn<int>("millisecondsIn");
        QTest::addColumn<int>("filesDone");
        QTest::addColumn<double>("fileInProgress");
        QTest::addColumn<int>("pagesDone");
        QTest::addColumn<int>("fileCount");
        QTest::addColumn<bool>("finished");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("start") << 0 << 0 << 0.0 << 0 << 200 << false << 80 << QByteArray("0 of 200 files");
        // The first moments tell more about start-up than about the batch.
        QTest::newRow("no estimate in the first second")
            << 900 << 3 << 0.0 << 40 << 200 << false << 80 << QByteArray("3 of 200 files");
        QTest::newRow("rate and time left") << 10000 << 20 << 0.0 << 850 << 200 << false << 80
                                            << QByteArray("20 of 200 files, 85 pages/s, 1:30 left");
        QTest::newRow("slow rate, a file in progress counts by its pages")
            << 8000 << 1 << 0.5 << 20 << 5 << false << 80
            << QByteArray("1 of 5 files, 2.5 pages/s, 0:19 left");
        QTest::newRow("hours") << 3600000 << 1 << 0.0 << 36000 << 4 << false << 80
                               << QByteArray("1 of 4 files, 10 pages/s, 3:00:00 left");
        QTest::newRow("time left rounds up, never 0:00 while running")
            << 1000 << 2 << 0.0 << 30 << 3 << false << 80
            << QByteArray("2 of 3 files, 30 pages/s, 0:01 left");
        QTest::newRow("all done, nothing left to estimate")
            << 5000 << 3 << 0.0 << 30 << 3 << false << 80 << QByteArray("3 of 3 files, 6.0 pages/s");
        QTest::newRow("finished: time taken")
            << 65000 << 3 << 0.0 << 130 << 3 << true << 80 << QByteArray("3 of 3 files in 1:05, 2.0 pages/s");
        QTest::newRow("finished without pages")
            << 200 << 0 << 0.0 << 0 << 2 << true << 80 << QByteArray("0 of 2 files in 0:00");
        // A character in the last column makes some terminals wrap.
        QTest::newRow("cut to a narrow terminal")
            << 10000 << 20 << 0.0 << 850 << 200 << false << 20 << QByteArray("20 of 200 files, 85");
        QTest::newRow("terminal without a width: 80 columns")
            << 10000 << 20 << 0.0 << 850 << 200 << false << 0
            << QByteArray("20 of 200 files, 85 pages/s, 1:30 left");
    }
    void textEstimatesAndWidth() {
        QFETCH(int, millisecondsIn);
        QFETCH(int, filesDone);
        QFETCH(double, fileInProgress);
        QFETCH(int, pagesDone);
        QFETCH(int, fileCount);
        QFETCH(bool, finished);
        QFETCH(int, columns);
        QFETCH(QByteArray, expected);
        Terminal terminal(columns);
        {
            ProgressLine line(terminal.stream, fileCount, clock());
            now += std::chrono::milliseconds(millisecondsIn);
            line.update({filesDone, fileInProgress, pagesDone});
            if (finished)
                line.finish();
            QCOMPARE(testsupport::bytes(line.text()).left(expected.size()), expected);
        }
        // The line is drawn between a carriage return and an erase to the end of the line; the
        // last drawing is the final one of the destructor.
        QList<QByteArray> drawings;
        for (const QByteArray& piece : terminal.closeAndRead().split('\r')) {
            if (piece.contains("\x1b[K"))
                drawings.append(piece.left(piece.indexOf("\x1b[K")));
        }
        QVERIFY(drawings.size() >= 2);
        QCOMPARE(drawings[drawings.size() - (finished ? 1 : 2)], expected);
    }

    // Redraws come at most every 100 ms, a message never shares the line, and the end leaves
    // the final state on a line of its own.
    void redrawsInPlaceAndKeepsTextApart() {
        Terminal terminal(80);
        {
            ProgressLine line(terminal.stream, 4, clock());
            now += 50ms;
            line.update({1, 0, 3});
            now += 50ms;
            line.update({1, 0.5, 4});
            now += 20ms;
            line.printAbove(terminal.stream, "a.pdf: Not a valid pdf file!");
            now += 30ms;
            line.update({2, 0, 5});
            now += 1400ms;
            line.finish();
            line.update({3, 0, 6});
            line.printAbove(terminal.stream, "after the end");
        }
        QCOMPARE(terminal.closeAndRead(), QByteArray("\r0 of 4 files\x1b[K"
                                                     "\r1 of 4 files\x1b[K"
                                                     "\r\x1b[K"
                                                     "a.pdf: Not a valid pdf file!\n"
                                                     "\r1 of 4 files\x1b[K"
                                                     "\r2 of 4 files in 0:01, 3.2 pages/s\x1b[K\n"
                                                     "after the end\n"));
    }
};

QTEST_GUILESS_MAIN(TestProgressLine)
#include "tst_progressline.moc"
