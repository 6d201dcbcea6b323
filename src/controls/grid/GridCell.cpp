#include "controls/grid/GridCell.h"

#include "controls/grid/GridCellEdit.h"
#include "controls/grid/GridDefaultCell.h"
#include "platform/DrawText.h"

namespace grid {

CGridCell::~CGridCell() = default;

void CGridCell::SetFont(const LOGFONT* font) {
    if (font)
        m_pFont = std::make_unique<OwnFont>(OwnFont{*font, font->toQFont()});
    else
        m_pFont.reset();
}

// A default cell is its own fallback; it never asks itself again.
unsigned CGridCell::GetFormat() const {
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    if (m_nFormat != ~0u || !defaultCell || defaultCell == this)
        return m_nFormat == ~0u ? GRID_DEFAULT_FORMAT : m_nFormat;
    return defaultCell->GetFormat();
}

unsigned CGridCell::GetMargin() const {
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    if (m_nMargin != ~0u || !defaultCell || defaultCell == this)
        return m_nMargin == ~0u ? 0 : m_nMargin;
    return defaultCell->GetMargin();
}

const LOGFONT* CGridCell::GetFont() const {
    if (m_pFont)
        return &m_pFont->record;
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    return defaultCell && defaultCell != this ? defaultCell->GetFont() : nullptr;
}

QFont CGridCell::GetFontObject() const {
    if (m_pFont)
        return m_pFont->font;
    const CGridDefaultCell* defaultCell = GetDefaultCell();
    return defaultCell && defaultCell != this ? defaultCell->GetFontObject() : QFont();
}

void CGridCell::Reset() {
    CGridCellBase::Reset();
    m_strText.clear();
    m_nImage = -1;
    m_nFormat = ~0u;
    m_nMargin = ~0u;
    m_lParam = 0;
    m_pGrid = nullptr;
    m_bEditing = false;
    m_pEditWnd = nullptr;
    m_crFgClr = platform::CLR_DEFAULT;
    m_crBkClr = platform::CLR_DEFAULT;
    m_pFont.reset();
}

bool CGridCell::Edit(int row, int col, const QRect& rect, const QPoint&, int id, int firstChar) {
    if (m_bEditing) {
        if (auto* editor = qobject_cast<CGridCellEdit*>(m_pEditWnd))
            editor->TypeCharacter(firstChar);
        return true;
    }
    if (!m_pGrid)
        return false;
    m_bEditing = true;
    m_pEditWnd = new CGridCellEdit(m_pGrid, rect, EditorStyle(), id, row, col, GetText(), firstChar);
    return true;
}

unsigned CGridCell::EditorStyle() const {
    const unsigned format = GetFormat();
    if (format & platform::DT_RIGHT)
        return ES_RIGHT;
    if (format & platform::DT_CENTER)
        return ES_CENTER;
    return ES_LEFT;
}

void CGridCell::EndEdit() {
    if (auto* editor = qobject_cast<CGridCellEdit*>(m_pEditWnd))
        editor->EndEdit();
}

void CGridCell::OnEditEnded() {
    m_bEditing = false;
    m_pEditWnd = nullptr;
}

} // namespace grid
