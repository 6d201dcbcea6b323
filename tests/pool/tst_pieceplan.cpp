#include "pool/PiecePlan.h"

#include <QTest>

// How a job's page range is cut for several workers: the pieces cover the range exactly once,
// in page order, evenly, never too short, only the first with the head and only the last with
// the foot.
class TestPiecePlan : public QObject {
    Q_OBJECT

    static QString describe(const std::vector<PagePiece>& pieces) {
        QStringList parts;
        for (const PagePiece& piece : pieces)
            parts.append(QStringLiteral("%1-%2%3%4")
                             .arg(piece.first)
                             .arg(piece.last)
                             .arg(piece.head ? QStringLiteral("h") : QString())
                             .arg(piece.foot ? QStringLiteral("f") : QString()));
        return parts.join(QLatin1Char(' '));
    }

private Q_SLOTS:
    void cutsAreEvenAndBounded_data() {
        QTest::addColumn<int>("firstPage");
        QTest::addColumn<int>("lastPage");
        QTest::addColumn<int>("workers");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("one page") << 1 << 1 << 4 << QStringLiteral("1-1hf");
        QTest::newRow("just too short to cut") << 1 << 63 << 8 << QStringLiteral("1-63hf");
        QTest::newRow("one worker keeps it whole") << 1 << 5000 << 1 << QStringLiteral("1-5000hf");
        QTest::newRow("shortest cut range") << 1 << 64 << 2 << QStringLiteral("1-16h 17-32 33-48 49-64f");
        QTest::newRow("uneven pages go to the first pieces")
            << 1 << 200 << 2 << QStringLiteral("1-34h 35-68 69-101 102-134 135-167 168-200f");
        QTest::newRow("a selected range keeps its pages")
            << 101 << 180 << 16 << QStringLiteral("101-116h 117-132 133-148 149-164 165-180f");
        QTest::newRow("pieces no shorter than the least")
            << 1 << 79 << 64 << QStringLiteral("1-20h 21-40 41-60 61-79f");
    }
    void cutsAreEvenAndBounded() {
        QFETCH(int, firstPage);
        QFETCH(int, lastPage);
        QFETCH(int, workers);
        QFETCH(QString, pieces);
        QCOMPARE(describe(PiecePlan::cut(firstPage, lastPage, workers)), pieces);
    }

    // Each page read from its picture is a piece of its own; the text between keeps the
    // rules of a range, and pages outside the range or repeated are passed over.
    void readPagesArePiecesOfTheirOwn_data() {
        QTest::addColumn<int>("lastPage");
        QTest::addColumn<int>("workers");
        QTest::addColumn<QList<int>>("readPages");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("a scan of three pages")
            << 3 << 2 << QList<int>{1, 2, 3} << QStringLiteral("1-1h 2-2 3-3f");
        QTest::newRow("one worker keeps it whole")
            << 3 << 1 << QList<int>{1, 2, 3} << QStringLiteral("1-3hf");
        QTest::newRow("scans among text")
            << 10 << 2 << QList<int>{2, 7} << QStringLiteral("1-1h 2-2 3-6 7-7 8-10f");
        QTest::newRow("long text between is cut")
            << 70 << 2 << QList<int>{1, 70} << QStringLiteral("1-1h 2-18 19-35 36-52 53-69 70-70f");
        QTest::newRow("odd lists") << 5 << 2 << QList<int>{0, 3, 3, 2, 9} << QStringLiteral("1-2h 3-3 4-5f");
    }
    void readPagesArePiecesOfTheirOwn() {
        QFETCH(int, lastPage);
        QFETCH(int, workers);
        QFETCH(QList<int>, readPages);
        QFETCH(QString, pieces);
        QCOMPARE(describe(PiecePlan::cut(1, lastPage, workers, {readPages.begin(), readPages.end()})),
                 pieces);
    }

    // Each piece keeps a file open until its job's turn: a scan of thousands of pages must not
    // take thousands of descriptors.
    void longScansAreReadInGroups() {
        std::vector<int> every(2000);
        for (int page = 1; page <= 2000; ++page)
            every[static_cast<std::size_t>(page - 1)] = page;
        const std::vector<PagePiece> pieces = PiecePlan::cut(1, 2000, 2, every);
        QCOMPARE(pieces.size(), PiecePlan::maxReadPieces);
        for (std::size_t i = 0; i < pieces.size(); ++i)
            QCOMPARE(pieces[i].first, static_cast<int>(i) * 10 + 1);
        QCOMPARE(pieces.back().last, 2000);
        QCOMPARE(PiecePlan::cut(1, 2000, 2, {every.begin(), every.begin() + 200}).size(), std::size_t{206});
    }

    // Over many ranges and worker counts the rules hold for every cut, not just the samples.
    void everyCutCoversItsRangeOnce() {
        for (int workers = 1; workers <= 9; ++workers) {
            for (int pages = 1; pages <= 700; pages += 7) {
                const int first = pages % 5 + 1;
                const int last = first + pages - 1;
                const std::vector<PagePiece> pieces = PiecePlan::cut(first, last, workers);
                const QByteArray where = QStringLiteral("%1 pages from %2 on %3 workers: %4")
                                             .arg(pages)
                                             .arg(first)
                                             .arg(workers)
                                             .arg(describe(pieces))
                                             .toUtf8();
                QVERIFY2(!pieces.empty(), where.constData());
                QVERIFY2(pieces.size() <= std::size_t(workers * PiecePlan::piecesPerWorker) ||
                             pieces.size() == 1,
                         where.constData());
                if (workers == 1 || pages < PiecePlan::minPagesToCut)
                    QVERIFY2(pieces.size() == 1, where.constData());
                int next = first;
                int shortest = pages;
                int longest = 0;
                for (std::size_t i = 0; i < pieces.size(); ++i) {
                    const int length = pieces[i].last - pieces[i].first + 1;
                    QVERIFY2(pieces[i].first == next && length >= 1, where.constData());
                    QVERIFY2(pieces[i].head == (i == 0) && pieces[i].foot == (i + 1 == pieces.size()),
                             where.constData());
                    shortest = std::min(shortest, length);
                    longest = std::max(longest, length);
                    next = pieces[i].last + 1;
                }
                QVERIFY2(next == last + 1, where.constData());
                QVERIFY2(longest - shortest <= 1, where.constData());
                QVERIFY2(pieces.size() == 1 || shortest >= PiecePlan::minPiecePages, where.constData());
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestPiecePlan)
#include "tst_pieceplan.moc"
