#include "controls/grid/GridCtrl.h"

#include "controls/grid/CellFactory.h"
#include "controls/grid/GridCellEdit.h"
#include "controls/grid/VirtualKeys.h"
#include "platform/DrawText.h"
#include "resource.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace grid {

using namespace platform;

namespace {

// A rectangle given by its edges, right and bottom excluded.
QRect rectLTRB(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

int scrollBarExtent(const QWidget* widget) {
    return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

// The wait cursor for as long as a long operation runs. Short ones (a drag over a few
// cells) leave the cursor alone, which would otherwise flicker at every mouse move.
class WaitCursor {
public:
    explicit WaitCursor(bool longRunning = true) : m_bShown(longRunning) {
        if (m_bShown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor() {
        if (m_bShown)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_bShown;
};

constexpr int kManyCells = 10000;
// A drag selection past an edge scrolls a line this often.
constexpr int kAutoScrollMilliseconds = 25;

} // namespace

// ---- Construction and storage -------------------------------------------------------------

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols, QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAccessibleName(tr("Grid"));
    const int wheelLines = QApplication::wheelScrollLines();
    m_nRowsPerWheelNotch = wheelLines > 0 ? wheelLines : 3;

    m_pHScroll = new QScrollBar(Qt::Horizontal, this);
    m_pVScroll = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {m_pHScroll, m_pVScroll}) {
        bar->hide();
        bar->setFocusPolicy(Qt::NoFocus);
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar](int action) {
            static constexpr int requests[] = {-1,        SB_LINEDOWN, SB_LINEUP, SB_PAGEDOWN,
                                               SB_PAGEUP, SB_TOP,      SB_BOTTOM, SB_THUMBTRACK};
            if (action <= 0 || action >= int(std::size(requests)))
                return;
            const Qt::Orientation orientation = bar->orientation();
            Scroll(orientation, requests[action], bar->sliderPosition());
            bar->setSliderPosition(GetScrollPos(orientation));
        });
    }
    m_AutoScrollTimer.setInterval(kAutoScrollMilliseconds);
    connect(&m_AutoScrollTimer, &QTimer::timeout, this, &CGridCtrl::OnAutoScrollTimer);

    SetupDefaultCells();
    SetRowCount(nRows);
    SetColumnCount(nCols);
    SetFixedRowCount(nFixedRows);
    SetFixedColumnCount(nFixedCols);
}

CGridCtrl::~CGridCtrl() {
    // Editors report to the grid when they close; they must not outlive its cells.
    for (CGridCellEdit* editor : findChildren<CGridCellEdit*>(Qt::FindDirectChildrenOnly))
        delete editor;
}

void CGridCtrl::SetupDefaultCells() {
    m_cellDefault = std::make_unique<CGridDefaultCell>();
    m_cellFixedColDef = std::make_unique<CGridDefaultCell>();
    m_cellFixedRowDef = std::make_unique<CGridDefaultCell>();
    m_cellFixedRowColDef = std::make_unique<CGridDefaultCell>();
    m_crWindowText = GetSysColor(COLOR_WINDOWTEXT);
    m_crWindowColour = GetSysColor(COLOR_WINDOW);
    m_crShadow = GetSysColor(COLOR_3DSHADOW);
    m_cellDefault->SetBackColor(m_crWindowColour);
    for (CGridDefaultCell* cell :
         {m_cellFixedColDef.get(), m_cellFixedRowDef.get(), m_cellFixedRowColDef.get()})
        cell->SetBackColor(GetSysColor(COLOR_3DFACE));
    for (CGridDefaultCell* cell : {m_cellDefault.get(), m_cellFixedColDef.get(), m_cellFixedRowDef.get(),
                                   m_cellFixedRowColDef.get()}) {
        cell->SetGrid(this);
        cell->SetTextColor(m_crWindowText);
    }
    m_crGridBkColour = m_crShadow;
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) const {
    if (fixedRow && fixedCol)
        return m_cellFixedRowColDef.get();
    if (fixedRow)
        return m_cellFixedRowDef.get();
    if (fixedCol)
        return m_cellFixedColDef.get();
    return m_cellDefault.get();
}

bool CGridCtrl::Create(const QRect& rect, QWidget* parent, int id) {
    setParent(parent);
    setGeometry(rect);
    m_nID = id;
    for (int row = 0; row < m_nRows; ++row)
        m_arRowHeights.set(row, m_cellDefault->GetHeight());
    for (int col = 0; col < m_nCols; ++col)
        m_arColWidths.set(col, m_cellDefault->GetWidth());
    UpdateScrollBars();
    show();
    return true;
}

bool CGridCtrl::IsValid(const CCellRange& range) const {
    return range.IsValid() && range.maxRow < m_nRows && range.maxCol < m_nCols;
}

std::unique_ptr<CGridCellBase> CGridCtrl::NewCell(int row, int col) {
    std::unique_ptr<CGridCellBase> cell = CellFactory::Create(m_sNewCellClass);
    if (!cell)
        return nullptr;
    cell->SetGrid(this);
    cell->SetCoords(row, col);
    unsigned state = cell->GetState();
    if (col < m_nFixedCols)
        state |= GCS_FIXED | GCS_FIXEDCOL;
    if (row < m_nFixedRows)
        state |= GCS_FIXED | GCS_FIXEDROW;
    cell->SetState(state);
    if (CGridDefaultCell* defaultCell = cell->GetDefaultCell())
        cell->SetFormat(defaultCell->GetFormat());
    return cell;
}

void CGridCtrl::FreeCell(int row, int col) {
    SetCellState(row, col, 0);
    m_RowData[std::size_t(row)][std::size_t(col)].reset();
}

bool CGridCtrl::SetDefaultCellType(const QString& className) {
    if (!CellFactory::IsRegistered(className))
        return false;
    m_sNewCellClass = className;
    return true;
}

// What shrinking or growing rows (vertical) or columns (horizontal) has in common before the
// storage changes: an open edit ends while its cell still exists, the fixed count and the
// focus stay inside the grid, and the cells of the removed part are freed.
void CGridCtrl::PrepareCountChange(Qt::Orientation orientation, int count) {
    const bool rows = orientation == Qt::Vertical;
    const int oldCount = rows ? m_nRows : m_nCols;
    if (count < oldCount)
        FinishEditing();
    m_idTopLeftCell = CCellID();
    int& fixed = rows ? m_nFixedRows : m_nFixedCols;
    fixed = std::min(fixed, count);
    if ((rows ? m_idCurrentCell.row : m_idCurrentCell.col) >= count)
        m_idCurrentCell = CCellID();
    if (m_bVirtualMode)
        return;
    for (int row = rows ? count : 0; row < m_nRows; ++row)
        for (int col = rows ? 0 : count; col < m_nCols; ++col)
            FreeCell(row, col);
}

void CGridCtrl::FinishCountChange() {
    MarkModified(true, -1, -1);
    UpdateScrollBars();
    Refresh();
}

bool CGridCtrl::SetRowCount(int nRows) {
    if (nRows < 0)
        return false;
    if (nRows == m_nRows)
        return true;
    PrepareCountChange(Qt::Vertical, nRows);
    const int oldRows = m_nRows;
    m_arRowHeights.resize(nRows, m_cellDefault->GetHeight());
    if (!m_bVirtualMode) {
        m_RowData.resize(std::size_t(nRows));
        for (int row = oldRows; row < nRows; ++row) {
            Row& cells = m_RowData[std::size_t(row)];
            cells.reserve(std::size_t(m_nCols));
            for (int col = 0; col < m_nCols; ++col)
                cells.push_back(NewCell(row, col));
        }
    }
    m_nRows = nRows;
    FinishCountChange();
    return true;
}

bool CGridCtrl::SetColumnCount(int nCols) {
    if (nCols < 0)
        return false;
    if (nCols == m_nCols)
        return true;
    PrepareCountChange(Qt::Horizontal, nCols);
    const int oldCols = m_nCols;
    m_arColWidths.resize(nCols, m_cellFixedColDef->GetWidth());
    m_nCols = nCols;
    if (!m_bVirtualMode) {
        for (int row = 0; row < m_nRows; ++row) {
            Row& cells = m_RowData[std::size_t(row)];
            cells.resize(std::size_t(std::min(oldCols, nCols)));
            for (int col = oldCols; col < nCols; ++col)
                cells.push_back(NewCell(row, col));
        }
    }
    FinishCountChange();
    return true;
}

bool CGridCtrl::SetFixedRowCount(int nFixedRows) {
    return SetFixedCount(Qt::Vertical, nFixedRows);
}

bool CGridCtrl::SetFixedColumnCount(int nFixedCols) {
    return SetFixedCount(Qt::Horizontal, nFixedCols);
}

// Rows (vertical) or columns (horizontal) that become fixed get the fixed flags and the
// default colours; those that stop being fixed lose them unless the other direction keeps
// them fixed.
bool CGridCtrl::SetFixedCount(Qt::Orientation orientation, int count) {
    const bool rows = orientation == Qt::Vertical;
    int& fixed = rows ? m_nFixedRows : m_nFixedCols;
    if (count < 0)
        return false;
    if (count == fixed)
        return true;
    ClearSelection();
    m_idTopLeftCell = CCellID();
    if (count > (rows ? m_nRows : m_nCols) && !(rows ? SetRowCount(count) : SetColumnCount(count)))
        return false;
    const unsigned ownFlag = rows ? GCS_FIXEDROW : GCS_FIXEDCOL;
    if (!m_bVirtualMode) {
        for (int index = std::min(count, fixed); index < std::max(count, fixed); ++index) {
            for (int across = 0; across < (rows ? m_nCols : m_nRows); ++across) {
                const int row = rows ? index : across;
                const int col = rows ? across : index;
                CGridCellBase* cell = GetCell(row, col);
                unsigned state = cell->GetState();
                if (index < count)
                    state |= GCS_FIXED | ownFlag;
                else if (rows ? col < m_nFixedCols : row < m_nFixedRows)
                    state &= ~ownFlag;
                else
                    state &= ~(GCS_FIXED | ownFlag);
                cell->SetState(state);
                cell->SetBackColor(CLR_DEFAULT);
                cell->SetTextColor(CLR_DEFAULT);
            }
        }
    }
    fixed = count;
    UpdateScrollBars();
    Refresh();
    return true;
}

// Cells below a removed row keep their own row number current (check boxes repaint by it).
void CGridCtrl::RenumberCells(int fromRow) {
    for (int row = fromRow; row < int(m_RowData.size()); ++row)
        for (int col = 0; col < m_nCols; ++col)
            if (CGridCellBase* cell = m_RowData[std::size_t(row)][std::size_t(col)].get())
                cell->SetCoords(row, col);
}

bool CGridCtrl::DeleteRow(int row) {
    if (row < 0 || row >= m_nRows)
        return false;
    FinishEditing();
    ClearSelection();
    if (!m_bVirtualMode) {
        for (int col = 0; col < m_nCols; ++col)
            FreeCell(row, col);
        m_RowData.erase(m_RowData.begin() + row);
        RenumberCells(row);
    }
    m_arRowHeights.erase(row);
    --m_nRows;
    if (row < m_nFixedRows)
        --m_nFixedRows;
    m_idTopLeftCell = CCellID();
    UpdateScrollBars();
    MarkModified(true, -1, -1);
    return true;
}

void CGridCtrl::ClearGrid() {
    FinishEditing();
    ClearSelection();
    m_arRowHeights.clear();
    m_arColWidths.clear();
    m_RowData.clear();
    m_SelectedCellMap.clear();
    m_idCurrentCell = CCellID();
    m_idTopLeftCell = CCellID();
    m_nRows = m_nFixedRows = m_nCols = m_nFixedCols = 0;
    UpdateScrollBars();
    MarkModified(true, -1, -1);
}

bool CGridCtrl::ReplaceCellClass(int row, int col, const QString& className) {
    if (m_bVirtualMode || !IsValid(row, col))
        return false;
    std::unique_ptr<CGridCellBase> cell = CellFactory::Create(className);
    if (!cell)
        return false;
    std::unique_ptr<CGridCellBase>& slot = m_RowData[std::size_t(row)][std::size_t(col)];
    cell->CopyFrom(*slot);
    cell->SetCoords(row, col);
    slot = std::move(cell);
    return true;
}

// ---- Item interface -----------------------------------------------------------------------

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
    if (!IsValid(row, col))
        return nullptr;
    if (m_bVirtualMode)
        return VirtualCell(row, col);
    return m_RowData[std::size_t(row)][std::size_t(col)].get();
}

