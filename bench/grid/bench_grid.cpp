#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridCtrl.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>

using namespace grid;

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 6;

std::unique_ptr<CGridCtrl> makeGrid(bool withTexts) {
    auto grid = std::make_unique<CGridCtrl>(kRows + 1, kCols, 1, 0);
    grid->resize(1000, 700);
    for (int row = 1; withTexts && row <= kRows; ++row) {
        grid->SetRowHeight(row, 18);
        for (int col = 0; col < kCols; ++col)
            grid->SetCellText(row, col, QStringLiteral("cell %1:%2").arg(row).arg(col));
    }
    return grid;
}

void BM_FillTexts(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(makeGrid(true));
}
BENCHMARK(BM_FillTexts)->Unit(benchmark::kMillisecond)->Iterations(3);

// Heap bytes per cell of an empty grid: row arrays, cell objects and size tables.
void BM_MemoryPerCell(benchmark::State& state) {
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        auto grid = std::make_unique<CGridCtrl>(kRows, kCols);
        const std::size_t after = mallinfo2().uordblks;
        state.counters["bytes_per_cell"] = double(after - before) / (kRows * kCols);
    }
}
BENCHMARK(BM_MemoryPerCell)->Unit(benchmark::kMillisecond)->Iterations(1);

// One full paint of the 1000 x 700 viewport, scrolled to the top, the middle or the end.
void BM_PaintViewport(benchmark::State& state) {
    auto grid = makeGrid(true);
    grid->OnVScroll(SB_THUMBTRACK, int(qint64(grid->GetScrollMax(Qt::Vertical)) * state.range(0) / 100));
    QImage image(grid->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        grid->render(&image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintViewport)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_EnsureVisibleLastRow(benchmark::State& state) {
    auto grid = makeGrid(false);
    for (auto _ : state) {
        grid->OnVScroll(SB_TOP);
        grid->EnsureVisible(kRows, kCols - 1);
    }
}
BENCHMARK(BM_EnsureVisibleLastRow)->Unit(benchmark::kMillisecond);

void BM_CtrlEnd(benchmark::State& state) {
    auto grid = makeGrid(false);
    for (auto _ : state) {
        grid->OnVScroll(SB_TOP);
        grid->SetFocusCell(1, 0);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(grid.get(), &key);
    }
    if (grid->GetFocusCell() != CCellID(kRows, kCols - 1))
        state.SkipWithError("Ctrl+End did not reach the last cell");
}
BENCHMARK(BM_CtrlEnd)->Unit(benchmark::kMillisecond);

// The grid's own Select All over every cell, then clearing it again.
void BM_SelectAllCells(benchmark::State& state) {
    auto grid = makeGrid(false);
    for (auto _ : state) {
        grid->SelectAllCells();
        grid->SelectRange(-1, -1, -1, -1);
    }
}
BENCHMARK(BM_SelectAllCells)->Unit(benchmark::kMillisecond);

// The job list's Select All and Invert: ticking and inverting every row's check box.
void BM_TickAllThenInvert(benchmark::State& state) {
    auto grid = makeGrid(false);
    grid->SetDefaultCellType(QStringLiteral("CGridCellCheck"));
    grid->SetRowCount(1);
    grid->SetRowCount(kRows + 1);
    for (auto _ : state) {
        for (int row = 1; row <= kRows; ++row)
            static_cast<CGridCellCheck*>(grid->GetCell(row, 0))->SetCheck(true);
        for (int row = 1; row <= kRows; ++row) {
            auto* check = static_cast<CGridCellCheck*>(grid->GetCell(row, 0));
            check->SetCheck(!check->GetCheck());
        }
    }
}
BENCHMARK(BM_TickAllThenInvert)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
