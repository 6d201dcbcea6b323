#include "controls/optiontree/OptionTreeList.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeAccessible.h"
#include "controls/optiontree/OptionTreeControlItem.h"
#include "platform/AccessibleFactory.h"
#include "platform/DrawText.h"
#include "resource.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

using namespace platform;

namespace {
constexpr int DRAG_BAR_WIDTH = 4;
constexpr int DRAG_SNAP_LIMIT = 40;
} // namespace

COptionTreeList::COptionTreeList(COptionTree* owner)
    : QWidget(owner), tree(owner), scrollBar(new QScrollBar(Qt::Vertical, this)) {
    installAccessibleFactory<COptionTreeList, COptionTreeAccessible>();
    setObjectName(QStringLiteral("optionTreeList"));
    setProperty("controlId", IDC_OPTION_TREE_LIST);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAccessibleName(tr("Option list"));
    scrollBar->hide();
    scrollBar->setSingleStep(COptionTree::LINE_STEP);
    connect(scrollBar, &QScrollBar::valueChanged, this, [this](int value) { tree->SetScrollOrigin(value); });
    connect(scrollBar, &QScrollBar::actionTriggered, this, [this] { setFocus(Qt::OtherFocusReason); });
}

QRect COptionTreeList::ClientRect() const {
    QRect client = rect();
    if (!scrollBar->isHidden())
        client.setRight(scrollBar->x() - 1);
    return client;
}

void COptionTreeList::SetScrollRange(int total) {
    const int page = height();
    const bool needed = total > page && page > 0;
    scrollBar->setRange(0, needed ? total - page : 0);
    scrollBar->setPageStep(std::max(page, 1));
    if (needed == scrollBar->isHidden()) {
        scrollBar->setVisible(needed);
        PlaceScrollBar();
        tree->RepositionAllControls();
    }
}

void COptionTreeList::SetScrollPosition(int origin) {
    const QSignalBlocker blocker(scrollBar);
    scrollBar->setValue(origin);
}

int COptionTreeList::MaximumOrigin() const {
    return scrollBar->isHidden() ? 0 : scrollBar->maximum();
}

QRect COptionTreeList::DragBarRect() const {
    return QRect(dragX - DRAG_BAR_WIDTH / 2, 0, DRAG_BAR_WIDTH, height());
}

QSize COptionTreeList::sizeHint() const {
    return tree->sizeHint();
}

void COptionTreeList::PlaceScrollBar() {
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar);
    scrollBar->setGeometry(width() - barWidth, 0, barWidth, height());
}

bool COptionTreeList::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && IsClearKey(*static_cast<QKeyEvent*>(event))) {
        // Delete and Backspace empty a row here; the window's keys of the same name must not
        // act on something the user is not looking at.
        event->accept();
        return true;
    }
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    ShowToolTip(static_cast<QHelpEvent*>(event));
    return true;
}

bool COptionTreeList::IsClearKey(const QKeyEvent& event) {
    return (event.key() == Qt::Key_Delete || event.key() == Qt::Key_Backspace) &&
           event.modifiers() == Qt::NoModifier;
}

void COptionTreeList::ShowToolTip(const QHelpEvent* event) {
    const COptionTreeItem* item = tree->ItemAtPoint(event->pos());
    const QString text = item ? item->ToolTipText() : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    const QRect row(0, item->GetPosition().y() - tree->GetScrollOrigin(), ClientRect().width(),
                    item->GetHeight());
    QToolTip::showText(event->globalPos(), text, this, row);
}

void COptionTreeList::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect client = ClientRect();
    tree->EnsureLayout();
    PaintFrame(painter, client);
    painter.setClipRect(client);
    PaintRows(painter, client, event->rect());
    painter.setClipping(false);
    // The margin line runs the whole height, over the rows and the empty space below them.
    painter.fillRect(QRect(COptionTree::MARGIN, 0, 1, client.height()), sysColor(COLOR_BTNSHADOW));
    DrawEdge(painter, client, BDR_SUNKENOUTER, BF_RECT);
    // The keyboard is here with no row focused: mark the list itself.
    if (hasFocus() && !tree->GetFocusItem())
        DrawFocusRect(painter, client.adjusted(1, 1, -1, -1));
    if (dragging)
        PatBlt(painter, DragBarRect(), halftoneBrush(), PATINVERT);
}