CGridCellBase* CGridCtrl::VirtualCell(int row, int col) const {
    const bool fixedRow = row < m_nFixedRows;
    const bool fixedCol = col < m_nFixedCols;
    const CGridDefaultCell* defaultCell = GetDefaultCell(fixedRow, fixedCol);
    GRIDDISPINFO info;
    info.hdr = {const_cast<CGridCtrl*>(this), m_nID, LVN_GETDISPINFO};
    GRIDITEM& item = info.item;
    item.row = row;
    item.col = col;
    item.mask = GIF_ALL;
    item.nState = m_SelectedCellMap.contains(CellKey(row, col)) ? GCS_SELECTED : 0;
    if (fixedRow)
        item.nState |= GCS_FIXED | GCS_FIXEDROW;
    if (fixedCol)
        item.nState |= GCS_FIXED | GCS_FIXEDCOL;
    if (m_idCurrentCell == CCellID(row, col))
        item.nState |= GCS_FOCUSED;
    item.nFormat = defaultCell->GetFormat();
    item.iImage = defaultCell->GetImage();
    item.crBkClr = defaultCell->GetBackColor();
    item.crFgClr = defaultCell->GetTextColor();
    item.lParam = defaultCell->GetData();
    item.lfFont = *defaultCell->GetFont();
    item.nMargin = defaultCell->GetMargin();
    if (m_pfnCallback)
        m_pfnCallback(&info, m_lParam);
    else
        SendNotify(info.hdr);

    if (!m_pVirtualCell)
        m_pVirtualCell = std::make_unique<CGridCell>();
    CGridCell& cell = *m_pVirtualCell;
    cell.Reset();
    cell.SetGrid(const_cast<CGridCtrl*>(this));
    cell.SetState(item.nState);
    cell.SetText(item.strText);
    cell.SetImage(item.iImage);
    cell.SetData(item.lParam);
    cell.SetFormat(item.nFormat);
    cell.SetTextColor(item.crFgClr);
    cell.SetBackColor(item.crBkClr);
    // Owners mostly keep the default font: falling back to the default cell spares making a
    // QFont for every cell at every paint.
    if (const LOGFONT* fallback = cell.GetFont(); !fallback || item.lfFont != *fallback)
        cell.SetFont(&item.lfFont);
    cell.SetMargin(item.nMargin);
    cell.SetCoords(row, col);
    return &cell;
}

bool CGridCtrl::SetCellItem(const GRIDITEM* item) {
    if (!item || m_bVirtualMode)
        return false;
    CGridCellBase* cell = GetCell(item->row, item->col);
    if (!cell)
        return false;
    MarkModified(true, item->row, item->col);
    if (item->mask & GIF_TEXT)
        cell->SetText(item->strText);
    if (item->mask & GIF_PARAM)
        cell->SetData(item->lParam);
    if (item->mask & GIF_IMAGE)
        cell->SetImage(item->iImage);
    if (item->mask & GIF_STATE)
        SetCellState(item->row, item->col, item->nState);
    if (item->mask & GIF_FORMAT)
        cell->SetFormat(item->nFormat);
    if (item->mask & GIF_BKCLR)
        cell->SetBackColor(item->crBkClr);
    if (item->mask & GIF_FGCLR)
        cell->SetTextColor(item->crFgClr);
    if (item->mask & GIF_FONT)
        cell->SetFont(&item->lfFont);
    if (item->mask & GIF_MARGIN)
        cell->SetMargin(item->nMargin);
    return true;
}

bool CGridCtrl::GetCellItem(GRIDITEM* item) const {
    const CGridCellBase* cell = item ? GetCell(item->row, item->col) : nullptr;
    if (!cell)
        return false;
    item->strText = cell->GetText();
    item->lParam = cell->GetData();
    item->iImage = cell->GetImage();
    item->nState = cell->GetState();
    item->nFormat = cell->GetFormat();
    item->crBkClr = cell->GetBackColor();
    item->crFgClr = cell->GetTextColor();
    if (const LOGFONT* font = cell->GetFont())
        item->lfFont = *font;
    item->nMargin = cell->GetMargin();
    return true;
}

template <typename Change> bool CGridCtrl::ChangeStoredCell(int row, int col, Change change) {
    CGridCellBase* cell = m_bVirtualMode ? nullptr : GetCell(row, col);
    if (!cell)
        return false;
    change(*cell);
    InvalidateCell(row, col);
    return true;
}

bool CGridCtrl::SetCellText(int row, int col, const QString& text) {
    return ChangeStoredCell(row, col, [&](CGridCellBase& cell) {
        cell.SetText(text);
        MarkModified(true, row, col);
    });
}

QString CGridCtrl::GetCellText(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetText() : QString();
}

bool CGridCtrl::SetCellData(int row, int col, LPARAM data) {
    return ChangeStoredCell(row, col, [&](CGridCellBase& cell) { cell.SetData(data); });
}

LPARAM CGridCtrl::GetCellData(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetData() : 0;
}

bool CGridCtrl::SetCellFormat(int row, int col, unsigned format) {
    return ChangeStoredCell(row, col, [&](CGridCellBase& cell) { cell.SetFormat(format); });
}

bool CGridCtrl::SetCellBackColor(int row, int col, COLORREF color) {
    return ChangeStoredCell(row, col, [&](CGridCellBase& cell) { cell.SetBackColor(color); });
}

bool CGridCtrl::SetCellTextColor(int row, int col, COLORREF color) {
    return ChangeStoredCell(row, col, [&](CGridCellBase& cell) { cell.SetTextColor(color); });
}

bool CGridCtrl::SetCellFont(int row, int col, const LOGFONT* font) {
    return ChangeStoredCell(row, col, [&](CGridCellBase& cell) { cell.SetFont(font); });
}

bool CGridCtrl::SetCellImage(int row, int col, int image) {
    return ChangeStoredCell(row, col, [&](CGridCellBase& cell) { cell.SetImage(image); });
}

bool CGridCtrl::SetCellState(int row, int col, unsigned state) {
    if (!IsValid(row, col))
        return false;
    if (state & GCS_SELECTED)
        m_SelectedCellMap.insert(CellKey(row, col));
    else
        m_SelectedCellMap.erase(CellKey(row, col));
    if (!m_bVirtualMode)
        m_RowData[std::size_t(row)][std::size_t(col)]->SetState(state);
    return true;
}

unsigned CGridCtrl::GetCellState(int row, int col) const {
    if (!IsValid(row, col))
        return 0;
    if (m_bVirtualMode)
        return m_SelectedCellMap.contains(CellKey(row, col)) ? GCS_SELECTED : 0;
    return m_RowData[std::size_t(row)][std::size_t(col)]->GetState();
}

bool CGridCtrl::IsCellEditing(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return cell && cell->IsEditing();
}

bool CGridCtrl::IsCellEditable(int row, int col) const {
    const CGridCellBase* cell = GetCell(row, col);
    return m_bEditable && cell && !cell->IsReadOnly();
}

void CGridCtrl::MarkModified(bool modified, int row, int col) {
    if (col < 0 || col == m_nSortColumn)
        SetSortIndicator(-1);
    if (row < 0 || col < 0) {
        m_bModified = modified;
    } else if (CGridCellBase* cell = m_bVirtualMode ? nullptr : GetCell(row, col)) {
        if (modified) {
            cell->SetState(cell->GetState() | GCS_MODIFIED);
            m_bModified = true;
        } else {
            cell->SetState(cell->GetState() & ~GCS_MODIFIED);
        }
    }
    if (m_bModified || m_bVirtualMode)
        return;
    for (Row& cells : m_RowData)
        for (auto& cell : cells)
            if (cell)
                cell->SetState(cell->GetState() & ~GCS_MODIFIED);
}

// ---- Settings -----------------------------------------------------------------------------

template <typename T> void CGridCtrl::ChangeSetting(T& setting, T value) {
    if (setting == value)
        return;
    setting = value;
    Refresh();
}

void CGridCtrl::SetGridBkColor(COLORREF color) {
    ChangeSetting(m_crGridBkColour, color);
}

void CGridCtrl::SetGridLineColor(COLORREF color) {
    ChangeSetting(m_crGridLineColour, color);
}

void CGridCtrl::SetGridLines(int mode) {
    ChangeSetting(m_nGridLines, mode);
}

void CGridCtrl::SetVirtualMode(bool on) {
    if (on == m_bVirtualMode)
        return;
    ClearGrid();
    m_bVirtualMode = on;
    Refresh();
}

void CGridCtrl::SetCallbackFunc(GRIDCALLBACK callback, LPARAM userValue) {
    m_pfnCallback = callback;
    m_lParam = userValue;
}

void CGridCtrl::SetListMode(bool on) {
    ClearSelection();
    SetSortIndicator(-1);
    m_bListMode = on;
    m_bFixedColumnSelection = false;
    Refresh();
}

void CGridCtrl::SetRedraw(bool allowDraw, bool resetScrollBars) {
    m_bAllowDraw = allowDraw;
    if (allowDraw && resetScrollBars)
        UpdateScrollBars();
    Refresh();
}

void CGridCtrl::EnableSelection(bool on) {
    ClearSelection();
    m_bEnableSelection = on;
    Refresh();
}

void CGridCtrl::SetTrackFocusCell(bool on) {
    ChangeSetting(m_bTrackFocusCell, on);
}

void CGridCtrl::SetFrameFocusCell(bool on) {
    ChangeSetting(m_bFrameFocus, on);
}

void CGridCtrl::SetImageList(const QList<QPixmap>& images) {
    m_ImageList = images;
    Refresh();
}

