#include "controls/grid/GridCtrl.h"
#include "platform/CommandRouter.h"
#include "platform/ScriptedDialogs.h"
#include "ui/ConvertPanel.h"
#include "ui/JobGrid.h"
#include "ui/LeftView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

// A folder of count empty files named like PDFs, spread over subfolders of 1,000, made once
// per count for the whole run.
const QString& folderOf(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    std::unique_ptr<QTemporaryDir>& folder = folders[count];
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        for (int i = 0; i < count; ++i) {
            const QString sub =
                folder->filePath(QStringLiteral("part%1").arg(i / 1000, 3, 10, QLatin1Char('0')));
            if (i % 1000 == 0)
                QDir().mkpath(sub);
            QFile file(sub + QStringLiteral("/report-%1.pdf").arg(i, 6, 10, QLatin1Char('0')));
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write the benchmark files");
        }
    }
    static QString path;
    path = folder->path() + QLatin1Char('/');
    return path;
}

struct ShownPane {
    platform::CommandRouter router;
    CLeftView view{router};

    ShownPane() {
        view.resize(640, 480);
        view.show();
    }
    ConvertPanel* panel() const { return view.GetPanel(); }
    // Until the rows are on the screen: the pending layout and one paint.
    void showRows() {
        QApplication::processEvents();
        view.repaint();
    }
};

// Import Directory on a folder of state.range(0) PDFs, from the command to the painted rows.
void BM_ImportFolder(benchmark::State& state) {
    const int count = int(state.range(0));
    platform::ScriptedDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);
    const std::string folder = folderOf(count).toStdString();
    for (auto _ : state) {
        state.PauseTiming();
        auto pane = std::make_unique<ShownPane>();
        dialogs.queueFolder(folder);
        state.ResumeTiming();
        pane->panel()->OnImportDirectory();
        pane->showRows();
        state.PauseTiming();
        if (pane->panel()->jobs().size() != count)
            state.SkipWithError("not every file was imported");
        pane.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = count;
}
BENCHMARK(BM_ImportFolder)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same folder a second time: every file meets the duplicate test and is reported.
void BM_ImportFolderAgain(benchmark::State& state) {
    const int count = int(state.range(0));
    platform::ScriptedDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);
    const std::string folder = folderOf(count).toStdString();
    ShownPane pane;
    dialogs.queueFolder(folder);
    pane.panel()->OnImportDirectory();
    for (auto _ : state) {
        dialogs.queueFolder(folder);
        pane.panel()->OnImportDirectory();
        state.PauseTiming();
        dialogs.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportFolderAgain)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The grid's share: appending rows with fixed texts, no file system.
void BM_AppendGridRows(benchmark::State& state) {
    const int count = int(state.range(0));
    const JobGrid::RowTexts texts{QStringLiteral("report.pdf"), QStringLiteral("1,234 KB"),
                                  QStringLiteral("09:26:53 03/14/2026")};
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = std::make_unique<grid::CGridCtrl>();
        grid->resize(640, 200);
        JobGrid rows(*grid);
        rows.setUp();
        state.ResumeTiming();
        for (int i = 0; i < count; ++i)
            rows.appendRow(texts);
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendGridRows)
    ->Arg(10000)
    ->Arg(50000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
