#include "controls/grid/GridCtrl.h"

#include "controls/grid/GridCellEdit.h"
#include "resource.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

namespace grid {

using namespace platform;

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
                text += cell->GetClipboardText();
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