void CGridCtrl::ApplyFontToDefaultCells(const QFont& font) {
    const LOGFONT logFont = LOGFONT::fromQFont(font);
    for (CGridDefaultCell* cell :
         {m_cellDefault.get(), m_cellFixedColDef.get(), m_cellFixedRowDef.get(), m_cellFixedRowColDef.get()})
        cell->SetFont(&logFont);
    updateGeometry();
    Refresh();
}

// Colours still equal to the old system colours follow the new scheme.
void CGridCtrl::OnSysColorChange() {
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
    for (CGridDefaultCell* cell : {m_cellDefault.get(), m_cellFixedColDef.get(), m_cellFixedRowDef.get(),
                                   m_cellFixedRowColDef.get()}) {
        if (cell->GetTextColor() == m_crWindowText)
            cell->SetTextColor(windowText);
        if (cell->GetBackColor() == m_crWindowColour)
            cell->SetBackColor(window);
    }
    if (m_crGridBkColour == m_crShadow)
        m_crGridBkColour = shadow;
    m_crWindowText = windowText;
    m_crWindowColour = window;
    m_crShadow = shadow;
    Refresh();
}

// ---- Notifications ------------------------------------------------------------------------

LRESULT CGridCtrl::SendNotify(NMHDR& header) const {
    NotifyTarget* target = m_pNotifyTarget ? m_pNotifyTarget : dynamic_cast<NotifyTarget*>(parentWidget());
    return sendNotify(target, header);
}

LRESULT CGridCtrl::SendMessageToParent(int row, int col, int code) const {
    GRIDNOTIFY notify;
    notify.hdr = {const_cast<CGridCtrl*>(this), m_nID, code};
    notify.iRow = row;
    notify.iColumn = col;
    return SendNotify(notify.hdr);
}

void CGridCtrl::SendCacheHint(const CCellRange& range) const {
    if (!m_bVirtualMode)
        return;
    GRIDCACHEHINT hint;
    hint.hdr = {const_cast<CGridCtrl*>(this), m_nID, LVN_ODCACHEHINT};
    hint.range = range;
    SendNotify(hint.hdr);
}

// ---- Geometry -----------------------------------------------------------------------------

int CGridCtrl::GetRowHeight(int row) const {
    return row >= 0 && row < m_arRowHeights.size() ? m_arRowHeights.at(row) : -1;
}

int CGridCtrl::GetColumnWidth(int col) const {
    return col >= 0 && col < m_arColWidths.size() ? m_arColWidths.at(col) : -1;
}

bool CGridCtrl::SetRowHeight(int row, int height) {
    if (row < 0 || row >= m_arRowHeights.size() || height < 0)
        return false;
    m_arRowHeights.set(row, height);
    UpdateScrollBars();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_arColWidths.size() || width < 0)
        return false;
    m_arColWidths.set(col, width);
    UpdateScrollBars();
    return true;
}

QRect CGridCtrl::GetClientRect() const {
    const int extent = scrollBarExtent(this);
    return {0, 0, width() - (IsScrollBarShown(Qt::Vertical) ? extent : 0),
            height() - (IsScrollBarShown(Qt::Horizontal) ? extent : 0)};
}

CCellID CGridCtrl::GetFirstScrollCell(bool force) const {
    if (!force && m_idTopLeftCell.IsValid())
        return m_idTopLeftCell;
    const auto first = [](const CumulativeSizes& sizes, int fixed, int count, int position) {
        const int reached = sizes.countReaching(sizes.sumBefore(fixed) + position);
        return std::min(std::max(reached, fixed), std::max(count - 1, fixed));
    };
    m_idTopLeftCell = {first(m_arRowHeights, m_nFixedRows, m_nRows, GetScrollPos(Qt::Vertical)),
                       first(m_arColWidths, m_nFixedCols, m_nCols, GetScrollPos(Qt::Horizontal))};
    return m_idTopLeftCell;
}

CCellRange CGridCtrl::GetVisibleScrollRange(QRect* rect) const {
    const QRect client = GetClientRect();
    const CCellID topLeft = GetFirstScrollCell();
    int bottom = GetHeaderHeight();
    int row = topLeft.row;
    for (; row < m_nRows; ++row) {
        bottom += GetRowHeight(row);
        if (bottom >= client.height()) {
            bottom = client.height();
            break;
        }
    }
    int right = GetHeaderWidth();
    int col = topLeft.col;
    for (; col < m_nCols; ++col) {
        right += GetColumnWidth(col);
        if (right >= client.width()) {
            right = client.width();
            break;
        }
    }
    if (rect)
        *rect = rectLTRB(0, 0, right, bottom);
    return {topLeft.row, topLeft.col, std::min(row, m_nRows - 1), std::min(col, m_nCols - 1)};
}

int CGridCtrl::ColumnLeft(int col) const {
    if (col < m_nFixedCols)
        return m_arColWidths.sumBefore(col);
    return GetHeaderWidth() + m_arColWidths.sumBefore(col) -
           m_arColWidths.sumBefore(GetFirstScrollCell().col);
}

int CGridCtrl::RowTop(int row) const {
    if (row < m_nFixedRows)
        return m_arRowHeights.sumBefore(row);
    return GetHeaderHeight() + m_arRowHeights.sumBefore(row) -
           m_arRowHeights.sumBefore(GetFirstScrollCell().row);
}

bool CGridCtrl::GetCellTopLeft(int row, int col, QPoint* point) const {
    if (!IsValid(row, col))
        return false;
    const CCellID topLeft = GetFirstScrollCell();
    if ((row >= m_nFixedRows && row < topLeft.row) || (col >= m_nFixedCols && col < topLeft.col))
        return false;
    *point = QPoint(ColumnLeft(col), RowTop(row));
    return true;
}

bool CGridCtrl::GetCellRect(int row, int col, QRect* rect) const {
    QPoint origin;
    if (!GetCellTopLeft(row, col, &origin))
        return false;
    *rect = QRect(origin.x(), origin.y(), GetColumnWidth(col) - 1, GetRowHeight(row) - 1);
    return true;
}

CCellID CGridCtrl::HitTestCell(const QPoint& point, bool allowFixed) const {
    const CCellID topLeft = GetFirstScrollCell();
    if (!allowFixed && !IsValid(topLeft))
        return {};
    const auto hit = [allowFixed](const CumulativeSizes& sizes, int fixed, int count, int first, int at) {
        const int fixedSize = sizes.sumBefore(fixed);
        if (at < 0 || (at < fixedSize && !allowFixed))
            return -1;
        const int offset = at < fixedSize ? at : at - fixedSize + sizes.sumBefore(first);
        const int index = sizes.countReaching(offset + 1) - 1;
        return index < count ? index : -1;
    };
    const CCellID cell(hit(m_arRowHeights, m_nFixedRows, m_nRows, topLeft.row, point.y()),
                       hit(m_arColWidths, m_nFixedCols, m_nCols, topLeft.col, point.x()));
    return cell.row < 0 || cell.col < 0 ? CCellID() : cell;
}

bool CGridCtrl::IsCellVisible(int row, int col) const {
    QPoint origin;
    if (!GetCellTopLeft(row, col, &origin))
        return false;
    const QRect client = GetClientRect();
    return origin.x() < client.width() && origin.y() < client.height();
}

void CGridCtrl::EnsureVisible(int row, int col) {
    if (!m_bAllowDraw || !IsValid(row, col))
        return;
    QWidget* focused = QApplication::focusWidget();
    const CCellRange visible = GetVisibleScrollRange();
    if (col >= m_nFixedCols) {
        for (int c = visible.maxCol + 1; c <= col; ++c)
            if (GetColumnWidth(c) > 0)
                OnHScroll(SB_LINERIGHT);
        for (int c = col; c < visible.minCol; ++c)
            if (GetColumnWidth(c) > 0)
                OnHScroll(SB_LINELEFT);
    }
    if (row >= m_nFixedRows) {
        for (int r = visible.maxRow + 1; r <= row; ++r)
            if (GetRowHeight(r) > 0)
                OnVScroll(SB_LINEDOWN);
        for (int r = row; r < visible.minRow; ++r)
            if (GetRowHeight(r) > 0)
                OnVScroll(SB_LINEUP);
    }
    // A partly shown cell at the far edge: one more line while that still helps.
    QRect rect;
    const QRect client = GetClientRect();
    while (GetCellRect(row, col, &rect) && rect.x() + rect.width() >= client.width() &&
           rect.x() > GetHeaderWidth() && IsScrollBarShown(Qt::Horizontal)) {
        const int before = GetScrollPos(Qt::Horizontal);
        OnHScroll(SB_LINERIGHT);
        if (GetScrollPos(Qt::Horizontal) == before)
            break;
    }
    while (GetCellRect(row, col, &rect) && rect.y() + rect.height() >= client.height() &&
           rect.y() > GetHeaderHeight() && IsScrollBarShown(Qt::Vertical)) {
        const int before = GetScrollPos(Qt::Vertical);
        OnVScroll(SB_LINEDOWN);
        if (GetScrollPos(Qt::Vertical) == before)
            break;
    }
    if (focused && focused != QApplication::focusWidget())
        focused->setFocus(Qt::OtherFocusReason);
}

bool CGridCtrl::AutoSizeColumn(int col, int style, bool resetScroll) {
    if (col < 0 || col >= m_nCols || GetColumnWidth(col) == 0)
        return false;
    if (style == 0)
        style = m_nAutoSizeColumnStyle;
    const int first = (style & GAS_FIXED) ? 0 : m_nFixedRows;
    const int last = (style & GAS_DATA) ? m_nRows - 1 : m_nFixedRows - 1;
    SendCacheHint({first, col, last, col});
    int width = 0;
    for (int row = first; row <= last; ++row)
        if (CGridCellBase* cell = GetCell(row, col))
            width = std::max(width, cell->MeasureCell().width());
    SendCacheHint({});
    m_arColWidths.set(col, width);
    if (resetScroll)
        UpdateScrollBars();
    return true;
}

bool CGridCtrl::AutoSizeRow(int row, bool resetScroll) {
    if (row < 0 || row >= m_nRows || GetRowHeight(row) == 0)
        return false;
    SendCacheHint({row, 0, row, m_nCols - 1});
    int height = 0;
    for (int col = 0; col < m_nCols; ++col)
        if (CGridCellBase* cell = GetCell(row, col))
            height = std::max(height, cell->MeasureCell().height());
    SendCacheHint({});
    m_arRowHeights.set(row, height);
    if (resetScroll)
        UpdateScrollBars();
    return true;
}

void CGridCtrl::Refresh() {
    if (m_bAllowDraw)
        update();
}

bool CGridCtrl::InvalidateCell(int row, int col) {
    QRect rect;
    if (!m_bAllowDraw || !IsCellVisible(row, col) || !GetCellRect(row, col, &rect))
        return false;
    update(rect.adjusted(0, 0, 1, 1));
    return true;
}

// Painting happens in paintEvent only, so a repaint is an invalidation.
bool CGridCtrl::RepaintCell(int row, int col) {
    return InvalidateCell(row, col);
}

void CGridCtrl::InvalidateRowHeaders(int row) {
    for (int col = 0; col < m_nFixedCols; ++col)
        InvalidateCell(row, col);
}

