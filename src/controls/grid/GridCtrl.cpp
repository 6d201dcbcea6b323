#include "controls/grid/GridCtrl.h"

#include "controls/grid/CellFactory.h"
#include "controls/grid/GridAccessible.h"
#include "controls/grid/GridCellEdit.h"
#include "platform/AccessibleFactory.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>

namespace grid {

using namespace platform;

namespace {

// A drag selection past an edge scrolls a line this often.
constexpr int kAutoScrollMilliseconds = 25;

} // namespace

// ---- Construction and storage -------------------------------------------------------------

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols, QWidget* parent)
    : QWidget(parent) {
    platform::installAccessibleFactory<CGridCtrl, CGridAccessible>();
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
    AnnounceLayout();
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
    AnnounceLayout();
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
    AnnounceLayout();
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
    AnnounceLayout();
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
        AnnounceCellText(row, col);
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

void CGridCtrl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Palette changes are left to event(): only the application palette holds the system
    // colours.
    if (event->type() == QEvent::FontChange)
        ApplyFontToDefaultCells(font());
}

} // namespace grid
