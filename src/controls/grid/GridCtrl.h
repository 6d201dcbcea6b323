#pragma once

#include "controls/grid/CellRange.h"
#include "controls/grid/CumulativeSizes.h"
#include "controls/grid/GridCellBase.h"
#include "controls/grid/GridDefaultCell.h"
#include "controls/grid/GridDefs.h"

#include <QAccessible>
#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

class QScrollBar;

namespace grid {

// Compares two cells for sorting: negative, zero or positive.
using CellCompareFunc = int (*)(const CGridCellBase* first, const CGridCellBase* second, LPARAM data);

// Scroll requests, as the scroll bars and the keyboard make them.
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_LEFT = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_RIGHT = 7;
inline constexpr int SB_ENDSCROLL = 8;

// What the mouse is doing.
enum MouseMode {
    MOUSE_NOTHING = 0,
    MOUSE_SELECT_ALL = 1,
    MOUSE_SELECT_COL = 2,
    MOUSE_SELECT_ROW = 3,
    MOUSE_SELECT_CELLS = 4,
    MOUSE_OVER_ROW_DIVIDE = 6,
    MOUSE_SIZING_ROW = 7,
    MOUSE_OVER_COL_DIVIDE = 8,
    MOUSE_SIZING_COL = 9,
    MOUSE_PREPARE_EDIT = 10,
};

// A table of cells with fixed header rows and columns that do not scroll. Cells are objects
// created by class name; the owner hears of clicks, selection changes and edits through its
// NotifyTarget and can veto edits. Positions are pixels; the client area is the widget less
// its scroll bars.
class CGridCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CGridCtrl(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0,
                       QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Places the grid in parent with the given control id, rows and columns sized by the
    // normal default cell.
    bool Create(const QRect& rect, QWidget* parent, int id);
    int GetDlgCtrlID() const { return m_nID; }
    void SetDlgCtrlID(int id) { m_nID = id; }
    // Receives the notifications; without one the parent widget does when it is a target.
    void SetNotifyTarget(platform::NotifyTarget* target) { m_pNotifyTarget = target; }

    // Counts and cells.
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    bool SetRowCount(int nRows);
    bool SetColumnCount(int nCols);
    bool SetFixedRowCount(int nFixedRows);
    bool SetFixedColumnCount(int nFixedCols);
    bool DeleteRow(int row);
    void ClearGrid();
    bool IsValid(int row, int col) const { return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols; }
    bool IsValid(const CCellID& cell) const { return IsValid(cell.row, cell.col); }
    bool IsValid(const CCellRange& range) const;

    CGridCellBase* GetCell(int row, int col) const;
    bool SetDefaultCellType(const QString& className);
    QString GetDefaultCellType() const { return m_sNewCellClass; }
    bool ReplaceCellClass(int row, int col, const QString& className);
    CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const;

    bool SetCellItem(const GRIDITEM* item);
    bool GetCellItem(GRIDITEM* item) const;
    bool SetCellText(int row, int col, const QString& text);
    QString GetCellText(int row, int col) const;
    bool SetCellData(int row, int col, LPARAM data);
    LPARAM GetCellData(int row, int col) const;
    bool SetCellFormat(int row, int col, unsigned format);
    bool SetCellBackColor(int row, int col, COLORREF color);
    bool SetCellTextColor(int row, int col, COLORREF color);
    bool SetCellFont(int row, int col, const LOGFONT* font);
    bool SetCellImage(int row, int col, int image);
    bool SetCellState(int row, int col, unsigned state);
    unsigned GetCellState(int row, int col) const;
    bool IsCellEditing(int row, int col) const;
    bool IsCellEditable(int row, int col) const;
    bool IsCellFixed(int row, int col) const { return row < m_nFixedRows || col < m_nFixedCols; }

    void MarkModified(bool modified = true, int row = -1, int col = -1);
    bool GetModified() const { return m_bModified; }

    // Settings.
    void SetGridBkColor(COLORREF color);
    COLORREF GetGridBkColor() const { return m_crGridBkColour; }
    void SetGridLineColor(COLORREF color);
    COLORREF GetGridLineColor() const { return m_crGridLineColour; }
    void SetGridLines(int mode);
    int GetGridLines() const { return m_nGridLines; }
    void SetEditable(bool on) { m_bEditable = on; }
    bool IsEditable() const { return m_bEditable; }
    void SetVirtualMode(bool on);
    bool GetVirtualMode() const { return m_bVirtualMode; }
    void SetCallbackFunc(GRIDCALLBACK callback, LPARAM userValue);
    void SetListMode(bool on);
    bool GetListMode() const { return m_bListMode; }
    void SetSingleRowSelection(bool on) { m_bSingleRowSelection = on; }
    bool GetSingleRowSelection() const { return m_bSingleRowSelection; }
    void SetSingleColSelection(bool on) { m_bSingleColSelection = on; }
    bool GetSingleColSelection() const { return m_bSingleColSelection; }
    void SetRedraw(bool allowDraw, bool resetScrollBars = false);
    bool GetRedraw() const { return m_bAllowDraw; }
    void EnableSelection(bool on);
    bool IsSelectable() const { return m_bEnableSelection; }
    void SetFixedColumnSelection(bool on) { m_bFixedColumnSelection = on; }
    bool GetFixedColumnSelection() const { return m_bFixedColumnSelection; }
    void SetFixedRowSelection(bool on) { m_bFixedRowSelection = on; }
    bool GetFixedRowSelection() const { return m_bFixedRowSelection; }
    void SetHeaderSort(bool on) { m_bSortOnClick = on; }
    bool GetHeaderSort() const { return m_bSortOnClick; }
    void SetHandleTabKey(bool on) { m_bHandleTabKey = on; }
    bool GetHandleTabKey() const { return m_bHandleTabKey; }
    void SetHoverInVirtualMode(bool on) { m_bHoverInVirtualMode = on; }
    void SetColumnUnhide(bool on) { m_bUnhideColumns = on; }
    void SetRowUnhide(bool on) { m_bUnhideRows = on; }
    void EnableColumnHide(bool on) { m_bAllowColHide = on; }
    void EnableRowHide(bool on) { m_bAllowRowHide = on; }
    void SetTrackFocusCell(bool on);
    bool GetTrackFocusCell() const { return m_bTrackFocusCell; }
    void SetFrameFocusCell(bool on);
    bool GetFrameFocusCell() const { return m_bFrameFocus; }
    void SetAutoSizeStyle(int style) { m_nAutoSizeColumnStyle = style; }
    int GetAutoSizeStyle() const { return m_nAutoSizeColumnStyle; }
    void SetRowResize(bool on) { m_bAllowRowResize = on; }
    bool GetRowResize() const { return m_bAllowRowResize; }
    void SetColumnResize(bool on) { m_bAllowColumnResize = on; }
    bool GetColumnResize() const { return m_bAllowColumnResize; }
    void SetResizeCaptureRange(int pixels) { m_nResizeCaptureRange = pixels; }
    int GetAutoScrollInterval() const { return m_AutoScrollTimer.interval(); }
    // Lines per wheel notch; -1 scrolls a page per notch.
    void SetMouseWheelLines(int lines) {
        m_nRowsPerWheelNotch = lines;
        m_nWheelRemainder = 0;
    }
    int GetMouseWheelLines() const { return m_nRowsPerWheelNotch; }
    void SetImageList(const QList<QPixmap>& images);
    const QList<QPixmap>& GetImageList() const { return m_ImageList; }

    // Geometry and scrolling.
    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    bool SetRowHeight(int row, int height);
    bool SetColumnWidth(int col, int width);
    int GetHeaderHeight() const { return m_arRowHeights.sumBefore(m_nFixedRows); }
    int GetHeaderWidth() const { return m_arColWidths.sumBefore(m_nFixedCols); }
    int GetTotalHeight() const { return m_arRowHeights.total(); }
    int GetTotalWidth() const { return m_arColWidths.total(); }
    QRect GetClientRect() const;
    CCellID GetFirstScrollCell(bool force = false) const;
    CCellRange GetVisibleScrollRange(QRect* rect = nullptr) const;
    bool GetCellTopLeft(int row, int col, QPoint* point) const;
    bool GetCellRect(int row, int col, QRect* rect) const;
    CCellID HitTestCell(const QPoint& point, bool allowFixed = false) const;
    bool IsCellVisible(int row, int col) const;
    void EnsureVisible(int row, int col);
    bool AutoSizeColumn(int col, int style = 0, bool resetScroll = true);
    bool AutoSizeRow(int row, bool resetScroll = true);
    void Refresh();
    bool RepaintCell(int row, int col);
    bool InvalidateCell(int row, int col);
    void UpdateScrollBars();
    void OnHScroll(int request, int trackPosition = 0);
    void OnVScroll(int request, int trackPosition = 0);
    int GetScrollPos(Qt::Orientation orientation) const;
    int GetScrollMax(Qt::Orientation orientation) const;
    bool IsScrollBarShown(Qt::Orientation orientation) const;

    // Focus, selection, sorting.
    CCellID GetFocusCell() const { return m_idCurrentCell; }
    CCellID SetFocusCell(int row, int col) { return MoveFocusTo(row, col); }
    CCellID MoveFocusTo(int row, int col);
    void SelectRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint = false,
                     bool select = true);
    void SelectAllCells();
    void SelectColumns(CCellID cell, bool forceRepaint = false, bool select = true);
    void SelectRows(CCellID cell, bool forceRepaint = false, bool select = true);
    void SelectCells(CCellID cell, bool forceRepaint = false, bool select = true);
    void ExtendSelection(CCellID cell);
    void ClearSelection();
    // Selects the cell (its row in list mode) alone and moves the focus there.
    void SelectOnly(CCellID cell);
    CCellRange GetSelectionBounds() const;
    bool IsCellSelected(int row, int col) const;
    int GetSelectedCount() const { return int(m_SelectedCellMap.size()); }
    virtual void SelectAllNotified();

