#include "ui/JobGrid.h"

#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridCtrl.h"
#include "core/FileFacts.h"
#include "platform/FilePath.h"
#include "platform/NativePath.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ctime>
#include <numeric>

using namespace grid;

namespace {

constexpr std::array<int, JobGrid::COL_COUNT> GIVEN_WIDTHS{25, 144, 100, 154, 110, 100};
constexpr int LEAST_ROW_HEIGHT = 18;
constexpr unsigned LEFT = GRID_DEFAULT_FORMAT | platform::DT_LEFT;
constexpr unsigned RIGHT = GRID_DEFAULT_FORMAT | platform::DT_RIGHT;
constexpr unsigned CENTRED = GRID_DEFAULT_FORMAT | platform::DT_CENTER;

QString headerText(int column) {
    switch (column) {
    case JobGrid::COL_NAME:
        return QStringLiteral("File Name");
    case JobGrid::COL_SIZE:
        return QStringLiteral("File Size");
    case JobGrid::COL_DATE:
        return QStringLiteral("Creation Date");
    case JobGrid::COL_OWNER_PASSWORD:
        return QStringLiteral("Owner Password");
    case JobGrid::COL_USER_PASSWORD:
        return QStringLiteral("User Password");
    default:
        return {};
    }
}

// Each column takes its given width, or what it needs when that is more. The columns keep to
// the budget (the given widths' sum, or less in a narrower grid) while their needs allow: what
// has to go comes from the columns with room above their own needs, in proportion to that
// room. Where the needs alone are wider (a large font), nothing is taken, since the grid
// scrolls anyway.
std::array<int, JobGrid::COL_COUNT> fitColumns(const std::array<int, JobGrid::COL_COUNT>& needs, int budget) {
    std::array<int, JobGrid::COL_COUNT> widths{};
    for (std::size_t column = 0; column < widths.size(); ++column)
        widths[column] = std::max(GIVEN_WIDTHS[column], needs[column]);
    const int total = std::accumulate(widths.begin(), widths.end(), 0);
    const int room = total - std::accumulate(needs.begin(), needs.end(), 0);
    const int cut = total - budget;
    if (cut <= 0 || cut > room)
        return widths;
    // Cutting by running sums hands out the whole cut, rounding included.
    int roomBefore = 0;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const int roomHere = widths[column] - needs[column];
        widths[column] -= (roomBefore + roomHere) * cut / room - roomBefore * cut / room;
        roomBefore += roomHere;
    }
    return widths;
}

bool isRightAligned(int column) {
    return column == JobGrid::COL_CHECK || column == JobGrid::COL_SIZE || column == JobGrid::COL_DATE;
}

bool isReadOnly(int column) {
    return column < JobGrid::COL_OWNER_PASSWORD;
}

} // namespace

JobGrid::JobGrid(CGridCtrl& jobGrid) : grid(jobGrid) {}

void JobGrid::setUp() {
    grid.ClearGrid();
    grid.SetEditable(true);
    grid.SetRowResize(false);
    grid.SetColumnResize(true);
    grid.SetGridBkColor(platform::RGB(255, 255, 255));
    grid.SetColumnCount(COL_COUNT);
    grid.SetFixedRowCount(1);
    grid.SetGridLines(GGL_BOTH);
    grid.SetSingleRowSelection(true);
    grid.SetListMode(true);
    // A click on a header selects nothing, so no column selection is left for Remove Selected
    // or the summary to act on.
    grid.SetFixedRowSelection(false);
    grid.SetHeaderSort(false);
    for (int column = 0; column < COL_COUNT; ++column) {
        grid.SetCellText(0, column, headerText(column));
        grid.SetCellFormat(0, column, CENTRED);
    }
    grid.SetCellState(0, COL_CHECK, grid.GetCellState(0, COL_CHECK) | GCS_READONLY);
    fitToFont();
    grid.Refresh();
}

void JobGrid::fitToFont() {
    LOGFONT headerFont = *grid.GetDefaultCell(false, false)->GetFont();
    headerFont.weight = LOGFONT::FW_BOLD;
    for (int column = 0; column < COL_COUNT; ++column)
        grid.SetCellFont(0, column, &headerFont);
    for (int column = 0; column < COL_COUNT; ++column)
        needs[std::size_t(column)] = neededWidth(column);
    applyFittedWidths();
    // The grid keeps a margin above and below the text too, and a header cell a frame pixel
    // more on each side: rows grow until a line of text fits whole, descenders included.
    const CGridDefaultCell* cell = grid.GetDefaultCell(false, false);
    const int textHeight = QFontMetrics(headerFont.toQFont()).height();
    rowHeight = std::max(LEAST_ROW_HEIGHT, textHeight + 2 * int(cell->GetMargin()) + 1);
    for (int row = 0; row < grid.GetRowCount(); ++row)
        grid.SetRowHeight(row, rowHeight);
}