void COptionTreeList::PaintFrame(QPainter& painter, const QRect& client) const {
    const bool enabled = tree->isEnabled();
    const QColor face = sysColor(COLOR_BTNFACE);
    const QColor window = sysColor(COLOR_WINDOW);
    painter.fillRect(client, face);
    painter.fillRect(client.adjusted(2, 2, -2, -2), enabled ? window : face);
    const bool shadeMargin = tree->HasOption(OTS_SHADEMARGIN) || !enabled;
    painter.fillRect(QRect(0, 0, COptionTree::MARGIN, client.height()), shadeMargin ? face : window);
}

void COptionTreeList::PaintRows(QPainter& painter, const QRect& client, const QRect& dirty) const {
    const int origin = tree->GetScrollOrigin();
    for (const COptionTreeItem* row = tree->GetFirstVisible(); row; row = row->GetNextVisible()) {
        const int top = row->GetPosition().y() - origin;
        if (top > dirty.bottom())
            break;
        // One pixel above: header rows draw their upper line there.
        if (top + row->GetHeight() >= dirty.top())
            row->DrawRow(painter, client);
    }
}

void COptionTreeList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    const int hit = tree->HitTestPoint(point);
    if (hit == OTHT_COLUMN) {
        if (!tree->Notify(OTN_COLUMNDRAGSTART, nullptr)) {
            dragging = true;
            dragX = tree->GetDivider();
            update();
        }
        return;
    }
    COptionTreeItem* item = tree->ItemAtPoint(point);
    if (hit == OTHT_EXPAND)
        tree->ToggleExpanded(item);
    else if (item)
        tree->ClickItem(item, hit == OTHT_ATTRIBUTE);
    else
        tree->ClearFocusItem();
}

void COptionTreeList::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!dragging) {
        UpdateCursor(point);
        return;
    }
    if (point.x() != dragX) {
        dragX = point.x();
        update();
    }
}

void COptionTreeList::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging && event->button() == Qt::LeftButton)
        FinishColumnDrag(event->position().toPoint().x());
}

void COptionTreeList::FinishColumnDrag(int x) {
    dragging = false;
    const int rightLimit = ClientRect().width() - COptionTree::DRAG_RIGHT_GAP;
    if (x <= DRAG_SNAP_LIMIT)
        x = COptionTree::DRAG_MIN;
    else if (x > rightLimit)
        x = rightLimit;
    tree->SetDivider(x);
    update();
}

void COptionTreeList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const int hit = tree->HitTestPoint(point);
    if (hit == OTHT_COLUMN) {
        tree->AutoSizeDivider();
        return;
    }
    COptionTreeItem* item = tree->ItemAtPoint(point);
    if (!item || !item->HasChildren())
        return;
    if (hit == OTHT_ATTRIBUTE && !item->IsTopLevel())
        return;
    if (hit != OTHT_EXPAND)
        tree->ClickItem(item, false);
    tree->ToggleExpanded(item);
}

void COptionTreeList::UpdateCursor(QPoint point) {
    const int hit = tree->HitTestPoint(point);
    if (hit == OTHT_COLUMN)
        setCursor(Qt::SplitHCursor);
    else if (hit == OTHT_EXPAND)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void COptionTreeList::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (tree->GetTotalHeight() < ClientRect().height())
        return;
    // One line per notch; smooth wheels and touchpads send a notch in many small parts, and a
    // sideways swipe sends none.
    const int delta = event->angleDelta().y();
    if ((delta < 0) != (wheelDelta < 0))
        wheelDelta = 0; // turned back: the part left over counted the other way
    wheelDelta += delta;
    const int notches = wheelDelta / QWheelEvent::DefaultDeltasPerStep;
    if (notches == 0)
        return;
    wheelDelta -= notches * QWheelEvent::DefaultDeltasPerStep;
    setFocus(Qt::MouseFocusReason);
    tree->SetScrollOrigin(tree->GetScrollOrigin() - notches * COptionTree::LINE_STEP);
}