void CGridCtrl::InvalidateColumnHeaders(int col) {
    for (int row = 0; row < m_nFixedRows; ++row)
        InvalidateCell(row, col);
}

QSize CGridCtrl::sizeHint() const {
    const int extent = scrollBarExtent(this);
    const int cellWidth = m_cellDefault->GetWidth();
    const int cellHeight = m_cellDefault->GetHeight();
    return {std::clamp(GetTotalWidth(), cellWidth * 3, cellWidth * 8) + extent,
            std::clamp(GetTotalHeight(), cellHeight * 4, cellHeight * 16) + extent};
}

QSize CGridCtrl::minimumSizeHint() const {
    const int extent = scrollBarExtent(this);
    return {m_cellDefault->GetWidth() + extent, m_cellDefault->GetHeight() * 2 + extent};
}

// ---- Scrolling ----------------------------------------------------------------------------

// Whether the grid shows the bar, already true while the grid itself is not shown yet
// (isVisible() would answer no until then).
bool CGridCtrl::IsScrollBarShown(Qt::Orientation orientation) const {
    return !ScrollBar(orientation)->isHidden();
}

QScrollBar* CGridCtrl::ScrollBar(Qt::Orientation orientation) const {
    return orientation == Qt::Horizontal ? m_pHScroll : m_pVScroll;
}

int CGridCtrl::GetScrollPos(Qt::Orientation orientation) const {
    return ScrollBar(orientation)->value();
}

int CGridCtrl::GetScrollMax(Qt::Orientation orientation) const {
    return ScrollBar(orientation)->maximum();
}

void CGridCtrl::PlaceScrollBars(bool horizontal, bool vertical) {
    if (horizontal != IsScrollBarShown(Qt::Horizontal) || vertical != IsScrollBarShown(Qt::Vertical))
        Refresh();
    const int extent = scrollBarExtent(this);
    m_pHScroll->setGeometry(0, height() - extent, width() - (vertical ? extent : 0), extent);
    m_pVScroll->setGeometry(width() - extent, 0, extent, height() - (horizontal ? extent : 0));
    m_pHScroll->setVisible(horizontal);
    m_pVScroll->setVisible(vertical);
}

void CGridCtrl::UpdateScrollBars() {
    m_idTopLeftCell = CCellID();
    if (!m_bAllowDraw || width() <= 0 || height() <= 0)
        return;
    const int extent = scrollBarExtent(this);
    const int fixedWidth = GetHeaderWidth();
    const int fixedHeight = GetHeaderHeight();
    bool horizontal = false;
    bool vertical = false;
    int horizontalMax = 0;
    int verticalMax = 0;
    if (width() > fixedWidth && height() > fixedHeight) {
        const int scrollHeight = ScrollableHeight();
        const int scrollWidth = ScrollableWidth();
        int availableWidth = width();
        int availableHeight = height();
        if (height() - fixedHeight < scrollHeight)
            availableWidth -= extent;
        if (availableWidth - fixedWidth < scrollWidth)
            availableHeight -= extent;
        const int pageHeight = availableHeight - fixedHeight;
        const int pageWidth = availableWidth - fixedWidth;
        horizontal = pageWidth < scrollWidth;
        vertical = pageHeight < scrollHeight;
        verticalMax = std::max(0, scrollHeight - pageHeight);
        horizontalMax = std::max(0, scrollWidth - pageWidth);
        m_pVScroll->setPageStep(std::max(pageHeight, 1));
        m_pHScroll->setPageStep(std::max(pageWidth, 1));
    }
    // Setting the range also brings a position beyond the new end back to it.
    m_pVScroll->setRange(0, verticalMax);
    m_pHScroll->setRange(0, horizontalMax);
    m_pVScroll->setSingleStep(std::max(m_cellDefault->GetHeight(), 1));
    m_pHScroll->setSingleStep(std::max(m_cellDefault->GetWidth(), 1));
    PlaceScrollBars(horizontal, vertical);
}

void CGridCtrl::ScrollTo(Qt::Orientation orientation, int position) {
    ScrollBar(orientation)->setValue(position);
    m_idTopLeftCell = CCellID();
}

void CGridCtrl::OnHScroll(int request, int trackPosition) {
    Scroll(Qt::Horizontal, request, trackPosition);
}

void CGridCtrl::OnVScroll(int request, int trackPosition) {
    Scroll(Qt::Vertical, request, trackPosition);
}

// One handler for both directions: columns, widths and the fixed width horizontally, rows,
// heights and the fixed height vertically.
void CGridCtrl::Scroll(Qt::Orientation orientation, int request, int trackPosition) {
    FinishEditing();
    const bool horizontal = orientation == Qt::Horizontal;
    const CumulativeSizes& sizes = horizontal ? m_arColWidths : m_arRowHeights;
    const int fixedCount = horizontal ? m_nFixedCols : m_nFixedRows;
    const int count = horizontal ? m_nCols : m_nRows;
    const int position = GetScrollPos(orientation);
    const int maximum = GetScrollMax(orientation);
    const QRect client = GetClientRect();
    const int page = horizontal ? client.width() - GetHeaderWidth() : client.height() - GetHeaderHeight();
    const CCellID topLeft = GetFirstScrollCell();
    const int first = horizontal ? topLeft.col : topLeft.row;
    // What moves: the part right of the fixed columns (below the fixed rows).
    const QRect area = horizontal ? rectLTRB(GetHeaderWidth(), 0, client.width(), client.height())
                                  : rectLTRB(0, GetHeaderHeight(), client.width(), client.height());

    switch (request) {
    case SB_LINEUP:
        if (position > 0 && first > fixedCount) {
            int index = first - 1;
            while (index > fixedCount && sizes.at(index) == 0)
                --index;
            ScrollTo(orientation, std::max(0, position - sizes.at(index)));
            update(area);
        }
        break;
    case SB_LINEDOWN:
        if (position < maximum && first < count) {
            int index = first;
            while (index < count - 1 && sizes.at(index) == 0)
                ++index;
            const int next = std::min(maximum, position + sizes.at(index));
            if (next != position) {
                ScrollTo(orientation, next);
                update(area);
            }
        }
        break;
    case SB_PAGEUP:
    case SB_PAGEDOWN: {
        const int next =
            request == SB_PAGEUP ? std::max(0, position - page) : std::min(maximum, position + page);
        if (next != position) {
            ScrollTo(orientation, next);
            update(area);
        }
        break;
    }
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        ScrollTo(orientation, std::clamp(trackPosition, 0, maximum));
        if (GetFirstScrollCell() != topLeft || position != GetScrollPos(orientation))
            update(area);
        break;
    }
    case SB_TOP:
    case SB_BOTTOM: {
        const int target = request == SB_TOP ? 0 : maximum;
        if (position != target) {
            ScrollTo(orientation, target);
            Refresh();
        }
        break;
    }
    default:
        break;
    }
}

// ---- Painting -----------------------------------------------------------------------------

void CGridCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintGrid(painter, event->rect());
    if (IsScrollBarShown(Qt::Horizontal) && IsScrollBarShown(Qt::Vertical)) {
        const int extent = scrollBarExtent(this);
        painter.fillRect(width() - extent, height() - extent, extent, extent, palette().window());
    }
    if (!m_SizingBand.isEmpty())
        PatBlt(painter, m_SizingBand, QBrush(Qt::white), PATINVERT);
}

void CGridCtrl::PaintGrid(QPainter& painter, const QRect& clip) {
    if (!m_bAllowDraw || clip.isEmpty())
        return;
    QRect visibleRect;
    const CCellRange visible = GetVisibleScrollRange(&visibleRect);
    EraseBackground(painter, clip, visibleRect);
    SendCacheHint(visible);
    PaintCells(painter, clip, visible);
    PaintGridLines(painter, visible, visibleRect);
    SendCacheHint({});
}

void CGridCtrl::EraseBackground(QPainter& painter, const QRect& clip, const QRect& visibleRect) {
    const int fixedWidth = GetHeaderWidth();
    const int fixedHeight = GetHeaderHeight();
    const int right = visibleRect.width();
    const int bottom = visibleRect.height();
    const int clipRight = clip.x() + clip.width();
    const int clipBottom = clip.y() + clip.height();
    const auto fill = [&](const QRect& area, COLORREF color) {
        const QRect part = area & clip;
        if (!part.isEmpty())
            FillSolidRect(painter, part, color);
    };
    fill(rectLTRB(clip.x(), clip.y(), fixedWidth, fixedHeight), m_cellFixedRowColDef->GetBackColor());
    fill(rectLTRB(clip.x(), clip.y(), fixedWidth, bottom), m_cellFixedColDef->GetBackColor());
    fill(rectLTRB(fixedWidth - 1, clip.y(), right, fixedHeight), m_cellFixedRowDef->GetBackColor());
    fill(rectLTRB(fixedWidth, fixedHeight, right, bottom), m_cellDefault->GetBackColor());
    fill(rectLTRB(right, clip.y(), clipRight, clipBottom), m_crGridBkColour);
    fill(rectLTRB(clip.x(), bottom, right, clipBottom), m_crGridBkColour);
}

void CGridCtrl::DrawCell(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    if (CGridCellBase* cell = GetCell(row, col)) {
        cell->SetCoords(row, col);
        cell->Draw(&painter, row, col, rect, erase);
    }
}

namespace {

// Lays the items first..last edge to edge after prevEdge, skipping hidden ones and those
// outside [clipStart, clipEnd]; calls paint(index, start, end) with the span's first pixel
// and its edge (the grid line's pixel).
template <typename Paint>
void forEachSpan(const CumulativeSizes& sizes, int first, int last, int prevEdge, int clipStart, int clipEnd,
                 Paint paint) {
    for (int index = first; index <= last; ++index) {
        const int size = sizes.at(index);
        if (size == 0)
            continue;
        const int start = prevEdge + 1;
        const int end = prevEdge + size;
        prevEdge = end;
        if (end < clipStart)
            continue;
        if (start > clipEnd)
            break;
        paint(index, start, end);
    }
}

} // namespace

void CGridCtrl::PaintCells(QPainter& painter, const QRect& clip, const CCellRange& visible) {
    const int fixedWidth = GetHeaderWidth();
    const int fixedHeight = GetHeaderHeight();
    const auto paintBlock = [&](int firstRow, int lastRow, int rowEdge, int firstCol, int lastCol,
                                int colEdge) {
        forEachSpan(m_arRowHeights, firstRow, lastRow, rowEdge, clip.top(), clip.bottom(),
                    [&](int row, int top, int bottom) {
                        forEachSpan(m_arColWidths, firstCol, lastCol, colEdge, clip.left(), clip.right(),
                                    [&](int col, int left, int right) {
                                        DrawCell(painter, row, col, rectLTRB(left, top, right, bottom),
                                                 false);
                                    });
                    });
    };
    paintBlock(0, m_nFixedRows - 1, -1, 0, m_nFixedCols - 1, -1);
    paintBlock(visible.minRow, visible.maxRow, fixedHeight - 1, 0, m_nFixedCols - 1, -1);
    paintBlock(0, m_nFixedRows - 1, -1, visible.minCol, visible.maxCol, fixedWidth - 1);
    paintBlock(visible.minRow, visible.maxRow, fixedHeight - 1, visible.minCol, visible.maxCol,
               fixedWidth - 1);
}