    bool SortByColumn(int col, bool ascending = true, LPARAM data = 0);
    bool SortRows(CellCompareFunc compare, int col, bool ascending, LPARAM data = 0);
    void SetCompareFunction(CellCompareFunc compare) { m_pfnCompare = compare; }
    void SetSortIndicator(int col);
    int GetSortColumn() const { return m_nSortColumn; }
    bool GetSortAscending() const { return m_bAscending; }
    static int DefaultCompare(const CGridCellBase* first, const CGridCellBase* second, LPARAM data);

    // The key handling of the grid, with Windows key codes. False when the key is left to
    // the default handling (focus to the next widget for an unhandled Tab).
    bool OnKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // Editing and the clipboard.
    virtual void BeginCellEdit(int row, int col, QPoint point, int firstChar);
    virtual void CommitCellEdit(int row, int col, const QString& text);
    virtual bool ValidateEdit(int row, int col, const QString& text);
    virtual void FinishEditing();
    void OnEndInPlaceEdit(const GRIDDISPINFO& info);
    bool SetCellTextNotified(int row, int col, const QString& text);
    virtual void ClearSelectedText();
    virtual std::optional<QString> CopySelection() const;
    virtual bool PasteText(CCellID cell, const QString& text, bool select);
    virtual void CutToClipboard();
    virtual void CopyToClipboard() const;
    virtual bool PasteFromClipboard();
    // The edit commands (ID_EDIT_CUT, _COPY, _PASTE, _SELECT_ALL) the owner routes here.
    bool OnCommand(int id);
    bool IsCommandEnabled(int id) const;