void JobGrid::fitToWidth() {
    for (int column = 0; column < COL_COUNT; ++column) {
        if (grid.GetColumnWidth(column) != fitted[std::size_t(column)])
            return;
    }
    applyFittedWidths();
}

// The columns fit beside a vertical scroll bar, so a long list scrolls only up and down: a
// horizontal scroll would take the tick column out of sight.
void JobGrid::applyFittedWidths() {
    const int given = std::accumulate(GIVEN_WIDTHS.begin(), GIVEN_WIDTHS.end(), 0);
    const int room = grid.width() - grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
    fitted = fitColumns(needs, grid.width() > 0 ? std::min(given, room) : given);
    for (int column = 0; column < COL_COUNT; ++column)
        grid.SetColumnWidth(column, fitted[std::size_t(column)]);
}

// What a column cannot do without: its whole header, and for the dates a whole date.
int JobGrid::neededWidth(int column) const {
    const CGridDefaultCell* cell = grid.GetDefaultCell(false, false);
    const int margins = 2 * int(cell->GetMargin()) + 1;
    if (column == COL_CHECK) {
        // The check box is as wide as a scroll bar, one margin from the cell's left edge.
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) + margins;
    }
    int width = grid.GetCell(0, column)->MeasureCell().width();
    if (column == COL_DATE) {
        const QFontMetrics metrics(cell->GetFontObject());
        width =
            std::max(width, metrics.horizontalAdvance(QStringLiteral("00:00:00 00/00/0000")) + margins + 1);
    }
    return width;
}

void JobGrid::appendRow(const RowTexts& texts) {
    const int row = grid.GetRowCount();
    grid.SetRowCount(row + 1);
    grid.ReplaceCellClass(row, COL_CHECK, QStringLiteral("CGridCellCheck"));
    static_cast<CGridCellCheck*>(grid.GetCell(row, COL_CHECK))->SetCheck(true);
    // Passwords show as bullets, also while typed, for the eyes of others at the desk.
    for (const int column : {COL_OWNER_PASSWORD, COL_USER_PASSWORD})
        grid.ReplaceCellClass(row, column, QStringLiteral("CGridCellPassword"));
    grid.SetCellText(row, COL_NAME, texts.name);
    grid.SetCellText(row, COL_SIZE, texts.size);
    grid.SetCellText(row, COL_DATE, texts.created);
    for (int column = 0; column < COL_COUNT; ++column) {
        grid.SetCellFormat(row, column, isRightAligned(column) ? RIGHT : LEFT);
        if (isReadOnly(column))
            grid.SetCellState(row, column, grid.GetCellState(row, column) | GCS_READONLY);
    }
    grid.SetRowHeight(row, rowHeight);
}

JobGrid::RowTexts JobGrid::textsFor(const std::string& path) {
    const platform::CFilePath file(path);
    std::uint64_t bytes = 0;
    file.size(bytes);
    std::time_t created = 0;
    RowTexts texts;
    texts.name = platform::fromNativePath(file.fileName());
    texts.size = QString::fromStdString(FileFacts::groupThousands(bytes / 1024)) + QStringLiteral(" KB");
    if (file.time(platform::CFilePath::CreationTime, created))
        texts.created = QString::fromStdString(FileFacts::formatTime(created));
    return texts;
}

int JobGrid::jobCount() const {
    return std::max(grid.GetRowCount() - grid.GetFixedRowCount(), 0);
}

bool JobGrid::isChecked(int row) const {
    const auto* cell = dynamic_cast<const CGridCellCheck*>(grid.GetCell(row, COL_CHECK));
    return cell && cell->GetCheck();
}

void JobGrid::setChecked(int row, bool checked) {
    if (auto* cell = dynamic_cast<CGridCellCheck*>(grid.GetCell(row, COL_CHECK)))
        cell->SetCheck(checked);
}

QString JobGrid::text(int row, Column column) const {
    return grid.GetCellText(row, column);
}