void CGridCtrl::PaintGridLines(QPainter& painter, const CCellRange& visible, const QRect& visibleRect) {
    if (m_nGridLines == GGL_NONE)
        return;
    painter.setPen(QPen(toQColor(m_crGridLineColour), 0));
    const int fixedWidth = GetHeaderWidth();
    const int fixedHeight = GetHeaderHeight();
    const int right = visibleRect.width();
    const int bottom = visibleRect.height();
    if (m_nGridLines == GGL_VERT || m_nGridLines == GGL_BOTH) {
        int x = fixedWidth - 1;
        for (int col = visible.minCol; col <= visible.maxCol && col < m_nCols; ++col) {
            if (GetColumnWidth(col) == 0)
                continue;
            x += GetColumnWidth(col);
            if (fixedHeight < bottom)
                painter.drawLine(x, fixedHeight, x, bottom - 1);
        }
    }
    if (m_nGridLines == GGL_HORZ || m_nGridLines == GGL_BOTH) {
        int y = fixedHeight - 1;
        for (int row = visible.minRow; row <= visible.maxRow && row < m_nRows; ++row) {
            if (GetRowHeight(row) == 0)
                continue;
            y += GetRowHeight(row);
            if (fixedWidth < right)
                painter.drawLine(fixedWidth, y, right - 1, y);
        }
    }
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FinishEditing();
    UpdateScrollBars();
}

void CGridCtrl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Palette changes are left to event(): only the application palette holds the system
    // colours.
    if (event->type() == QEvent::FontChange)
        ApplyFontToDefaultCells(font());
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    // Touchpads and fine wheels send fractions of a notch; they add up until a whole line
    // (or page) is reached instead of being lost.
    const bool pages = m_nRowsPerWheelNotch == -1;
    m_nWheelRemainder += delta * (pages ? 1 : m_nRowsPerWheelNotch);
    const int steps = m_nWheelRemainder / 120;
    m_nWheelRemainder -= steps * 120;
    for (int i = 0; i < std::abs(steps); ++i) {
        if (pages)
            OnVScroll(steps > 0 ? SB_PAGEUP : SB_PAGEDOWN);
        else
            OnVScroll(steps > 0 ? SB_LINEUP : SB_LINEDOWN);
    }
    event->accept();
}

// ---- Focus and selection ------------------------------------------------------------------

CCellID CGridCtrl::MoveFocusTo(int row, int col) {
    const CCellID previous = m_idCurrentCell;
    if (previous == CCellID(row, col))
        return previous;
    if (row != -1 && row < m_nFixedRows)
        row = m_nFixedRows;
    if (col != -1 && col < m_nFixedCols)
        col = m_nFixedCols;
    if (IsValid(previous)) {
        if (!m_bVirtualMode)
            SetCellState(previous.row, previous.col, GetCellState(previous.row, previous.col) & ~GCS_FOCUSED);
        InvalidateCell(previous.row, previous.col);
        if (m_bTrackFocusCell) {
            if (previous.col != col)
                InvalidateColumnHeaders(previous.col);
            if (previous.row != row)
                InvalidateRowHeaders(previous.row);
        }
    }
    m_idCurrentCell = CCellID(row, col);
    if (IsValid(m_idCurrentCell)) {
        if (!m_bVirtualMode)
            SetCellState(row, col, GetCellState(row, col) | GCS_FOCUSED);
        InvalidateCell(row, col);
        if (m_bTrackFocusCell) {
            if (previous.col != col)
                InvalidateColumnHeaders(col);
            if (previous.row != row)
                InvalidateRowHeaders(row);
        }
    } else {
        m_idCurrentCell = CCellID();
    }
    return previous;
}

void CGridCtrl::SelectRange(int minRow, int minCol, int maxRow, int maxCol, bool, bool select) {
    if (!m_bEnableSelection)
        return;
    const WaitCursor waitCursor(int(m_SelectedCellMap.size()) > kManyCells ||
                                qint64(maxRow - minRow + 1) * (maxCol - minCol + 1) > kManyCells);
    const CCellRange visible = GetVisibleScrollRange();
    const auto raise = [](int value, int fixed) { return value >= 0 && value < fixed ? fixed : value; };
    minRow = raise(minRow, m_nFixedRows);
    maxRow = raise(maxRow, m_nFixedRows);
    minCol = raise(minCol, m_nFixedCols);
    maxCol = raise(maxCol, m_nFixedCols);
    const CCellRange range(minRow, minCol, maxRow, maxCol);

    if (select) {
        CellSet previous;
        previous.swap(m_SelectedCellMap);
        for (quint64 key : previous) {
            const CCellID cell = CellOfKey(key);
            if (!IsValid(cell))
                continue;
            if (!m_bVirtualMode)
                m_RowData[std::size_t(cell.row)][std::size_t(cell.col)]->SetState(
                    GetCellState(cell.row, cell.col) & ~GCS_SELECTED);
            if (!range.InRange(cell) && visible.InRange(cell))
                InvalidateCell(cell.row, cell.col);
        }
        if (!(m_bListMode && m_bSingleRowSelection)) {
            if (minRow < 0)
                return;
            if (minCol >= 0 && maxRow >= 0 && maxCol >= 0) {
                for (quint64 key : m_PrevSelectedCellMap) {
                    const CCellID cell = CellOfKey(key);
                    if (!IsValid(cell))
                        continue;
                    SetCellState(cell.row, cell.col, GetCellState(cell.row, cell.col) | GCS_SELECTED);
                    if (visible.InRange(cell))
                        InvalidateCell(cell.row, cell.col);
                }
            }
        }
    }
    if (minRow < 0 || minCol < 0 || maxRow < 0 || maxCol < 0 || maxRow >= m_nRows || maxCol >= m_nCols ||
        maxCol < minCol)
        return;
    if (select)
        m_SelectedCellMap.reserve(m_SelectedCellMap.size() + std::size_t(range.Count()));
    for (int row = minRow; row <= maxRow; ++row) {
        for (int col = minCol; col <= maxCol; ++col) {
            const unsigned state = GetCellState(row, col);
            if (bool(state & GCS_SELECTED) == select)
                continue;
            SetCellState(row, col, select ? state | GCS_SELECTED : state & ~GCS_SELECTED);
            if (visible.InRange(row, col))
                InvalidateCell(row, col);
        }
    }
}

void CGridCtrl::SelectAllCells() {
    if (m_bEnableSelection)
        SelectRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

void CGridCtrl::SelectColumns(CCellID cell, bool forceRepaint, bool select) {
    if (!m_bEnableSelection || !IsValid(cell) || cell.col < m_nFixedCols)
        return;
    if (m_bSingleColSelection)
        SelectRange(m_nFixedRows, cell.col, m_nRows - 1, cell.col, forceRepaint, select);
    else
        SelectRange(m_nFixedRows, std::min(m_SelectionStartCell.col, cell.col), m_nRows - 1,
                    std::max(m_SelectionStartCell.col, cell.col), forceRepaint, select);
}

void CGridCtrl::SelectRows(CCellID cell, bool forceRepaint, bool select) {
    if (!m_bEnableSelection || !IsValid(cell) || cell.row < m_nFixedRows)
        return;
    if (m_bListMode && m_bSingleRowSelection)
        SelectRange(cell.row, m_nFixedCols, cell.row, m_nCols - 1, forceRepaint, select);
    else
        SelectRange(std::min(m_SelectionStartCell.row, cell.row), m_nFixedCols,
                    std::max(m_SelectionStartCell.row, cell.row), m_nCols - 1, forceRepaint, select);
}

void CGridCtrl::SelectCells(CCellID cell, bool forceRepaint, bool select) {
    if (!m_bEnableSelection || !IsValid(cell) || IsCellFixed(cell.row, cell.col))
        return;
    SelectRange(std::min(m_SelectionStartCell.row, cell.row), std::min(m_SelectionStartCell.col, cell.col),
                std::max(m_SelectionStartCell.row, cell.row), std::max(m_SelectionStartCell.col, cell.col),
                forceRepaint, select);
}

void CGridCtrl::ExtendSelection(CCellID cell) {
    switch (m_MouseMode) {
    case MOUSE_SELECT_ALL:
        SelectAllCells();
        break;
    case MOUSE_SELECT_COL:
        SelectColumns(cell, false, true);
        break;
    case MOUSE_SELECT_ROW:
        SelectRows(cell, false, true);
        break;
    case MOUSE_SELECT_CELLS:
        SelectCells(cell, false, true);
        break;
    default:
        break;
    }
}

void CGridCtrl::ClearSelection() {
    m_PrevSelectedCellMap.clear();
    SelectRange(-1, -1, -1, -1, false, true);
    MoveFocusTo(-1, -1);
}

CCellRange CGridCtrl::GetSelectionBounds() const {
    CCellRange bounds(m_nRows, m_nCols, -1, -1);
    for (quint64 key : m_SelectedCellMap) {
        const CCellID cell = CellOfKey(key);
        bounds.minRow = std::min(bounds.minRow, cell.row);
        bounds.minCol = std::min(bounds.minCol, cell.col);
        bounds.maxRow = std::max(bounds.maxRow, cell.row);
        bounds.maxCol = std::max(bounds.maxCol, cell.col);
    }
    return bounds;
}

bool CGridCtrl::IsCellSelected(int row, int col) const {
    return m_bEnableSelection && (GetCellState(row, col) & GCS_SELECTED);
}

void CGridCtrl::SelectAllNotified() {
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, LVN_ITEMCHANGING);
    SelectAllCells();
    SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, LVN_ITEMCHANGED);
}

// ---- Sorting ------------------------------------------------------------------------------

void CGridCtrl::SetSortIndicator(int col) {
    if (col == m_nSortColumn)
        return;
    const int previous = m_nSortColumn;
    m_nSortColumn = col;
    InvalidateCell(0, previous);
    InvalidateCell(0, col);
}

int CGridCtrl::DefaultCompare(const CGridCellBase* first, const CGridCellBase* second, LPARAM) {
    if (!first || !second)
        return 0;
    return QString::compare(first->GetText(), second->GetText(), Qt::CaseSensitive);
}

bool CGridCtrl::SortByColumn(int col, bool ascending, LPARAM data) {
    return SortRows(m_pfnCompare ? m_pfnCompare : DefaultCompare, col, ascending, data);
}

bool CGridCtrl::SortRows(CellCompareFunc compare, int col, bool ascending, LPARAM data) {
    if (col < 0 || col >= m_nCols || m_nRows <= m_nFixedRows || m_bVirtualMode)
        return false;
    FinishEditing();
    SetSortIndicator(col);
    m_bAscending = ascending;
    ClearSelection();
    QuickSort(compare, col, m_nFixedRows, m_nRows - 1, ascending, data);
    m_idTopLeftCell = CCellID(); // rows of other heights may now lie under the scroll position
    Refresh();
    return true;
}