void COptionTreeList::keyPressEvent(QKeyEvent* event) {
    // A key that comes up from an open editor was the editor's to take or ignore: moving the
    // rows under it would hide the editor while it keeps the keyboard.
    const QWidget* focus = focusWidget();
    if (focus && focus != this && isAncestorOf(focus)) {
        event->ignore();
        return;
    }
    HandleKey(event);
}

void COptionTreeList::HandleKey(QKeyEvent* event) {
    COptionTreeItem* focus = tree->GetFocusItem();
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        if (event->modifiers() & Qt::ControlModifier) {
            LeaveTree(!back);
        } else if (focus && !focus->IsTopLevel()) {
            if (back)
                tree->FocusPreviousRow();
            else
                tree->FocusNextRow();
            tree->ActivateFocusItem();
            tree->Redraw();
        }
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        tree->ActivateFocusItem();
        break;
    case Qt::Key_End:
        tree->FocusLastRow();
        break;
    case Qt::Key_Home:
        tree->FocusFirstRow();
        break;
    case Qt::Key_Left:
        CollapseOrMoveUp();
        break;
    case Qt::Key_Up:
        tree->FocusPreviousRow();
        break;
    case Qt::Key_Right:
        ExpandOrMoveDown();
        break;
    case Qt::Key_Down:
        tree->FocusNextRow();
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (focus && IsClearKey(*event))
            focus->ClearValue();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void COptionTreeList::CollapseOrMoveUp() {
    COptionTreeItem* focus = tree->GetFocusItem();
    if (focus && !tree->Notify(OTN_ITEMEXPANDING, focus) && focus->HasChildren() && focus->IsExpanded())
        tree->SetItemExpanded(focus, false);
    else
        tree->FocusPreviousRow();
}

void COptionTreeList::ExpandOrMoveDown() {
    COptionTreeItem* focus = tree->GetFocusItem();
    if (focus && !tree->Notify(OTN_ITEMEXPANDING, focus) && focus->HasChildren() && !focus->IsExpanded())
        tree->SetItemExpanded(focus, true);
    else
        tree->FocusNextRow();
}

bool COptionTreeList::TakeBackFocus(QWidget* control, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* list = qobject_cast<COptionTreeList*>(control->parentWidget());
    if (!list)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape)
        list->CancelEditOf(control);
    return list->TakeBackFocus(key);
}

void COptionTreeList::CancelEditOf(const QWidget* control) const {
    const int id = control->property("controlId").toInt();
    if (auto* item = dynamic_cast<COptionTreeControlItem*>(tree->ItemFromId(id)))
        item->CancelEdit();
}

bool COptionTreeList::TakeBackFocus(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(event->modifiers() & Qt::ControlModifier))
            setFocus(Qt::TabFocusReason);
        HandleKey(event);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        setFocus(Qt::OtherFocusReason);
        return true;
    default:
        return false;
    }
}

void COptionTreeList::LeaveTree(bool forward) {
    // The widgets of the focus chain outside the tree, as the tree's editors sit anywhere in it.
    QWidget* next = tree;
    do {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    } while (next != tree && (tree->isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus) ||
                              !next->isVisible() || !next->isEnabled()));
    if (next != tree)
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool COptionTreeList::focusNextPrevChild(bool) {
    // Tab moves between rows here, not between widgets.
    return false;
}

void COptionTreeList::resizeEvent(QResizeEvent*) {
    PlaceScrollBar();
    tree->UpdateScrollRange();
    tree->RepositionAllControls();
    tree->Redraw();
}

void COptionTreeList::focusInEvent(QFocusEvent* event) {
    COptionTree::ForEachItem(tree->GetRoot(), [](COptionTreeItem* item) {
        item->OnListFocused();
        return true;
    });
    QWidget::focusInEvent(event);
    if (const COptionTreeItem* item = tree->GetFocusItem())
        COptionTreeAccessible::Announce(*item, QAccessible::Focus);
}
