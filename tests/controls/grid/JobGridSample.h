#pragma once

#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridCtrl.h"
#include "platform/DrawText.h"

#include <QDateTime>
#include <QLocale>

namespace gridtest {

// A grid set up like the converter's job list: a bold header row, a check-box column, name,
// size and date, and two editable password columns; every other job ticked.
inline void fillJobGrid(grid::CGridCtrl& grid, int jobs, int rowHeight = 18) {
    using namespace grid;
    using namespace platform;
    grid.SetEditable(true);
    grid.SetRowResize(false);
    grid.SetColumnResize(true);
    grid.SetGridBkColor(RGB(255, 255, 255));
    grid.SetListMode(true);
    grid.SetSingleRowSelection(true);
    grid.SetHeaderSort(false);
    grid.SetColumnCount(6);
    grid.SetFixedRowCount(1);
    grid.SetRowCount(jobs + 1);

    const QStringList headers{QString(),
                              QStringLiteral("File Name"),
                              QStringLiteral("File Size"),
                              QStringLiteral("Creation Date"),
                              QStringLiteral("Owner Password"),
                              QStringLiteral("User Password")};
    const int widths[] = {25, 144, 100, 154, 110, 100};
    LOGFONT headerFont = LOGFONT::fromQFont(grid.font());
    headerFont.weight = LOGFONT::FW_BOLD;
    const unsigned single = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    const double scale = rowHeight / 18.0;
    for (int col = 0; col < 6; ++col) {
        grid.SetCellText(0, col, headers.at(col));
        grid.SetCellFormat(0, col, single | DT_CENTER);
        grid.SetCellFont(0, col, &headerFont);
        grid.SetColumnWidth(col, int(widths[col] * scale));
    }
    grid.SetRowHeight(0, rowHeight);
    const QDateTime base(QDate(2026, 3, 14), QTime(9, 26, 53));
    for (int job = 1; job <= jobs; ++job) {
        grid.ReplaceCellClass(job, 0, QStringLiteral("CGridCellCheck"));
        static_cast<CGridCellCheck*>(grid.GetCell(job, 0))->SetCheck(job % 2 == 1);
        grid.SetCellText(job, 1, QStringLiteral("report-%1.pdf").arg(job, 4, 10, QLatin1Char('0')));
        grid.SetCellText(job, 2,
                         QLocale(QLocale::English).toString(qlonglong(job) * 1237 % 90000) +
                             QStringLiteral(" KB"));
        grid.SetCellText(job, 3,
                         base.addSecs(qint64(job) * 3917).toString(QStringLiteral("HH:mm:ss MM/dd/yyyy")));
        for (int col = 0; col < 6; ++col) {
            grid.SetCellFormat(job, col, single | (col == 2 || col == 3 || col == 0 ? DT_RIGHT : DT_LEFT));
            if (col < 4)
                grid.SetCellState(job, col, grid.GetCellState(job, col) | GCS_READONLY);
        }
        grid.SetRowHeight(job, rowHeight);
    }
    grid.MarkModified(false);
}

} // namespace gridtest
