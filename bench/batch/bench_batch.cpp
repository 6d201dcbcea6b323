#include "FixturePdf.h"
#include "controls/chrome/SummaryEdit.h"
#include "controls/grid/GridCtrl.h"
#include "core/ConverterApp.h"
#include "engine/FileConverter.h"
#include "platform/CommandRouter.h"
#include "platform/RecordingShell.h"
#include "platform/ScriptedDialogs.h"
#include "platform/SystemFolders.h"
#include "ui/ConvertBatch.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/RightView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kPages = 2000;

// The job pane beside the option pane, with a batch plugged in and one 2,000-page PDF listed.
struct Window {
    QTemporaryDir temp;
    platform::ScriptedDialogs dialogs;
    platform::RecordingShell shell;
    platform::CommandRouter router;
    ConverterApp app;
    QWidget window;
    CLeftView* jobs = nullptr;
    CRightView* options = nullptr;
    std::unique_ptr<ConvertBatch> batch;
    QString pdf;

    Window() {
        platform::Dialogs::setInstance(&dialogs);
        platform::Shell::setInstance(&shell);
        app.deriveDataFolder(platform::SystemFolders::programDir(),
                             temp.filePath(QStringLiteral("config")).toStdString());
        app.writeEngineConfig();
        app.options = ConvertOptions::defaults();
        app.options.openResult = 1;
        jobs = new CLeftView(router, &window);
        options = new CRightView(app, &window);
        jobs->setGeometry(0, 0, 640, 600);
        options->setGeometry(640, 0, 360, 600);
        window.resize(1000, 600);
        jobs->GetPanel()->setOptionPane(options);
        batch = std::make_unique<ConvertBatch>(
            *jobs->GetPanel(), *options, std::make_unique<FileConverter>(app.configPath, app.programDir));
        pdf = temp.filePath(QStringLiteral("pages-2000.pdf"));
        fixtures::writeLargeTextPdf(pdf, kPages, 50);
        jobs->GetPanel()->addDroppedPaths({pdf.toStdString()});
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the window was not shown");
    }

    void clickJob() {
        grid::CGridCtrl* grid = jobs->GetPanel()->jobGrid();
        QRect cell;
        grid->GetCellRect(1, 1, &cell);
        QTest::mouseClick(grid, Qt::LeftButton, {}, cell.center());
    }
};

// The longest any event waits while a batch converts the 2,000-page PDF: a timer due every
// 5 ms measures how late it runs.
void BM_LongestEventWaitDuringBatch(benchmark::State& state) {
    Window window;
    ConvertPanel* panel = window.jobs->GetPanel();
    for (auto _ : state) {
        qint64 longestWait = 0;
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { longestWait = std::max(longestWait, sinceTick.restart() - 5); });
        QElapsedTimer batchTime;
        batchTime.start();
        panel->OnStartConvert();
        sinceTick.start();
        ticker.start(5);
        const bool ended = QTest::qWaitFor([&] { return !panel->isRunning(); }, 600000);
        ticker.stop();
        if (!ended)
            state.SkipWithError("the batch did not end");
        state.counters["longest_wait_ms"] = double(longestWait);
        state.counters["batch_s"] = batchTime.elapsed() / 1000.0;
    }
}
BENCHMARK(BM_LongestEventWaitDuringBatch)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// A click on the job until its summary stands in the pane.
void BM_SummaryOnClick(benchmark::State& state) {
    Window window;
    CSummaryEdit* summary = window.jobs->GetPanel()->summaryPane();
    for (auto _ : state) {
        summary->clear();
        window.clickJob();
        if (!summary->toPlainText().contains(QStringLiteral("Number of Pages: 2000")))
            state.SkipWithError("the summary did not show the page count");
    }
}
BENCHMARK(BM_SummaryOnClick)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