    // What the fixed cells heading a column (horizontal) or a row (vertical) show, joined.
    QString GetHeaderText(Qt::Orientation orientation, int index) const;
    // Tells assistive tools that a cell's text or check box changed.
    void AnnounceCellText(int row, int col);
    void AnnounceCellCheck(int row, int col);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // Posted after a left-button release over a cell, with the grid's control id.
    void command(int controlId);

protected:
    virtual std::unique_ptr<CGridCellBase> NewCell(int row, int col);
    virtual void FreeCell(int row, int col);
    virtual void OnHeaderColumnClick(CCellID cell);
    virtual void OnHeaderRowClick(CCellID cell);
    virtual void PaintGrid(QPainter& painter, const QRect& clip);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    using Row = std::vector<std::unique_ptr<CGridCellBase>>;
    using CellSet = std::unordered_set<quint64>;

    static quint64 CellKey(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }
    static CCellID CellOfKey(quint64 key) { return {int(key >> 32), int(quint32(key))}; }

    void AnnounceCell(int row, int col, QAccessibleEvent& event);
    void AnnounceFocusCell();
    void AnnounceLayout();

    void SetupDefaultCells();
    void ApplyFontToDefaultCells(const QFont& font);
    void OnSysColorChange();
    bool SetFixedCount(Qt::Orientation orientation, int count);
    // Stores a setting that shows in the picture and repaints when it changed.
    template <typename T> void ChangeSetting(T& setting, T value);
    void PrepareCountChange(Qt::Orientation orientation, int count);
    void FinishCountChange();
    // Applies change to a stored cell and repaints it; false in virtual mode or outside.
    template <typename Change> bool ChangeStoredCell(int row, int col, Change change);
    void RenumberCells(int fromRow);
    platform::LRESULT SendMessageToParent(int row, int col, int code) const;
    platform::LRESULT SendNotify(platform::NMHDR& header) const;
    void SendCacheHint(const CCellRange& range) const;
    CGridCellBase* VirtualCell(int row, int col) const;

