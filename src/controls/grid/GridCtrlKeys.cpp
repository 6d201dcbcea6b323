#include "controls/grid/GridCtrl.h"

#include "controls/grid/VirtualKeys.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>

namespace grid {

using namespace platform;

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

bool CGridCtrl::PointerIsResting() const {
    return m_MouseMode == MOUSE_NOTHING || m_MouseMode == MOUSE_OVER_COL_DIVIDE ||
           m_MouseMode == MOUSE_OVER_ROW_DIVIDE;
}

// A key selects the cell it moves to (extending from the selection start with Shift), unless
// a mouse button is busy selecting or sizing. A pointer merely resting on a divider keeps its
// mode, and with it the cursor.
void CGridCtrl::SelectWithKey(const CCellID& next, bool extend) {
    if (!PointerIsResting())
        return;
    const int restingMode = m_MouseMode;
    m_PrevSelectedCellMap.clear();
    m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
    if (!extend)
        m_SelectionStartCell = next;
    SendMessageToParent(next.row, next.col, LVN_ITEMCHANGING);
    ExtendSelection(next);
    SendMessageToParent(next.row, next.col, LVN_ITEMCHANGED);
    m_MouseMode = restingMode;
}

// Without a focus cell the keyboard starts at the first shown cell below and right of the
// headers, so the grid can be used without a mouse.
bool CGridCtrl::EnterFirstCell() {
    const CCellID first(NextVisible(Qt::Vertical, m_nFixedRows, 1, m_nRows - 1),
                        NextVisible(Qt::Horizontal, m_nFixedCols, 1, m_nCols - 1));
    if (!IsValid(first))
        return false;
    SelectWithKey(first, false);
    MoveFocusTo(first.row, first.col);
    EnsureVisible(first.row, first.col);
    return true;
}

bool CGridCtrl::OnKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (!IsValid(m_idCurrentCell)) {
        static constexpr int movingKeys[] = {VK_PRIOR, VK_NEXT, VK_END,   VK_HOME,
                                             VK_LEFT,  VK_UP,   VK_RIGHT, VK_DOWN};
        return std::find(std::begin(movingKeys), std::end(movingKeys), key) != std::end(movingKeys) &&
               EnterFirstCell();
    }
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
    SelectWithKey(next, shift && key != VK_TAB);
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
    if (modifiers.testFlag(Qt::ControlModifier) || !PointerIsResting() || character == VK_ESCAPE ||
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
        const bool plainTab = !keyEvent->modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier);
        if (tab && m_bHandleTabKey && plainTab) {
            const Qt::KeyboardModifiers modifiers = keyEvent->key() == Qt::Key_Backtab
                                                        ? keyEvent->modifiers() | Qt::ShiftModifier
                                                        : keyEvent->modifiers();
            if (OnKeyDown(VK_TAB, modifiers))
                return true;
        }
        // The grid takes Tab only while Ctrl is up: Ctrl+Tab and Ctrl+Shift+Tab leave it.
        if (tab && keyEvent->modifiers().testFlag(Qt::ControlModifier)) {
            const bool forward =
                keyEvent->key() == Qt::Key_Tab && !keyEvent->modifiers().testFlag(Qt::ShiftModifier);
            focusNextPrevChild(forward);
            return true;
        }
    }
    return QWidget::event(event);
}

void CGridCtrl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    const bool byTab = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (byTab && !IsValid(m_idCurrentCell))
        EnterFirstCell();
    AnnounceFocusCell();
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    // Alt combinations belong to the window (its menus): they neither type nor move here.
    if (event->modifiers().testFlag(Qt::AltModifier)) {
        event->ignore();
        return;
    }
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

} // namespace grid
