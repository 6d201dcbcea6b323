#include "TestSupport.h"

#include "controls/grid/CumulativeSizes.h"

#include <QRandomGenerator>
#include <QTest>

#include <numeric>
#include <vector>

using grid::CumulativeSizes;

// The running sums against a plain vector after every kind of change, so that a wrong sum
// (which would misplace rows and hit tests) shows at once.
class TestCumulativeSizes : public QObject {
    Q_OBJECT

    static void compare(const CumulativeSizes& sizes, const std::vector<int>& plain) {
        QCOMPARE(sizes.size(), int(plain.size()));
        int sum = 0;
        for (int count = 0; count <= int(plain.size()); ++count) {
            QCOMPARE(sizes.sumBefore(count), sum);
            if (count < int(plain.size())) {
                QCOMPARE(sizes.at(count), plain[std::size_t(count)]);
                sum += plain[std::size_t(count)];
            }
        }
        QCOMPARE(sizes.total(), sum);
        for (int offset = -1; offset <= sum + 1; ++offset) {
            int expected = 0;
            while (expected <= int(plain.size()) &&
                   std::accumulate(plain.begin(),
                                   plain.begin() + std::min<std::ptrdiff_t>(expected, plain.size()),
                                   0) < offset)
                ++expected;
            QCOMPARE(sizes.countReaching(offset), expected);
        }
    }

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void matchesPlainSumsThroughRandomChanges() {
        QRandomGenerator random(7);
        CumulativeSizes sizes;
        std::vector<int> plain;
        for (int step = 0; step < 300; ++step) {
            const int value = random.bounded(4) == 0 ? 0 : random.bounded(1, 30);
            switch (random.bounded(6)) {
            case 0:
            case 1:
                sizes.append(value);
                plain.push_back(value);
                break;
            case 2:
                if (!plain.empty()) {
                    const int index = random.bounded(int(plain.size()));
                    sizes.set(index, value);
                    plain[std::size_t(index)] = value;
                }
                break;
            case 3:
                if (!plain.empty()) {
                    const int index = random.bounded(int(plain.size()));
                    sizes.erase(index);
                    plain.erase(plain.begin() + index);
                }
                break;
            case 4:
                if (plain.size() > 1) {
                    const int first = random.bounded(int(plain.size()));
                    const int second = random.bounded(int(plain.size()));
                    sizes.swap(first, second);
                    std::swap(plain[std::size_t(first)], plain[std::size_t(second)]);
                }
                break;
            default: {
                const int count = random.bounded(int(plain.size()) + 5);
                sizes.resize(count, value);
                plain.resize(std::size_t(count), value);
            }
            }
            compare(sizes, plain);
            if (QTest::currentTestFailed())
                return;
        }
    }
};

QTEST_GUILESS_MAIN(TestCumulativeSizes)
#include "tst_cumulativesizes.moc"
