#include "controls/grid/GridCellEdit.h"

#include "controls/grid/GridCtrl.h"
#include "controls/grid/GridDefaultCell.h"
#include "controls/grid/VirtualKeys.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace grid {

namespace {

// Keys that may end an edit and move on, where the caret would otherwise move.
int exitKeyOf(int qtKey) {
    const int key = VirtualKeyFromQt(qtKey);
    const bool exits = key == VK_PRIOR || key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN);
    return exits ? key : 0;
}

} // namespace

CGridCellEdit::CGridCellEdit(CGridCtrl* grid, const QRect& rect, unsigned style, int id, int row, int col,
                             const QString& initialText, int firstChar)
    : QLineEdit(grid), m_pGrid(grid), m_nID(id), m_nRow(row), m_nColumn(col), m_sInitText(initialText),
      m_bExitOnArrows(firstChar != VK_LBUTTON) {
    setObjectName(QStringLiteral("GridCellEdit"));
    // Named as the column is, so a screen reader says what is being typed.
    const QString title = grid->GetHeaderText(Qt::Horizontal, col);
    setAccessibleName(title.isEmpty() ? tr("Cell editor") : title);
    if (style & ES_NUMBER)
        setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    else if (style & ES_RIGHT)
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else if (style & ES_CENTER)
        setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    if (style & ES_PASSWORD)
        setEchoMode(QLineEdit::Password);
    setFont(grid->GetDefaultCell(false, false)->GetFontObject());
    setGeometry(rect);
    setText(initialText);
    show();
    setFocus(Qt::OtherFocusReason);
    ApplyFirstCharacter(firstChar);
}

void CGridCellEdit::ApplyFirstCharacter(int firstChar) {
    switch (firstChar) {
    case VK_LBUTTON:
    case VK_RETURN:
        end(false);
        return;
    case VK_BACK:
        end(false);
        backspace();
        return;
    default:
        selectAll();
        if (firstChar != VK_TAB && (firstChar < VK_SPACE || firstChar > VK_DOWN))
            TypeCharacter(firstChar);
    }
}

void CGridCellEdit::TypeCharacter(int character) {
    if (character == VK_BACK)
        backspace();
    else if (character > 0)
        insert(QString(QChar(char16_t(character))));
    GrowToText();
}

void CGridCellEdit::ExitWith(int key, Qt::KeyboardModifiers modifiers) {
    m_nLastChar = key;
    m_LastModifiers = modifiers;
    m_pGrid->setFocus(Qt::OtherFocusReason);
    EndEdit();
}

bool CGridCellEdit::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->key() == Qt::Key_Tab || keyEvent->key() == Qt::Key_Backtab) {
            ExitWith(VK_TAB, keyEvent->key() == Qt::Key_Backtab ? keyEvent->modifiers() | Qt::ShiftModifier
                                                                : keyEvent->modifiers());
            return true;
        }
    }
    // Alt+letter must not reach menus while a cell is being edited.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->modifiers().testFlag(Qt::AltModifier)) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void CGridCellEdit::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    // Alt combinations neither type nor end the edit; the grid lets them pass too.
    if (modifiers.testFlag(Qt::AltModifier)) {
        event->ignore();
        return;
    }
    if (const int exitKey = exitKeyOf(event->key())) {
        if (m_bExitOnArrows || modifiers.testFlag(Qt::ControlModifier))
            ExitWith(exitKey, modifiers);
        else
            QLineEdit::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ExitWith(VK_RETURN, modifiers);
        return;
    case Qt::Key_Escape:
        setText(m_sInitText);
        ExitWith(VK_ESCAPE, modifiers);
        return;
    default:
        QLineEdit::keyPressEvent(event);
        GrowToText();
    }
}

void CGridCellEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        EndEdit();
}

// Grows the box to the text as shown (masked, in a password box) plus two blanks, never past the
// grid's right edge.
void CGridCellEdit::GrowToText() {
    const int wanted = fontMetrics().horizontalAdvance(displayText() + QStringLiteral("  "));
    if (width() >= wanted)
        return;
    const int right = std::min(x() + wanted, m_pGrid->GetClientRect().right() + 1);
    resize(std::max(width(), right - x()), height());
}

void CGridCellEdit::EndEdit() {
    if (m_bEnded)
        return;
    m_bEnded = true;
    GRIDDISPINFO info;
    info.hdr.hwndFrom = this;
    info.hdr.idFrom = m_nID;
    info.hdr.code = platform::LVN_ENDLABELEDIT;
    info.item.row = m_nRow;
    info.item.col = m_nColumn;
    info.item.mask = GIF_TEXT | GIF_PARAM;
    info.item.strText = text();
    info.item.lParam = m_nLastChar;
    if (hasFocus())
        m_pGrid->setFocus(Qt::OtherFocusReason);
    hide();
    m_pGrid->OnEndInPlaceEdit(info);
    deleteLater();
}

} // namespace grid
