#pragma once

namespace grid {

// A cell position; -1/-1 is "no cell".
struct CCellID {
    int row = -1;
    int col = -1;

    constexpr CCellID() = default;
    constexpr CCellID(int r, int c) : row(r), col(c) {}
    constexpr bool IsValid() const { return row >= 0 && col >= 0; }
    constexpr bool operator==(const CCellID&) const = default;
};

// An inclusive block of cells; invalid while any bound is negative or min exceeds max.
struct CCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;

    constexpr CCellRange() = default;
    constexpr CCellRange(int r0, int c0, int r1, int c1) : minRow(r0), minCol(c0), maxRow(r1), maxCol(c1) {}

    constexpr bool IsValid() const {
        return minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && minRow <= maxRow &&
               minCol <= maxCol;
    }
    constexpr bool InRange(int row, int col) const {
        return row >= minRow && row <= maxRow && col >= minCol && col <= maxCol;
    }
    constexpr bool InRange(const CCellID& cell) const { return InRange(cell.row, cell.col); }
    constexpr CCellID GetTopLeft() const { return {minRow, minCol}; }
    constexpr int Count() const { return IsValid() ? (maxRow - minRow + 1) * (maxCol - minCol + 1) : 0; }
    constexpr bool operator==(const CCellRange&) const = default;
};

} // namespace grid
