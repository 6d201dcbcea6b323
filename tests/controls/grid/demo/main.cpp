#include "../JobGridSample.h"

#include <QApplication>

// A job-list grid with a few thousand rows, for a person to try.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    grid::CGridCtrl grid;
    grid.setWindowTitle(QStringLiteral("Grid demo"));
    gridtest::fillJobGrid(grid, 3000);
    grid.resize(700, 480);
    grid.show();
    return app.exec();
}