void CGridCtrl::QuickSort(CellCompareFunc compare, int col, int lo, int hi, bool ascending, LPARAM data) {
    // Recursing into the smaller part only and looping over the larger keeps the depth
    // logarithmic, so no order of rows can exhaust the stack.
    while (lo < hi) {
        const auto [i, j] = PartitionRows(compare, col, lo, hi, ascending, data);
        if (i - lo < hi - j) {
            if (lo < i)
                QuickSort(compare, col, lo, i, ascending, data);
            lo = j;
        } else {
            if (j < hi)
                QuickSort(compare, col, j, hi, ascending, data);
            hi = i;
        }
    }
}

// Splits rows lo..hi around the middle row's cell: rows lo..i come before it, j..hi after.
std::pair<int, int> CGridCtrl::PartitionRows(CellCompareFunc compare, int col, int lo, int hi, bool ascending,
                                             LPARAM data) {
    // The pivot is the cell object itself, wherever the swaps move its row.
    const CGridCellBase* pivot = GetCell((lo + hi) / 2, col);
    const int sign = ascending ? 1 : -1;
    const auto order = [&](int row) { return sign * compare(GetCell(row, col), pivot, data); };
    int i = hi;
    int j = lo;
    while (j <= i) {
        while (j < hi && order(j) < 0)
            ++j;
        while (i > lo && order(i) > 0)
            --i;
        if (i < j)
            break;
        if (compare(GetCell(j, col), GetCell(i, col), data) != 0)
            SwapRows(i, j);
        --i;
        ++j;
    }
    return {i, j};
}

void CGridCtrl::SwapRows(int first, int second) {
    std::swap(m_RowData[std::size_t(first)], m_RowData[std::size_t(second)]);
    for (int row : {first, second})
        for (int col = 0; col < m_nCols; ++col)
            m_RowData[std::size_t(row)][std::size_t(col)]->SetCoords(row, col);
    m_arRowHeights.swap(first, second);
}

void CGridCtrl::OnHeaderRowClick(CCellID cell) {
    if (!IsValid(cell))
        return;
    if (m_bSortOnClick) {
        WaitCursor waitCursor;
        SortByColumn(cell.col, cell.col == m_nSortColumn ? !m_bAscending : true);
    }
    if (m_bFixedRowSelection) {
        m_MouseMode = cell.col < m_nFixedCols ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL;
        ExtendSelection(cell);
    }
}

void CGridCtrl::OnHeaderColumnClick(CCellID cell) {
    if (!m_bFixedColumnSelection)
        return;
    m_MouseMode = cell.row < m_nFixedRows ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
    ExtendSelection(cell);
}

// ---- Mouse --------------------------------------------------------------------------------

QPoint CGridCtrl::PointInCell(const CCellID& cell, const QPoint& point) const {
    QPoint origin;
    if (!GetCellTopLeft(cell.row, cell.col, &origin))
        return point;
    return point - origin;
}

bool CGridCtrl::PointInCellText(const CCellID& cell, const QPoint& point) {
    QRect rect;
    CGridCellBase* gridCell = GetCell(cell.row, cell.col);
    if (!gridCell || !GetCellRect(cell.row, cell.col, &rect))
        return false;
    gridCell->GetTextRect(&rect);
    return rect.adjusted(0, 0, 1, 1).contains(point);
}

// Over a divider: within the header, near the left (top) edge of any but the first column
// (row) or near the right (bottom) edge of any.
bool CGridCtrl::MouseOverResizeArea(Qt::Orientation orientation, const QPoint& point) const {
    const bool horizontal = orientation == Qt::Horizontal;
    if ((horizontal ? point.y() : point.x()) >= (horizontal ? GetHeaderHeight() : GetHeaderWidth()))
        return false;
    const CCellID cell = HitTestCell(point, true);
    if (!IsValid(cell))
        return false;
    const int index = horizontal ? cell.col : cell.row;
    const int start = horizontal ? ColumnLeft(index) : RowTop(index);
    const int size = horizontal ? GetColumnWidth(index) : GetRowHeight(index);
    const int at = horizontal ? point.x() : point.y();
    return (at - start < m_nResizeCaptureRange && index != 0) || (start + size - at < m_nResizeCaptureRange);
}

// The column (row) whose right (bottom) divider lies under point: the one before the cell
// when the point is at the cell's leading edge, past hidden ones unless they may be dragged
// open; the last one when it is narrower than the capture range and the point is at the end.
int CGridCtrl::IndexToSize(Qt::Orientation orientation, const QPoint& point, int index) const {
    const bool horizontal = orientation == Qt::Horizontal;
    const CumulativeSizes& sizes = horizontal ? m_arColWidths : m_arRowHeights;
    const int count = sizes.size();
    const int at = horizontal ? point.x() : point.y();
    QRect visibleRect;
    GetVisibleScrollRange(&visibleRect);
    const int end = horizontal ? visibleRect.width() : visibleRect.height();
    if (count > 0 && sizes.at(count - 1) < m_nResizeCaptureRange &&
        std::abs(at - end) < m_nResizeCaptureRange)
        return count - 1;
    if (at - (horizontal ? ColumnLeft(index) : RowTop(index)) >= m_nResizeCaptureRange)
        return index;
    const bool unhide = horizontal ? m_bUnhideColumns : m_bUnhideRows;
    --index;
    while (!unhide && index >= 0 && sizes.at(index) == 0)
        --index;
    return index;
}

void CGridCtrl::StartSizing(const QPoint& point, Qt::Orientation orientation) {
    const QRect client = GetClientRect();
    if (orientation == Qt::Horizontal) {
        const int col = IndexToSize(Qt::Horizontal, point, m_LeftClickDownCell.col);
        if (col < 0) {
            m_MouseMode = MOUSE_NOTHING;
            return;
        }
        m_MouseMode = MOUSE_SIZING_COL;
        m_LeftClickDownCell.col = col;
        m_SizingBand = QRect(point.x(), 0, 2, client.height());
    } else {
        const int row = IndexToSize(Qt::Vertical, point, m_LeftClickDownCell.row);
        if (row < 0) {
            m_MouseMode = MOUSE_NOTHING;
            return;
        }
        m_MouseMode = MOUSE_SIZING_ROW;
        m_LeftClickDownCell.row = row;
        m_SizingBand = QRect(0, point.y(), client.width(), 2);
    }
    update();
}

void CGridCtrl::FinishSizing(const QPoint& point, Qt::Orientation orientation) {
    m_SizingBand = QRect();
    update();
    if (point == m_LeftClickDownPoint || point == QPoint(0, 0))
        return;
    // The pointer cannot be confined to the window while it drags, so the size is capped
    // instead: a column (row) never grows beyond the part of the view that scrolls.
    const QRect client = GetClientRect();
    if (orientation == Qt::Horizontal) {
        const int col = m_LeftClickDownCell.col;
        const int widest = std::max(client.width() - GetHeaderWidth(), 1);
        SetColumnWidth(col, std::clamp(point.x() - ColumnLeft(col), m_bAllowColHide ? 0 : 1, widest));
    } else {
        const int row = m_LeftClickDownCell.row;
        const int tallest = std::max(client.height() - GetHeaderHeight(), 1);
        SetRowHeight(row, std::clamp(point.y() - RowTop(row), m_bAllowRowHide ? 0 : 1, tallest));
    }
    Refresh();
}

void CGridCtrl::OnLButtonDown(const QPoint& point, Qt::KeyboardModifiers modifiers) {
    setFocus(Qt::MouseFocusReason);
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = HitTestCell(point, true);
    if (!IsValid(m_LeftClickDownCell))
        return;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (!shift)
        m_SelectionStartCell = m_LeftClickDownCell;
    else if (!IsValid(m_SelectionStartCell))
        m_SelectionStartCell = m_idCurrentCell;

    FinishEditing();
    const CCellID cell = m_LeftClickDownCell;
    if (CGridCellBase* gridCell = GetCell(cell.row, cell.col))
        gridCell->OnClickDown(PointInCell(cell, point));

    if (cell == m_idCurrentCell && !ctrl && PointInCellText(cell, point) &&
        IsCellEditable(cell.row, cell.col)) {
        m_MouseMode = MOUSE_PREPARE_EDIT;
        return;
    }
    if (IsCellSelected(cell.row, cell.col)) {
        MoveFocusTo(cell.row, cell.col);
        if (ctrl) {
            if (m_bListMode)
                SelectRows(cell, true, false);
            else
                SelectCells(cell, true, false);
            return;
        }
    } else if (m_MouseMode != MOUSE_OVER_COL_DIVIDE && m_MouseMode != MOUSE_OVER_ROW_DIVIDE) {
        if (IsCellFixed(cell.row, cell.col))
            MoveFocusTo(-1, -1);
        else
            MoveFocusTo(cell.row, cell.col);
    }

    if (m_MouseMode == MOUSE_NOTHING) {
        if (m_bAllowColumnResize && MouseOverResizeArea(Qt::Horizontal, point))
            m_MouseMode = MOUSE_OVER_COL_DIVIDE;
        else if (m_bAllowRowResize && MouseOverResizeArea(Qt::Vertical, point))
            m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
        UpdateCursor();
    }
    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
        StartSizing(point, Qt::Horizontal);
    } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
        StartSizing(point, Qt::Vertical);
    } else {
        StartSelecting(cell, ctrl);
    }
    m_LastMousePoint = point;
}

// A press that selects: headers select columns or rows, other cells start a drag selection
// that scrolls on its own past the edges. With Ctrl the earlier selection is kept.
void CGridCtrl::StartSelecting(const CCellID& cell, bool keepSelection) {
    SendMessageToParent(cell.row, cell.col, LVN_ITEMCHANGING);
    m_PrevSelectedCellMap.clear();
    if (keepSelection)
        m_PrevSelectedCellMap = m_SelectedCellMap;
    if (cell.row < m_nFixedRows) {
        OnHeaderRowClick(cell);
    } else if (cell.col < m_nFixedCols) {
        OnHeaderColumnClick(cell);
    } else {
        m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        ExtendSelection(cell);
        m_AutoScrollTimer.start();
    }
}

void CGridCtrl::OnMouseMove(const QPoint& point, Qt::MouseButtons buttons) {
    if (buttons.testFlag(Qt::LeftButton) && m_MouseMode != MOUSE_NOTHING) {
        if (IsValid(m_LeftClickDownCell)) {
            const QRect client = GetClientRect();
            switch (m_MouseMode) {
            case MOUSE_SELECT_COL:
            case MOUSE_SELECT_ROW:
            case MOUSE_SELECT_CELLS: {
                const CCellID cell = HitTestCell(point, true);
                if (!IsValid(cell) || cell == m_idCurrentCell)
                    break;
                ExtendSelection(cell);
                if (m_MouseMode != MOUSE_SELECT_CELLS || !IsCellFixed(cell.row, cell.col))
                    MoveFocusTo(cell.row, cell.col);
                break;
            }
            case MOUSE_SIZING_ROW:
                update(m_SizingBand);
                m_SizingBand = QRect(0, std::clamp(point.y(), 0, client.height() - 2), client.width(), 2);
                update(m_SizingBand);
                break;
            case MOUSE_SIZING_COL:
                update(m_SizingBand);
                m_SizingBand = QRect(std::clamp(point.x(), 0, client.width() - 2), 0, 2, client.height());
                update(m_SizingBand);
                break;
            default:
                break;
            }
        }
        m_LastMousePoint = point;
        return;
    }
    m_LastMousePoint = point;
    TrackHover(point);
}

