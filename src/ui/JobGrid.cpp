#include "ui/JobGrid.h"

#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridCtrl.h"
#include "core/FileFacts.h"
#include "platform/FilePath.h"
#include "platform/NativePath.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ctime>
#include <numeric>
#include <utility>

using namespace grid;

namespace {

// The result column has room for a short reason where the pane is wide enough.
constexpr std::array<int, JobGrid::COL_COUNT> GIVEN_WIDTHS{25, 144, 100, 154, 110, 100, 200};
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
    case JobGrid::COL_RESULT:
        return QStringLiteral("Result");
    default:
        return {};
    }
}

// Each column takes its given width, or what it needs when that is more. The columns keep to
// the budget (the given widths' sum, or less in a narrower grid) while their needs allow: what
// has to go comes from the columns with room above their own needs, in proportion to that
// room. Where the needs alone are wider (a large font), nothing is taken, since the grid
// scrolls anyway.
std::array<int, JobGrid::COL_COUNT> fitColumns(const std::array<int, JobGrid::COL_COUNT>& given,
                                               const std::array<int, JobGrid::COL_COUNT>& needs, int budget) {
    std::array<int, JobGrid::COL_COUNT> widths{};
    for (std::size_t column = 0; column < widths.size(); ++column)
        widths[column] = std::max(given[column], needs[column]);
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

int markSize(const QFontMetrics& metrics) {
    return metrics.ascent() + 1;
}

bool isRightAligned(int column) {
    return column == JobGrid::COL_CHECK || column == JobGrid::COL_SIZE || column == JobGrid::COL_DATE;
}

bool isReadOnly(int column) {
    return column != JobGrid::COL_OWNER_PASSWORD && column != JobGrid::COL_USER_PASSWORD;
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
    drawMarks();
}

// The result marks as tall as the cells' capital letters and a little more, so they leave the
// file names room. The grid draws a picture at the top of a cell: each mark sits in the middle
// of a picture as tall as the cell's inside, level with the text.
void JobGrid::drawMarks() {
    const CGridDefaultCell* cell = grid.GetDefaultCell(false, false);
    const int size = markSize(QFontMetrics(cell->GetFontObject()));
    const int height = std::max(size, rowHeight - 2 * int(cell->GetMargin()) - 1);
    const qreal ratio = grid.devicePixelRatioF();
    QList<QPixmap> images;
    for (const ResultMark mark : {ResultMark::Done, ResultMark::Warning, ResultMark::Stopped}) {
        QPixmap image(QSize(size, height) * ratio);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter(&image).drawPixmap(0, (height - size) / 2,
                                    resultMarkIcon(mark).pixmap(QSize(size, size), ratio));
        images.append(image);
    }
    grid.SetImageList(images);
}

void JobGrid::fitToWidth() {
    if (fittedNow())
        applyFittedWidths();
}

// False once the user has resized a column.
bool JobGrid::fittedNow() const {
    for (int column = 0; column < COL_COUNT; ++column) {
        if (grid.GetColumnWidth(column) != fitted[std::size_t(column)])
            return false;
    }
    return true;
}

// The columns fit beside a vertical scroll bar, so a long list scrolls only up and down: a
// horizontal scroll would take the tick column out of sight.
// The result column stays hidden until a batch first runs: before that it would only take
// room from the file names.
void JobGrid::applyFittedWidths() {
    std::array<int, COL_COUNT> given = GIVEN_WIDTHS;
    std::array<int, COL_COUNT> needed = needs;
    if (!resultsShown)
        given[COL_RESULT] = needed[COL_RESULT] = 0;
    const int givenTotal = std::accumulate(given.begin(), given.end(), 0);
    const int room = grid.width() - grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
    fitted = fitColumns(given, needed, grid.width() > 0 ? std::min(givenTotal, room) : givenTotal);
    for (int column = 0; column < COL_COUNT; ++column)
        grid.SetColumnWidth(column, fitted[std::size_t(column)]);
}

// What a column cannot do without: its whole header, for the dates a whole date, and for the
// results a mark with the word "Converted" (what follows "Skipped:" may end in an ellipsis, the
// tool tip has it whole).
int JobGrid::neededWidth(int column) const {
    const CGridDefaultCell* cell = grid.GetDefaultCell(false, false);
    const int margins = 2 * int(cell->GetMargin()) + 1;
    if (column == COL_CHECK) {
        // The check box is as wide as a scroll bar, one margin from the cell's left edge.
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) + margins;
    }
    int width = grid.GetCell(0, column)->MeasureCell().width();
    const QFontMetrics metrics(cell->GetFontObject());
    if (column == COL_DATE)
        width =
            std::max(width, metrics.horizontalAdvance(QStringLiteral("00:00:00 00/00/0000")) + margins + 1);
    // The mark and the text keep a margin on each side and one between them.
    if (column == COL_RESULT)
        width = std::max(width, markSize(metrics) + metrics.horizontalAdvance(QStringLiteral("Converted")) +
                                    3 * int(cell->GetMargin()));
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

void JobGrid::setResult(int row, ResultMark mark, const QString& text) {
    grid.SetCellText(row, COL_RESULT, text);
    grid.SetCellImage(row, COL_RESULT, static_cast<int>(mark));
    grid.InvalidateCell(row, COL_RESULT);
}

void JobGrid::clearResults() {
    if (!std::exchange(resultsShown, true)) {
        if (fittedNow())
            applyFittedWidths();
        else
            grid.SetColumnWidth(COL_RESULT, std::max(GIVEN_WIDTHS[COL_RESULT], needs[COL_RESULT]));
    }
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row) {
        grid.SetCellText(row, COL_RESULT, {});
        grid.SetCellImage(row, COL_RESULT, -1);
    }
    grid.Refresh();
}
