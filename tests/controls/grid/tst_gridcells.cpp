#include "GridTestSupport.h"
#include "TestSupport.h"

#include "controls/grid/CellFactory.h"
#include "controls/grid/GridCell.h"
#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridDefaultCell.h"
#include "platform/DrawText.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

using namespace grid;
using platform::CLR_DEFAULT;
using platform::RGB;

class TestGridCells : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void defaultCellIsReadOnlyAndIgnoresStateAndData() {
        CGridDefaultCell cell;
        cell.SetState(GCS_SELECTED);
        cell.SetData(42);
        QCOMPARE(cell.GetState(), GCS_READONLY);
        QCOMPARE(cell.GetData(), LPARAM(0));
        QCOMPARE(cell.GetFormat(), GRID_DEFAULT_FORMAT);
    }

    void defaultSizesFollowTheFont() {
        CGridDefaultCell cell;
        LOGFONT font = LOGFONT::systemFont();
        font.height = -30;
        cell.SetFont(&font);
        const QFontMetrics metrics(font.toQFont());
        QCOMPARE(int(cell.GetMargin()), metrics.horizontalAdvance(QLatin1Char(' ')));
        QCOMPARE(cell.GetWidth(), metrics.horizontalAdvance(QStringLiteral(" XXXXXXXXXXXX ")));
        QCOMPARE(cell.GetHeight(), metrics.height() * 3 / 2);
        cell.SetFont(nullptr); // ignored: the sizes stay
        QCOMPARE(cell.GetHeight(), metrics.height() * 3 / 2);
    }

    // Unset properties come from the default cell of the cell's kind (normal, fixed row...).
    void unsetPropertiesComeFromTheMatchingDefaultCell() {
        CGridCtrl grid(3, 3, 1, 1);
        CGridCell cell;
        cell.SetGrid(&grid);
        grid.GetDefaultCell(false, false)->SetFormat(platform::DT_CENTER);
        grid.GetDefaultCell(true, false)->SetFormat(platform::DT_RIGHT);
        grid.GetDefaultCell(false, false)->SetMargin(7);
        QCOMPARE(cell.GetFormat(), platform::DT_CENTER);
        QCOMPARE(cell.GetMargin(), 7u);
        cell.SetState(GCS_FIXED | GCS_FIXEDROW);
        QCOMPARE(cell.GetFormat(), platform::DT_RIGHT);
        cell.SetState(GCS_FIXED | GCS_FIXEDROW | GCS_FIXEDCOL);
        QCOMPARE(cell.GetDefaultCell(), grid.GetDefaultCell(true, true));
        cell.SetFormat(platform::DT_LEFT);
        QCOMPARE(cell.GetFormat(), platform::DT_LEFT);
    }

    void resetLeavesACellWithoutGridThatCannotDraw() {
        CGridCtrl grid(2, 2);
        CGridCell cell;
        cell.SetGrid(&grid);
        cell.SetText(QStringLiteral("x"));
        LOGFONT font;
        font.faceName = QStringLiteral("Serif");
        cell.SetFont(&font);
        QImage image(50, 20, QImage::Format_ARGB32);
        QPainter painter(&image);
        QVERIFY(cell.Draw(&painter, 1, 1, QRect(0, 0, 49, 19)));
        QVERIFY(!cell.Draw(&painter, 1, 1, QRect(0, 0, 0, 19))); // empty rectangle
        cell.Reset();
        QVERIFY(cell.GetDefaultCell() == nullptr);
        QVERIFY(cell.UsesDefaultFont());
        QCOMPARE(cell.GetText(), QString());
        QCOMPARE(cell.GetImage(), -1);
        QVERIFY(!cell.Draw(&painter, 1, 1, QRect(0, 0, 49, 19)));
    }

    void copyFromTakesEveryProperty() {
        CGridCtrl grid(2, 2);
        CGridCell source;
        source.SetGrid(&grid);
        source.SetText(QStringLiteral("text"));
        source.SetImage(2);
        source.SetData(9);
        source.SetState(GCS_READONLY);
        source.SetFormat(platform::DT_RIGHT);
        source.SetTextColor(RGB(1, 2, 3));
        source.SetBackColor(RGB(4, 5, 6));
        LOGFONT font;
        font.weight = LOGFONT::FW_BOLD;
        source.SetFont(&font);
        source.SetMargin(5);
        CGridCellCheck copy;
        copy.CopyFrom(source);
        QCOMPARE(copy.GetGrid(), &grid);
        QCOMPARE(copy.GetText(), QStringLiteral("text"));
        QCOMPARE(copy.GetImage(), 2);
        QCOMPARE(copy.GetData(), LPARAM(9));
        QCOMPARE(copy.GetState(), GCS_READONLY);
        QCOMPARE(copy.GetFormat(), platform::DT_RIGHT);
        QCOMPARE(copy.GetTextColor(), RGB(1, 2, 3));
        QCOMPARE(copy.GetBackColor(), RGB(4, 5, 6));
        QVERIFY(!copy.UsesDefaultFont());
        QCOMPARE(copy.GetFont()->weight, LOGFONT::FW_BOLD);
        QCOMPARE(copy.GetMargin(), 5u);
        // The copy owns its font: changing the source leaves it alone.
        source.SetFont(nullptr);
        QCOMPARE(copy.GetFont()->weight, LOGFONT::FW_BOLD);
    }

    void measuringAddsMarginsAndTheFixedPixel() {
        CGridCtrl grid(2, 2, 1);
        CGridCellBase* cell = grid.GetCell(1, 0);
        cell->SetText(QStringLiteral("Measure me"));
        cell->SetMargin(4);
        const QFontMetrics metrics(cell->GetFontObject());
        const QSize text = cell->MeasureText(cell->GetText());
        QCOMPARE(text, QSize(metrics.horizontalAdvance(cell->GetText()) + 8, metrics.height() + 8));
        QCOMPARE(cell->MeasureCell(), text + QSize(1, 1));
        CGridCellBase* header = grid.GetCell(0, 0);
        header->SetText(cell->GetText());
        header->SetMargin(4);
        QCOMPARE(header->MeasureCell(), text + QSize(2, 2));
    }

    void wordBreakMeasuresTheWidestLine() {
        CGridCtrl grid(1, 1);
        CGridCellBase* cell = grid.GetCell(0, 0);
        cell->SetFormat(platform::DT_WORDBREAK);
        cell->SetMargin(0);
        cell->SetText(QStringLiteral("a\nmuch longer line"));
        const QFontMetrics metrics(cell->GetFontObject());
        const QSize size = cell->MeasureText(cell->GetText());
        QVERIFY(size.width() >= metrics.horizontalAdvance(QStringLiteral("much longer line")));
        QVERIFY(size.height() >= 2 * metrics.height() - 1);
    }

    void factoryCreatesCellsByClassName() {
        QVERIFY(CellFactory::Create(QStringLiteral("CGridCellBase")) == nullptr);
        QVERIFY(CellFactory::Create(QStringLiteral("NoSuchCell")) == nullptr);
        const auto check = CellFactory::Create(QStringLiteral("CGridCellCheck"));
        QVERIFY(dynamic_cast<CGridCellCheck*>(check.get()));
        CellFactory::Register(QStringLiteral("TestCell"), [] { return std::make_unique<CGridCell>(); });
        QVERIFY(CellFactory::IsRegistered(QStringLiteral("TestCell")));
    }

    void gridCreatesAndReplacesCellsByClass() {
        CGridCtrl grid(3, 2, 1);
        QVERIFY(!grid.SetDefaultCellType(QStringLiteral("NoSuchCell")));
        QVERIFY(grid.SetDefaultCellType(QStringLiteral("CGridCellNumeric")));
        grid.SetRowCount(4);
        QCOMPARE(grid.GetCell(3, 1)->GetRuntimeClassName(), QStringLiteral("CGridCellNumeric"));
        QCOMPARE(grid.GetCell(2, 1)->GetRuntimeClassName(), QStringLiteral("CGridCell"));

        grid.SetCellText(2, 0, QStringLiteral("kept"));
        grid.SetCellState(2, 0, GCS_READONLY | GCS_SELECTED);
        QVERIFY(grid.ReplaceCellClass(2, 0, QStringLiteral("CGridCellCheck")));
        CGridCellBase* replaced = grid.GetCell(2, 0);
        QCOMPARE(replaced->GetRuntimeClassName(), QStringLiteral("CGridCellCheck"));
        QCOMPARE(replaced->GetText(), QStringLiteral("kept"));
        QVERIFY(replaced->IsReadOnly());
        QVERIFY(grid.IsCellSelected(2, 0));
        QVERIFY(!grid.ReplaceCellClass(2, 0, QStringLiteral("NoSuchCell")));
        QVERIFY(!grid.ReplaceCellClass(9, 0, QStringLiteral("CGridCell")));
    }

    void newCellsCarryTheirFixedFlags() {
        CGridCtrl grid(3, 3, 1, 1);
        QCOMPARE(grid.GetCellState(0, 0), GCS_FIXED | GCS_FIXEDROW | GCS_FIXEDCOL);
        QCOMPARE(grid.GetCellState(0, 2), GCS_FIXED | GCS_FIXEDROW);
        QCOMPARE(grid.GetCellState(2, 0), GCS_FIXED | GCS_FIXEDCOL);
        QCOMPARE(grid.GetCellState(2, 2), 0u);
        grid.SetFixedRowCount(0);
        QCOMPARE(grid.GetCellState(0, 0), GCS_FIXED | GCS_FIXEDCOL);
        QCOMPARE(grid.GetCellState(0, 2), 0u);
        grid.SetFixedColumnCount(0);
        QCOMPARE(grid.GetCellState(0, 0), 0u);
    }
};

QTEST_MAIN(TestGridCells)
#include "tst_gridcells.moc"
