#pragma once

#include "controls/grid/GridCell.h"

namespace grid {

// A cell with a check box at its left that a click on the box toggles.
class CGridCellCheck : public CGridCell {
public:
    QString GetRuntimeClassName() const override { return QStringLiteral("CGridCellCheck"); }

    // Returns the previous state.
    bool SetCheck(bool checked = true);
    bool GetCheck() const { return m_bChecked; }

    void SetCoords(int row, int col) override;
    bool Draw(QPainter* pDC, int row, int col, QRect rect, bool eraseBackground = true) override;
    bool GetTextRect(QRect* rect) override;
    QSize MeasureCell(QPainter* pDC = nullptr) override;
    void OnClick(QPoint pointInCell) override;

    // The box in grid client coordinates, from the rectangle of the last Draw.
    QRect CheckRect() const;

private:
    static int BoxSize();
    void DrawIndicator(QPainter& painter) const;

    bool m_bChecked = false;
    QRect m_Rect;
    int m_nRow = -1;
    int m_nCol = -1;
};

} // namespace grid
