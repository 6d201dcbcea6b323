#pragma once

#include "controls/chrome/JobPaneIcons.h"

#include <QString>

#include <array>
#include <string>

namespace grid {
class CGridCtrl;
}

// The job list's view of its grid: seven columns (check box, file name, size, creation date,
// owner and user password, and the result of the job's last turn, shown once a batch has run)
// under one bold header row, one row per job. Only the password cells can be edited.
class JobGrid {
public:
    enum Column {
        COL_CHECK,
        COL_NAME,
        COL_SIZE,
        COL_DATE,
        COL_OWNER_PASSWORD,
        COL_USER_PASSWORD,
        COL_RESULT,
        COL_COUNT
    };

    struct RowTexts {
        QString name;
        QString size;
        QString created;
    };

    explicit JobGrid(grid::CGridCtrl& grid);

    // Empties the grid and lays out the header row, with the columns fitted to the font.
    void setUp();
    // Header font, column widths and row heights for the grid's current font. At the usual
    // font the columns fit the pane beside a vertical scroll bar, every header whole; a font
    // too large for that widens the columns whose headers need it.
    void fitToFont();
    // Fits the columns again to the grid's new width, unless the user has resized one.
    void fitToWidth();

    // A new last row, its check box ticked.
    void appendRow(const RowTexts& texts);
    // What a job's row shows of the file: name, size in whole kilobytes, creation time.
    static RowTexts textsFor(const std::string& path);

    int jobCount() const;
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    QString text(int row, Column column) const;

    // The result cell of a row: its mark and short text.
    void setResult(int row, ResultMark mark, const QString& text);
    // Empties every result cell, as a batch starts; the first time, the column comes into view.
    void clearResults();

private:
    int neededWidth(int column) const;
    void drawMarks();
    void applyFittedWidths();
    bool fittedNow() const;

    grid::CGridCtrl& grid;
    int rowHeight = 0;
    std::array<int, COL_COUNT> needs{};
    std::array<int, COL_COUNT> fitted{};
    bool resultsShown = false;
};