// Without a button down the pointer's place decides the mode: over a divider or over a cell.
// The cursor follows at every move, as each cell may want its own.
void CGridCtrl::TrackHover(const QPoint& point) {
    if (m_bAllowColumnResize && MouseOverResizeArea(Qt::Horizontal, point))
        m_MouseMode = MOUSE_OVER_COL_DIVIDE;
    else if (m_bAllowRowResize && MouseOverResizeArea(Qt::Vertical, point))
        m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
    else
        m_MouseMode = MOUSE_NOTHING;
    UpdateCursor();
    if (m_MouseMode == MOUSE_NOTHING && (!m_bVirtualMode || m_bHoverInVirtualMode)) {
        const CCellID cell = HitTestCell(point, true);
        if (CGridCellBase* gridCell = GetCell(cell.row, cell.col))
            gridCell->OnMouseOver();
    }
}

void CGridCtrl::OnLButtonUp(const QPoint& point) {
    m_AutoScrollTimer.stop();
    switch (m_MouseMode) {
    case MOUSE_PREPARE_EDIT:
        m_MouseMode = MOUSE_NOTHING;
        BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, PointInCell(m_idCurrentCell, point),
                      VK_LBUTTON);
        break;
    case MOUSE_SIZING_COL:
        FinishSizing(point, Qt::Horizontal);
        break;
    case MOUSE_SIZING_ROW:
        FinishSizing(point, Qt::Vertical);
        break;
    default:
        SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, LVN_ITEMCHANGED);
        if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
            cell->OnClick(PointInCell(m_idCurrentCell, point));
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, NM_CLICK);
        break;
    }
    // No move need follow a release, so the pointer's place decides the mode now: a double
    // click on a divider must find it over the divider.
    m_MouseMode = MOUSE_NOTHING;
    m_LastMousePoint = point;
    TrackHover(point);
    if (IsValid(m_LeftClickDownCell))
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT command(m_nID); }, Qt::QueuedConnection);
}

void CGridCtrl::OnLButtonDblClk(const QPoint& point) {
    const CCellID cell = HitTestCell(point, true);
    if (!IsValid(cell))
        return;
    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
        const int col = IndexToSize(Qt::Horizontal, point, cell.col);
        if (col >= 0 && AutoSizeColumn(col))
            Refresh();
    } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
        const int row = IndexToSize(Qt::Vertical, point, cell.row);
        if (row >= 0 && AutoSizeRow(row))
            Refresh();
    } else if (m_MouseMode == MOUSE_NOTHING) {
        const QPoint pointInCell = PointInCell(cell, point);
        if (!IsCellFixed(cell.row, cell.col) && IsValid(m_LeftClickDownCell) && PointInCellText(cell, point))
            BeginCellEdit(cell.row, cell.col, pointInCell, VK_LBUTTON);
        if (CGridCellBase* gridCell = GetCell(cell.row, cell.col))
            gridCell->OnDblClick(pointInCell);
        SendMessageToParent(cell.row, cell.col, NM_DBLCLK);
    }
}

void CGridCtrl::OnRButtonUp(const QPoint& point) {
    FinishEditing();
    const CCellID cell = HitTestCell(point, false);
    if (!IsValid(cell)) {
        SendMessageToParent(-1, -1, NM_RCLICK);
        return;
    }
    MoveFocusTo(-1, -1);
    MoveFocusTo(cell.row, cell.col);
    if (CGridCellBase* gridCell = GetCell(cell.row, cell.col))
        gridCell->OnRClick(PointInCell(cell, point));
    SendMessageToParent(cell.row, cell.col, NM_RCLICK);
}

// While a drag selection runs past an edge, the grid scrolls a line per tick and extends
// the selection to the cell now at that edge.
void CGridCtrl::OnAutoScrollTimer() {
    const QRect client = GetClientRect();
    QPoint point = m_LastMousePoint;
    const int fixedHeight = GetHeaderHeight();
    const int fixedWidth = GetHeaderWidth();
    const auto extendAt = [this, &client](QPoint at) {
        at.setX(std::clamp(at.x(), 0, client.width() - 1));
        at.setY(std::clamp(at.y(), 0, client.height() - 1));
        ExtendSelection(HitTestCell(at, true));
    };
    if (point.y() >= client.height()) {
        OnKeyDown(VK_DOWN, Qt::NoModifier);
        point.setY(client.height() - 1);
        extendAt(point);
    } else if (point.y() < fixedHeight) {
        OnKeyDown(VK_UP, Qt::NoModifier);
        point.setY(fixedHeight + 1);
        extendAt(point);
    }
    if (point.x() >= client.width()) {
        OnKeyDown(VK_RIGHT, Qt::NoModifier);
        point.setX(client.width() - 1);
        extendAt(point);
    } else if (point.x() < fixedWidth) {
        OnKeyDown(VK_LEFT, Qt::NoModifier);
        point.setX(fixedWidth + 1);
        extendAt(point);
    }
}

void CGridCtrl::UpdateCursor() {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (m_MouseMode) {
    case MOUSE_OVER_ROW_DIVIDE:
    case MOUSE_SIZING_ROW:
        shape = Qt::SplitVCursor;
        break;
    case MOUSE_OVER_COL_DIVIDE:
    case MOUSE_SIZING_COL:
        shape = Qt::SplitHCursor;
        break;
    default: {
        const CCellID cell = HitTestCell(m_LastMousePoint, true);
        if (CGridCellBase* gridCell = m_bVirtualMode ? nullptr : GetCell(cell.row, cell.col))
            shape = gridCell->OnSetCursor();
    }
    }
    if (cursor().shape() != shape)
        setCursor(shape);
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint(), event->modifiers());
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(event->position().toPoint(), event->buttons());
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(event->position().toPoint());
    else if (event->button() == Qt::RightButton)
        OnRButtonUp(event->position().toPoint());
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(event->position().toPoint());
}

// ---- Keyboard -----------------------------------------------------------------------------

int CGridCtrl::NextVisible(Qt::Orientation orientation, int from, int step, int limit) const {
    const CumulativeSizes& sizes = orientation == Qt::Horizontal ? m_arColWidths : m_arRowHeights;
    for (int index = from; step > 0 ? index <= limit : index >= limit; index += step)
        if (sizes.at(index) > 0)
            return index;
    return -1;
}

// Tab moves right and Shift+Tab left; at the end of a row they wrap to the next (previous)
// visible row. Nullopt at the last (first) cell, which leaves the key to the default handling.
std::optional<CCellID> CGridCtrl::NextCellForTab(bool backwards, int* wrapped) const {
    CCellID next = m_idCurrentCell;
    const int step = backwards ? -1 : 1;
    const int lastRow = m_nRows - 1;
    const int lastCol = m_nCols - 1;
    const int col = NextVisible(Qt::Horizontal, next.col + step, step, backwards ? m_nFixedCols : lastCol);
    if (col >= 0) {
        next.col = col;
        return next;
    }
    const int row = NextVisible(Qt::Vertical, next.row + step, step, backwards ? m_nFixedRows : lastRow);
    if (row < 0)
        return std::nullopt;
    next.row = row;
    const int wrappedCol = backwards ? NextVisible(Qt::Horizontal, lastCol, -1, m_nFixedCols)
                                     : NextVisible(Qt::Horizontal, m_nFixedCols, 1, lastCol);
    if (wrappedCol >= 0)
        next.col = wrappedCol;
    *wrapped = step;
    return next;
}

std::optional<CCellID> CGridCtrl::NextCellForKey(int key, Qt::KeyboardModifiers modifiers, int* wrapped) {
    CCellID next = m_idCurrentCell;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const int lastRow = m_nRows - 1;
    const int lastCol = m_nCols - 1;
    const auto moveTo = [](int& coordinate, int found) {
        if (found >= 0)
            coordinate = found;
    };
    switch (key) {
    case VK_DOWN:
        moveTo(next.row, NextVisible(Qt::Vertical, next.row + 1, 1, lastRow));
        break;
    case VK_UP:
        moveTo(next.row, NextVisible(Qt::Vertical, next.row - 1, -1, m_nFixedRows));
        break;
    case VK_RIGHT:
        moveTo(next.col, NextVisible(Qt::Horizontal, next.col + 1, 1, lastCol));
        break;
    case VK_LEFT:
        moveTo(next.col, NextVisible(Qt::Horizontal, next.col - 1, -1, m_nFixedCols));
        break;
    case VK_TAB:
        return NextCellForTab(shift, wrapped);
    case VK_PRIOR:
    case VK_NEXT: {
        const int oldTop = GetFirstScrollCell().row;
        OnVScroll(key == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN);
        const int change = GetFirstScrollCell().row - oldTop;
        if (key == VK_PRIOR)
            next.row = change == 0 ? m_nFixedRows : std::max(next.row + change, m_nFixedRows);
        else
            next.row = change == 0 ? lastRow : std::min(next.row + change, lastRow);
        break;
    }
    case VK_HOME:
        OnHScroll(SB_LEFT);
        if (ctrl) {
            OnVScroll(SB_TOP);
            next.row = m_nFixedRows;
        }
        moveTo(next.col, NextVisible(Qt::Horizontal, m_nFixedCols, 1, lastCol));
        moveTo(next.row, NextVisible(Qt::Vertical, next.row, 1, lastRow));
        break;
    case VK_END:
        OnHScroll(SB_RIGHT);
        if (ctrl) {
            OnVScroll(SB_BOTTOM);
            next.row = lastRow;
        }
        next.col = lastCol;
        while (next.col > m_nFixedCols + 1 && GetColumnWidth(next.col) == 0)
            --next.col;
        while (next.row > m_nFixedRows + 1 && GetRowHeight(next.row) == 0)
            --next.row;
        break;
    case VK_DELETE:
        ClearSelectedText();
        break;
    case VK_F2:
        BeginCellEdit(next.row, next.col, QPoint(-1, -1), VK_LBUTTON);
        break;
    default:
        return std::nullopt;
    }
    return next;
}

bool CGridCtrl::OnKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (!IsValid(m_idCurrentCell))
        return false;
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    if (modifiers.testFlag(Qt::ControlModifier)) {
        switch (key) {
        case VK_INSERT:
        case Qt::Key_C:
            CopyToClipboard();
            return true;
        case Qt::Key_A:
            SelectAllNotified();
            return true;
        case Qt::Key_V:
            PasteFromClipboard();
            return true;
        case Qt::Key_X:
            CutToClipboard();
            return true;
        default:
            break;
        }
    }
    if (shift && key == VK_INSERT) {
        PasteFromClipboard();
        return true;
    }
    int wrapped = 0;
    const std::optional<CCellID> found = NextCellForKey(key, modifiers, &wrapped);
    if (!found)
        return false;
    const CCellID next = *found;
    if (next == m_idCurrentCell)
        return true;
    if (m_MouseMode == MOUSE_NOTHING) {
        m_PrevSelectedCellMap.clear();
        m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        if (!shift || key == VK_TAB)
            m_SelectionStartCell = next;
        SendMessageToParent(next.row, next.col, LVN_ITEMCHANGING);
        ExtendSelection(next);
        SendMessageToParent(next.row, next.col, LVN_ITEMCHANGED);
        m_MouseMode = MOUSE_NOTHING;
    }
    MoveFocusTo(next.row, next.col);
    if (!IsCellVisible(next.row, next.col))
        ScrollToReveal(key, modifiers, wrapped);
    EnsureVisible(next.row, next.col);
    return true;
}

