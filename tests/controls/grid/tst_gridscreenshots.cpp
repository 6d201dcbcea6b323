#include "GridTestSupport.h"
#include "JobGridSample.h"
#include "TestSupport.h"

#include "controls/grid/GridCellEdit.h"

using namespace grid;
using namespace gridtest;

// Saves the job-list grid in the states worth a look, at the default and at a large font.
class TestGridScreenshots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void jobList_data() {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("default") << 0;
        QTest::newRow("large") << 20;
    }

    void jobList() {
        QFETCH(int, pointSize);
        const QString suffix = pointSize ? QStringLiteral("-large") : QString();
        RecordingOwner owner;
        owner.resize(pointSize ? 1400 : 700, pointSize ? 600 : 300);
        auto* grid = new CGridCtrl(0, 0, 0, 0, &owner);
        grid->setGeometry(owner.rect());
        if (pointSize) {
            QFont font = grid->font();
            font.setPointSize(pointSize);
            grid->setFont(font);
        }
        // The job list's 18 pixels suit the default font; a large font needs its own height.
        const int rowHeight = pointSize ? grid->GetDefaultCell(false, false)->GetHeight() : 18;
        fillJobGrid(*grid, 40, rowHeight);
        owner.show();
        owner.activateWindow(); // focus needs an active window, on any display
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        QVERIFY(grid->IsScrollBarShown(Qt::Vertical));
        QVERIFY(!testsupport::saveScreenshot(grid, QStringLiteral("grid"), QStringLiteral("joblist") + suffix)
                     .isEmpty());

        grid->SortByColumn(1, false);
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier,
                          QPoint(grid->GetColumnWidth(0) + 20, rowHeight * 3 + 5));
        grid->SetFocusCell(3, 4);
        QVERIFY(grid->GetSelectedCount() > 0);
        testsupport::saveScreenshot(grid, QStringLiteral("grid"), QStringLiteral("selected-sorted") + suffix);

        QTest::keyClicks(grid, QStringLiteral("secret"));
        QVERIFY(grid->IsCellEditing(3, 4));
        testsupport::saveScreenshot(grid, QStringLiteral("grid"), QStringLiteral("editing") + suffix);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(grid->GetCellText(3, 4), QStringLiteral("secret"));

        grid->EnsureVisible(40, 5);
        testsupport::saveScreenshot(grid, QStringLiteral("grid"), QStringLiteral("scrolled") + suffix);
    }
};

QTEST_MAIN(TestGridScreenshots)
#include "tst_gridscreenshots.moc"
