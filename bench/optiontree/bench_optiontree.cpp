// In-process figures of the option tree: building and first painting the option pane, and
// painting a long tree while it scrolls.
#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeList.h"
#include "core/ConverterApp.h"
#include "ui/RightView.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

namespace {

void buildAndPaintOptionPane(benchmark::State& state) {
    ConverterApp app;
    app.options = ConvertOptions::defaults();
    QImage image(360, 480, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QWidget window;
        window.resize(360, 480);
        auto* pane = new CRightView(app, &window);
        pane->resize(360, 480);
        window.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The first pane of the process: fonts, style and caches are still cold.
void BM_FirstBuildAndPaintOptionPane(benchmark::State& state) {
    buildAndPaintOptionPane(state);
}
BENCHMARK(BM_FirstBuildAndPaintOptionPane)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BuildAndPaintOptionPane(benchmark::State& state) {
    buildAndPaintOptionPane(state);
}
BENCHMARK(BM_BuildAndPaintOptionPane)->Unit(benchmark::kMillisecond);

void BM_PaintWhileScrolling2000Items(benchmark::State& state) {
    QWidget window;
    window.resize(400, 600);
    COptionTree tree(OTS_SHOWINFOWINDOW | OTS_SHADEMARGIN | OTS_SHADEROOTITEMS, 101, &window);
    tree.resize(400, 600);
    for (int category = 0; category < 20; ++category) {
        COptionTreeItem* header = tree.AddItem(std::make_unique<COptionTreeItem>());
        header->SetLabelText(QStringLiteral("Category %1").arg(category));
        for (int row = 0; row < 99; ++row)
            tree.AddItem(std::make_unique<COptionTreeItem>(), header)
                ->SetLabelText(QStringLiteral("Row %1").arg(row));
    }
    tree.ExpandEverything();
    window.show();
    QApplication::processEvents();
    QWidget* list = tree.GetListWindow();
    QImage image(list->size(), QImage::Format_ARGB32_Premultiplied);
    int origin = 0;
    for (auto _ : state) {
        origin = (origin + 3 * COptionTree::LINE_STEP) % (tree.GetTotalHeight() - list->height());
        tree.SetScrollOrigin(origin);
        list->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["items"] = 2000;
}
BENCHMARK(BM_PaintWhileScrolling2000Items)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