void CGridCtrl::ScrollToReveal(int key, Qt::KeyboardModifiers modifiers, int wrapped) {
    if (wrapped > 0) {
        OnVScroll(SB_LINEDOWN);
        OnHScroll(SB_LEFT);
    } else if (wrapped < 0) {
        OnVScroll(SB_LINEUP);
        OnHScroll(SB_RIGHT);
    } else if (key == VK_RIGHT || (key == VK_TAB && !modifiers.testFlag(Qt::ShiftModifier))) {
        OnHScroll(SB_LINERIGHT);
    } else if (key == VK_LEFT || key == VK_TAB) {
        OnHScroll(SB_LINELEFT);
    } else if (key == VK_DOWN) {
        OnVScroll(SB_LINEDOWN);
    } else if (key == VK_UP) {
        OnVScroll(SB_LINEUP);
    }
    Refresh();
}

bool CGridCtrl::OnChar(int character, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::ControlModifier) || m_MouseMode != MOUSE_NOTHING || character == VK_ESCAPE ||
        (character == VK_TAB && m_bHandleTabKey) || !IsValid(m_idCurrentCell))
        return false;
    BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), character);
    return true;
}

bool CGridCtrl::event(QEvent* event) {
    // The system colours are the application palette's, which widgets hear of here.
    if (event->type() == QEvent::ApplicationPaletteChange)
        OnSysColorChange();
    if (event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        const bool tab = keyEvent->key() == Qt::Key_Tab || keyEvent->key() == Qt::Key_Backtab;
        if (tab && m_bHandleTabKey && !keyEvent->modifiers().testFlag(Qt::ControlModifier)) {
            const Qt::KeyboardModifiers modifiers = keyEvent->key() == Qt::Key_Backtab
                                                        ? keyEvent->modifiers() | Qt::ShiftModifier
                                                        : keyEvent->modifiers();
            if (OnKeyDown(VK_TAB, modifiers))
                return true;
        }
    }
    return QWidget::event(event);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    const int key = VirtualKeyFromQt(event->key());
    if (key != 0 && OnKeyDown(key, event->modifiers()))
        return;
    const QString text = event->text();
    if (text.size() == 1) {
        const int character = text.at(0).unicode();
        const bool typed = character >= VK_SPACE && character != 0x7F;
        const bool control = character == VK_BACK || character == VK_RETURN || character == VK_TAB;
        if ((typed || control) && OnChar(character, event->modifiers()))
            return;
    }
    QWidget::keyPressEvent(event);
}

// ---- Editing ------------------------------------------------------------------------------

void CGridCtrl::BeginCellEdit(int row, int col, QPoint point, int firstChar) {
    if (!IsCellEditable(row, col))
        return;
    EnsureVisible(row, col);
    QRect rect;
    if (!IsCellVisible(row, col) || !GetCellRect(row, col, &rect) || rect.isEmpty())
        return;
    if (SendMessageToParent(row, col, LVN_BEGINLABELEDIT) < 0)
        return;
    // The owner may have changed the grid while it was asked.
    if (CGridCellBase* cell = IsCellEditable(row, col) ? GetCell(row, col) : nullptr)
        cell->Edit(row, col, rect, point, IDC_GRID_INPLACE_EDIT, firstChar);
}

// Stores text, then lets validation and the owner reject it; a rejected text is replaced by
// the old one (which marks the cell modified all the same).
bool CGridCtrl::StoreEditedText(int row, int col, const QString& text) {
    const QString oldText = GetCellText(row, col);
    if (text == oldText)
        return true;
    SetCellText(row, col, text);
    if (ValidateEdit(row, col, text) && SendMessageToParent(row, col, LVN_ENDLABELEDIT) >= 0) {
        MarkModified(true, row, col);
        RepaintCell(row, col);
        return true;
    }
    SetCellText(row, col, oldText);
    return false;
}

void CGridCtrl::CommitCellEdit(int row, int col, const QString& text) {
    if (!GetCell(row, col))
        return;
    StoreEditedText(row, col, text);
    // Asked again: the owner may have removed the row while it was told of the edit.
    if (CGridCellBase* cell = GetCell(row, col))
        cell->OnEditEnded();
}

bool CGridCtrl::ValidateEdit(int row, int col, const QString& text) {
    CGridCellBase* cell = GetCell(row, col);
    return !cell || cell->ValidateEdit(text);
}

void CGridCtrl::FinishEditing() {
    for (CGridCellEdit* editor : findChildren<CGridCellEdit*>(Qt::FindDirectChildrenOnly))
        editor->EndEdit();
}

void CGridCtrl::OnEndInPlaceEdit(const GRIDDISPINFO& info) {
    CommitCellEdit(info.item.row, info.item.col, info.item.strText);
    const int key = int(info.item.lParam);
    static constexpr int movingKeys[] = {VK_TAB,  VK_PRIOR, VK_NEXT,  VK_END, VK_HOME,
                                         VK_LEFT, VK_UP,    VK_RIGHT, VK_DOWN};
    if (std::find(std::begin(movingKeys), std::end(movingKeys), key) == std::end(movingKeys))
        return;
    const auto* editor = qobject_cast<const CGridCellEdit*>(info.hdr.hwndFrom);
    const Qt::KeyboardModifiers modifiers = editor ? editor->GetLastModifiers() : Qt::NoModifier;
    if (OnKeyDown(key, modifiers))
        BeginCellEdit(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), key);
    else if (key == VK_TAB)
        focusNextPrevChild(!modifiers.testFlag(Qt::ShiftModifier));
}

// ---- Clipboard and clearing ---------------------------------------------------------------

bool CGridCtrl::SetCellTextNotified(int row, int col, const QString& text) {
    if (!IsCellEditable(row, col) || SendMessageToParent(row, col, LVN_BEGINLABELEDIT) < 0)
        return false;
    return StoreEditedText(row, col, text);
}

void CGridCtrl::ClearSelectedText() {
    if (!m_bEditable)
        return;
    std::vector<quint64> keys(m_SelectedCellMap.begin(), m_SelectedCellMap.end());
    std::sort(keys.begin(), keys.end());
    for (quint64 key : keys) {
        const CCellID cell = CellOfKey(key);
        SetCellTextNotified(cell.row, cell.col, QString());
    }
}

std::optional<QString> CGridCtrl::CopySelection() const {
    const CCellRange range = GetSelectionBounds();
    if (!IsValid(range))
        return std::nullopt;
    SendCacheHint(range);
    QString text;
    for (int row = range.minRow; row <= range.maxRow; ++row) {
        if (GetRowHeight(row) == 0)
            continue;
        for (int col = range.minCol; col <= range.maxCol; ++col) {
            if (GetColumnWidth(col) == 0)
                continue;
            const CGridCellBase* cell = GetCell(row, col);
            if (cell && cell->IsSelected())
                text += cell->GetText();
            if (col != range.maxCol)
                text += QLatin1Char('\t');
        }
        if (row != range.maxRow)
            text += QStringLiteral("\r\n");
    }
    SendCacheHint({});
    return text;
}

void CGridCtrl::CopyToClipboard() const {
    if (const std::optional<QString> text = CopySelection())
        QGuiApplication::clipboard()->setText(*text);
}

void CGridCtrl::CutToClipboard() {
    if (!m_bEditable)
        return;
    CopyToClipboard();
    ClearSelectedText();
}

bool CGridCtrl::PasteFromClipboard() {
    if (!m_bEditable)
        return false;
    const CCellRange selection = GetSelectionBounds();
    CCellID target = IsValid(selection) ? selection.GetTopLeft() : m_idCurrentCell;
    if (!IsValid(target))
        target = GetFirstScrollCell();
    if (!IsValid(target))
        return false;
    if (CGridCellBase* cell = GetCell(target.row, target.col); cell && cell->IsEditing()) {
        if (auto* editor = qobject_cast<QLineEdit*>(cell->GetEditWindow())) {
            editor->paste();
            return true;
        }
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return false;
    return PasteText(target, data->text(), true);
}

namespace {

// The next field of a pasted line: up to the first tab or comma.
QString takeField(QString& rest) {
    const auto separator = std::find_if(
        rest.cbegin(), rest.cend(), [](QChar c) { return c == QLatin1Char('\t') || c == QLatin1Char(','); });
    const qsizetype cut = separator - rest.cbegin();
    const QString field = rest.left(cut).trimmed();
    rest = separator == rest.cend() ? QString() : rest.mid(cut + 1);
    return field;
}

} // namespace

bool CGridCtrl::PasteText(CCellID cell, const QString& text, bool select) {
    if (!IsValid(cell) || !IsCellEditable(cell.row, cell.col))
        return false;
    int row = cell.row;
    CCellID last;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        while (row < m_nRows && GetRowHeight(row) == 0)
            ++row;
        if (row >= m_nRows)
            break;
        QString rest = line;
        int col = cell.col;
        while (!rest.isEmpty()) {
            const QString field = takeField(rest);
            while (col < m_nCols && GetColumnWidth(col) == 0)
                ++col;
            if (col < m_nCols) {
                SetCellTextNotified(row, col, field);
                SetCellState(row, col, GetCellState(row, col) & ~GCS_SELECTED);
                last = CCellID(std::max(last.row, row), std::max(last.col, col));
            }
            ++col;
        }
        ++row;
    }
    if (select && IsValid(last))
        SelectRange(cell.row, cell.col, last.row, last.col, true, true);
    else
        SelectRange(-1, -1, -1, -1, false, true);
    Refresh();
    return true;
}

bool CGridCtrl::OnCommand(int id) {
    if (!IsCommandEnabled(id))
        return false;
    switch (id) {
    case ID_EDIT_CUT:
        CutToClipboard();
        return true;
    case ID_EDIT_COPY:
        CopyToClipboard();
        return true;
    case ID_EDIT_PASTE:
        PasteFromClipboard();
        return true;
    case ID_EDIT_SELECT_ALL:
        SelectAllNotified();
        return true;
    default:
        return false;
    }
}

bool CGridCtrl::IsCommandEnabled(int id) const {
    switch (id) {
    case ID_EDIT_COPY:
        return GetSelectedCount() > 0;
    case ID_EDIT_CUT:
        return m_bEditable && GetSelectedCount() > 0;
    case ID_EDIT_PASTE: {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return IsCellEditable(m_idCurrentCell.row, m_idCurrentCell.col) && data && data->hasText();
    }
    case ID_EDIT_SELECT_ALL:
        return m_bEnableSelection;
    default:
        return false;
    }
}

} // namespace grid
