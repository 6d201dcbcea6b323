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