    // Geometry helpers.
    int ScrollableHeight() const { return GetTotalHeight() - GetHeaderHeight(); }
    int ScrollableWidth() const { return GetTotalWidth() - GetHeaderWidth(); }
    // Shows the bars asked for along the right and bottom edges; a change of bars changes
    // the client area, so the grid repaints.
    void PlaceScrollBars(bool horizontal, bool vertical);
    // The bars hold the scroll positions and their ends.
    QScrollBar* ScrollBar(Qt::Orientation orientation) const;
    void ScrollTo(Qt::Orientation orientation, int position);
    void Scroll(Qt::Orientation orientation, int request, int trackPosition);
    int NextVisible(Qt::Orientation orientation, int from, int step, int limit) const;
    // The fixed cells that head a row (column); they show the focus cell's row and column.
    void InvalidateRowHeaders(int row);
    void InvalidateColumnHeaders(int col);

    // Painting helpers.
    void EraseBackground(QPainter& painter, const QRect& clip, const QRect& visibleRect);
    void PaintCells(QPainter& painter, const QRect& clip, const CCellRange& visible);
    void PaintGridLines(QPainter& painter, const CCellRange& visible, const QRect& visibleRect);
    void DrawCell(QPainter& painter, int row, int col, const QRect& rect, bool erase);

    // Mouse helpers.
    bool MouseOverResizeArea(Qt::Orientation orientation, const QPoint& point) const;
    int IndexToSize(Qt::Orientation orientation, const QPoint& point, int index) const;
    QPoint PointInCell(const CCellID& cell, const QPoint& point) const;
    bool PointInCellText(const CCellID& cell, const QPoint& point);
    void StartSizing(const QPoint& point, Qt::Orientation orientation);
    void FinishSizing(const QPoint& point, Qt::Orientation orientation);
    void OnLButtonDown(const QPoint& point, Qt::KeyboardModifiers modifiers);
    void StartSelecting(const CCellID& cell, bool keepSelection);
    void OnLButtonUp(const QPoint& point);
    void OnLButtonDblClk(const QPoint& point);
    void OnRButtonDown(const QPoint& point);
    void OnRButtonUp(const QPoint& point);
    void OnMouseMove(const QPoint& point, Qt::MouseButtons buttons);
    void TrackHover(const QPoint& point);
    bool SelectsAlong(const CCellID& cell) const;
    void OnAutoScrollTimer();
    void UpdateCursor();
    bool OnChar(int character, Qt::KeyboardModifiers modifiers);
    // No button is busy: the pointer is idle or rests on a divider.
    bool PointerIsResting() const;
    void SelectWithKey(const CCellID& next, bool extend);
    bool EnterFirstCell();
    // The cell a movement key leads to; wrapped is +1/-1 when Tab or Shift+Tab changed rows.
    // Nullopt when the key is left to the default handling.
    std::optional<CCellID> NextCellForKey(int key, Qt::KeyboardModifiers modifiers, int* wrapped);
    std::optional<CCellID> NextCellForTab(bool backwards, int* wrapped) const;
    void ScrollToReveal(int key, Qt::KeyboardModifiers modifiers, int wrapped);
    bool StoreEditedText(int row, int col, const QString& text);
    int ColumnLeft(int col) const;
    int RowTop(int row) const;

    void QuickSort(CellCompareFunc compare, int col, int lo, int hi, bool ascending, LPARAM data);
    std::pair<int, int> PartitionRows(CellCompareFunc compare, int col, int lo, int hi, bool ascending,
                                      LPARAM data);
    void SwapRows(int first, int second);

    int m_nID = 0;
    platform::NotifyTarget* m_pNotifyTarget = nullptr;

    int m_nRows = 0;
    int m_nFixedRows = 0;
    int m_nCols = 0;
    int m_nFixedCols = 0;
    CumulativeSizes m_arRowHeights;
    CumulativeSizes m_arColWidths;
    std::vector<Row> m_RowData;
    std::unique_ptr<CGridDefaultCell> m_cellDefault;
    std::unique_ptr<CGridDefaultCell> m_cellFixedColDef;
    std::unique_ptr<CGridDefaultCell> m_cellFixedRowDef;
    std::unique_ptr<CGridDefaultCell> m_cellFixedRowColDef;
    QString m_sNewCellClass = QStringLiteral("CGridCell");

    COLORREF m_crGridBkColour = 0;
    COLORREF m_crGridLineColour = platform::RGB(192, 192, 192);
    // The system colours of the last scheme: default colours still equal to them follow a
    // change of scheme.
    COLORREF m_crWindowText = 0;
    COLORREF m_crWindowColour = 0;
    COLORREF m_crShadow = 0;
    int m_nGridLines = GGL_BOTH;
    bool m_bEditable = true;
    bool m_bModified = false;
    bool m_bVirtualMode = false;
    GRIDCALLBACK m_pfnCallback = nullptr;
    LPARAM m_lParam = 0;
    bool m_bListMode = false;
    bool m_bSingleRowSelection = false;
    bool m_bSingleColSelection = false;
    bool m_bAllowDraw = true;
    bool m_bEnableSelection = true;
    bool m_bFixedColumnSelection = true;
    bool m_bFixedRowSelection = true;
    bool m_bSortOnClick = false;
    bool m_bHandleTabKey = true;
    bool m_bHoverInVirtualMode = true;
    bool m_bUnhideColumns = true;
    bool m_bUnhideRows = true;
    bool m_bAllowColHide = true;
    bool m_bAllowRowHide = true;
    bool m_bTrackFocusCell = true;
    bool m_bFrameFocus = true;
    int m_nAutoSizeColumnStyle = GAS_FIXED | GAS_DATA;
    bool m_bAllowRowResize = true;
    bool m_bAllowColumnResize = true;
    int m_nResizeCaptureRange = 3;
    int m_nRowsPerWheelNotch = 3;
    // Wheel turn not yet scrolled, in 1/120 notch times the lines per notch.
    int m_nWheelRemainder = 0;
    int m_nSortColumn = -1;
    bool m_bAscending = true;
    CellCompareFunc m_pfnCompare = nullptr;
    QList<QPixmap> m_ImageList;

    CCellID m_idCurrentCell;
    CCellID m_SelectionStartCell;
    CCellID m_LeftClickDownCell;
    mutable CCellID m_idTopLeftCell;
    CellSet m_SelectedCellMap;
    CellSet m_PrevSelectedCellMap;

    QScrollBar* m_pHScroll = nullptr;
    QScrollBar* m_pVScroll = nullptr;

    int m_MouseMode = MOUSE_NOTHING;
    QPoint m_LeftClickDownPoint;
    QPoint m_LastMousePoint;
    QTimer m_AutoScrollTimer;
    // The inverted band that shows where a divider is being dragged; empty when none.
    QRect m_SizingBand;

    mutable std::unique_ptr<CGridCell> m_pVirtualCell;
};

} // namespace grid
