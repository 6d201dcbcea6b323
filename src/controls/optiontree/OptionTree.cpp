#include "controls/optiontree/OptionTree.h"

#include "controls/optiontree/OptionTreeAccessible.h"
#include "controls/optiontree/OptionTreeInfo.h"
#include "controls/optiontree/OptionTreeList.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>

namespace {

bool isTreeCode(int code) {
    switch (code) {
    case OTN_ITEMINSERTED:
    case OTN_ITEMDELETING:
    case OTN_ITEMCHANGED:
    case OTN_SELCHANGED:
    case OTN_ITEMEXPANDING:
    case OTN_COLUMNDRAGSTART:
    case OTN_ITEMACTIVATING:
        return true;
    default:
        return false;
    }
}

} // namespace

COptionTree::COptionTree(unsigned treeOptions, int id, QWidget* parent)
    : QWidget(parent), options(treeOptions), controlId(id), root(std::make_unique<COptionTreeItem>()) {
    root->SetTree(this);
    infoPane = new COptionTreeInfo(this);
    list = new COptionTreeList(this);
    infoPane->setVisible(HasOption(OTS_SHOWINFOWINDOW));
    FollowFontHeight();
    setFocusProxy(list);
    setAccessibleName(tr("Options"));
}

COptionTree::~COptionTree() {
    // The owner may be half destroyed already: it hears nothing of the tree's own teardown.
    notifyTarget = nullptr;
    options &= ~OTS_NOTIFY;
    RemoveAllItems();
}

void COptionTree::SetNotifyTarget(bool notify, platform::NotifyTarget* target) {
    notifyTarget = target;
    if (notify)
        options |= OTS_NOTIFY;
    else
        options &= ~OTS_NOTIFY;
}

COptionTreeItem* COptionTree::InsertItem(std::unique_ptr<COptionTreeItem> owned, COptionTreeItem* parent) {
    if (!owned)
        return nullptr;
    COptionTreeItem* item = owned.release();
    COptionTreeItem* under = parent ? parent : root.get();
    if (COptionTreeItem* last = under->GetFirstChild()) {
        while (last->GetNextSibling())
            last = last->GetNextSibling();
        last->SetNextSibling(item);
    } else {
        under->SetFirstChild(item);
    }
    item->SetId(++lastItemId);
    item->SetParent(under);
    item->SetTree(this);
    Notify(OTN_ITEMINSERTED, item);
    UpdateScrollRange();
    Redraw();
    return item;
}

void COptionTree::RemoveItem(COptionTreeItem* item) {
    DeleteSubtree(item);
    InfoTextsChanged();
    // The rows below move up: the scroll range and the shown rows must follow at once.
    UpdateScrollRange();
    RepositionAllControls();
    Redraw();
}

void COptionTree::DeleteSubtree(COptionTreeItem* item) {
    COptionTreeItem* target = item ? item : root.get();
    firstVisible = nullptr;
    layoutDirty = true;
    Notify(OTN_ITEMDELETING, item);
    while (COptionTreeItem* child = target->GetFirstChild())
        DeleteSubtree(child);
    Unlink(target);
    if (target == root.get())
        return;
    if (target == focusItem)
        SetFocusItem(nullptr);
    target->DestroyControl();
    delete target;
}

void COptionTree::Unlink(COptionTreeItem* item) {
    COptionTreeItem* parent = item->GetParent();
    if (!parent)
        return;
    if (parent->GetFirstChild() == item) {
        parent->SetFirstChild(item->GetNextSibling());
    } else {
        COptionTreeItem* previous = parent->GetFirstChild();
        while (previous && previous->GetNextSibling() != item)
            previous = previous->GetNextSibling();
        if (previous)
            previous->SetNextSibling(item->GetNextSibling());
    }
    item->SetNextSibling(nullptr);
    item->SetParent(nullptr);
}

void COptionTree::RemoveAllItems() {
    RemoveItem(nullptr);
    lastItemId = 0;
}

void COptionTree::SetFocusItem(COptionTreeItem* item) {
    focusItem = item;
    ScrollIntoView(item);
    Redraw();
    if (item && list->hasFocus())
        COptionTreeAccessible::Announce(*item, QAccessible::Focus);
}

COptionTreeItem* COptionTree::ItemFromId(int id) const {
    COptionTreeItem* found = nullptr;
    ForEachItem(root.get(), [&found, id](COptionTreeItem* item) {
        if (!found && item->GetId() == id)
            found = item;
        return !found;
    });
    return found;
}

COptionTreeItem* COptionTree::GetFirstVisible() {
    EnsureLayout();
    return firstVisible;
}

bool COptionTree::IsItemVisible(const COptionTreeItem* item) {
    for (COptionTreeItem* row = GetFirstVisible(); row; row = row->GetNextVisible()) {
        if (row == item)
            return true;
    }
    return false;
}

COptionTreeItem* COptionTree::ItemAtPoint(QPoint point) {
    const int y = point.y() + origin;
    for (COptionTreeItem* row = GetFirstVisible(); row; row = row->GetNextVisible()) {
        const int top = row->GetPosition().y();
        if (top <= y && y < top + row->GetHeight())
            return row;
    }
    return nullptr;
}

int COptionTree::HitTestPoint(QPoint point) {
    COptionTreeItem* item = ItemAtPoint(point);
    if (!item)
        return OTHT_NOWHERE;
    if (!item->IsTopLevel() && column - COLUMN_ZONE <= point.x() && point.x() <= column + COLUMN_ZONE)
        return OTHT_COLUMN;
    if (point.x() > column + COLUMN_ZONE)
        return OTHT_ATTRIBUTE;
    if (item->GetExpandBoxRect().contains(point.x(), point.y() + origin))
        return OTHT_EXPAND;
    return OTHT_LABEL;
}

void COptionTree::SetDivider(int x) {
    // A tree not shown yet has no client area of its own: its first size is a placeholder.
    int clamped = std::max(x, MARGIN);
    if (isVisible() && width() > 0 && height() > 0 && clamped >= width() - MARGIN)
        clamped = width() - MARGIN;
    if (clamped == column)
        return;
    column = clamped;
    Redraw();
    RepositionAllControls();
}

void COptionTree::SetScrollOrigin(int y) {
    const int clamped = std::clamp(y, 0, list->MaximumOrigin());
    if (clamped == origin)
        return;
    origin = clamped;
    list->SetScrollPosition(origin);
    // The rows move, nothing else: one layout at the new origin serves the controls and the
    // paint.
    layoutDirty = true;
    RepositionAllControls();
    list->update();
}

void COptionTree::AutoSizeDivider() {
    // Whole labels: measuring the shortened ones could never widen the column.
    int widest = 0;
    for (COptionTreeItem* row = GetFirstVisible(); row; row = row->GetNextVisible()) {
        if (!row->IsTopLevel() && row->GetParent()->IsExpanded())
            widest = std::max(widest, row->GetFullLabelRight());
    }
    SetDivider(std::min(list->ClientRect().width() - DRAG_RIGHT_GAP, widest + COLUMN_ZONE));
}

void COptionTree::SelectSubtree(COptionTreeItem* item, bool selected) {
    ForEachItem(item ? item : root.get(), [selected](COptionTreeItem* each) {
        each->SetSelected(selected);
        return true;
    });
}

void COptionTree::ExpandEverything() {
    ForEachItem(root.get(), [](COptionTreeItem* item) {
        item->SetExpanded(true);
        return true;
    });
    UpdateScrollRange();
    Redraw();
}

void COptionTree::RefreshSubtree(COptionTreeItem* item) {
    UpdateScrollRange();
    Redraw();
    EnsureLayout();
    ForEachItem(item ? item : root.get(), [](COptionTreeItem* each) {
        each->SyncControl();
        return true;
    });
}

void COptionTree::RepositionAllControls() {
    FitInfoPane();
    EnsureLayout();
    ForEachItem(root.get(), [](COptionTreeItem* item) {
        item->RepositionControl();
        return true;
    });
}

int COptionTree::GetTotalHeight() const {
    int total = 0;
    for (const COptionTreeItem* item = root->GetFirstChild(); item; item = item->GetNextSibling())
        total += item->GetTotalHeight();
    return total;
}

void COptionTree::UpdateScrollRange() {
    const int total = GetTotalHeight();
    list->SetScrollRange(total);
    if (list->MaximumOrigin() == 0 || origin > list->MaximumOrigin()) {
        origin = std::min(origin, list->MaximumOrigin());
        list->SetScrollPosition(origin);
        layoutDirty = true;
    }
    SetDivider(column);
}

void COptionTree::ScrollIntoView(COptionTreeItem* item) {
    if (!item)
        return;
    if (!IsItemVisible(item)) {
        for (COptionTreeItem* above = item->GetParent(); above && above != root.get();
             above = above->GetParent())
            above->SetExpanded(true);
        UpdateScrollRange();
        Redraw();
    }
    if (!IsItemVisible(item))
        return;
    const int clientHeight = list->ClientRect().height();
    const int y = item->GetPosition().y();
    const int rowHeight = item->GetHeight();
    if (origin <= y && y < origin + clientHeight - rowHeight)
        return;
    SetScrollOrigin(y < origin ? y : y + 2 * rowHeight - clientHeight);
}

COptionTreeItem* COptionTree::MoveFocus(COptionTreeItem* item) {
    if (!item)
        return focusItem;
    SelectOnly(item);
    const bool changed = item != focusItem;
    SetFocusItem(item);
    if (changed)
        Notify(OTN_SELCHANGED, item);
    return focusItem;
}

COptionTreeItem* COptionTree::FocusFirstRow() {
    return MoveFocus(GetFirstVisible());
}

COptionTreeItem* COptionTree::FocusLastRow() {
    EnsureLayout();
    return MoveFocus(lastVisible);
}

COptionTreeItem* COptionTree::FocusPreviousRow() {
    EnsureLayout();
    if (!focusItem)
        return MoveFocus(lastVisible);
    for (COptionTreeItem* row = firstVisible; row; row = row->GetNextVisible()) {
        if (row->GetNextVisible() == focusItem)
            return MoveFocus(row);
    }
    return focusItem;
}

COptionTreeItem* COptionTree::FocusNextRow() {
    EnsureLayout();
    if (!focusItem)
        return MoveFocus(firstVisible);
    return MoveFocus(focusItem->GetNextVisible());
}

void COptionTree::ActivateFocusItem() {
    if (focusItem && !focusItem->IsTopLevel() && !focusItem->IsReadOnly())
        focusItem->BeginEdit();
}

void COptionTree::SelectOnly(COptionTreeItem* item) {
    SelectSubtree(nullptr, false);
    item->SetSelected(true);
}

void COptionTree::ClickItem(COptionTreeItem* item, bool inValueColumn) {
    SelectOnly(item);
    if (item != focusItem)
        Notify(OTN_SELCHANGED, item);
    if (inValueColumn && !item->IsTopLevel() && !Notify(OTN_ITEMACTIVATING, item) && !item->IsReadOnly())
        item->BeginEdit();
    SetFocusItem(item);
}

void COptionTree::ClearFocusItem() {
    SelectSubtree(nullptr, false);
    focusItem = nullptr;
    Notify(OTN_SELCHANGED, nullptr);
    Redraw();
}

bool COptionTree::ToggleExpanded(COptionTreeItem* item) {
    if (!item || !item->HasChildren() || Notify(OTN_ITEMEXPANDING, item))
        return false;
    SetItemExpanded(item, !item->IsExpanded());
    return true;
}

void COptionTree::SetItemExpanded(COptionTreeItem* item, bool expanded) {
    item->SetExpanded(expanded);
    UpdateScrollRange();
    Redraw();
    DropInvisibleFocus();
    COptionTreeAccessible::AnnounceExpanded(*item);
}

void COptionTree::DropInvisibleFocus() {
    if (!focusItem || IsItemVisible(focusItem))
        return;
    focusItem->SetSelected(false);
    focusItem = nullptr;
    Notify(OTN_SELCHANGED, nullptr);
    Redraw();
}

platform::LRESULT COptionTree::Notify(int code, COptionTreeItem* item) {
    if (!HasOption(OTS_NOTIFY) || !notifyTarget || !isTreeCode(code))
        return 0;
    OptionTreeNotify record;
    record.hwndFrom = this;
    record.idFrom = controlId;
    record.code = code;
    record.item = item;
    return notifyTarget->notify(record);
}

QFont COptionTree::GetNormalFont() const {
    return font();
}

QFont COptionTree::GetBoldFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

int COptionTree::InfoHeight() const {
    return std::max(INFO_HEIGHT, infoPane->NeededHeight(width()));
}

void COptionTree::FollowFontHeight() {
    // Labels grow with the font; the label column grows with them, as it would at a higher
    // screen resolution.
    const int fontRowHeight = std::max(COptionTreeItem::DEFAULT_HEIGHT, QFontMetrics(font()).height() + 4);
    if (fontRowHeight == rowHeight)
        return;
    column = column * fontRowHeight / rowHeight;
    rowHeight = fontRowHeight;
}

void COptionTree::Redraw() {
    layoutDirty = true;
    list->update();
    infoPane->update();
}

void COptionTree::EnsureLayout() {
    if (layoutDirty)
        LayoutRows();
}

void COptionTree::LayoutRows() {
    layoutDirty = false;
    firstVisible = nullptr;
    lastVisible = nullptr;
    int top = 0;
    for (COptionTreeItem* item = root->GetFirstChild(); item; item = item->GetNextSibling())
        top += item->LayoutRow(0, top);
}

void COptionTree::AppendVisible(COptionTreeItem* item) {
    item->SetNextVisible(nullptr);
    if (lastVisible)
        lastVisible->SetNextVisible(item);
    else
        firstVisible = item;
    lastVisible = item;
}

bool COptionTree::ForEachItem(COptionTreeItem* start, const std::function<bool(COptionTreeItem*)>& fn) {
    bool result = true;
    if (!start->GetTree() || start != start->GetTree()->GetRoot()) {
        if (!fn(start))
            return false;
    }
    for (COptionTreeItem* child = start->GetFirstChild(); child; child = child->GetNextSibling()) {
        if (!ForEachItem(child, fn))
            result = false;
    }
    return result;
}

void COptionTree::FitInfoPane() {
    if (!infoFitDirty)
        return;
    infoFitDirty = false;
    if (HasOption(OTS_SHOWINFOWINDOW) && infoPane->height() != std::min(InfoHeight(), height()))
        LayoutChildren();
}

void COptionTree::LayoutChildren() {
    infoFitDirty = false;
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return;
    int listHeight = h;
    if (HasOption(OTS_SHOWINFOWINDOW)) {
        const int infoHeight = std::min(InfoHeight(), h);
        infoPane->setGeometry(0, h - infoHeight, w, infoHeight);
        listHeight = h - infoHeight;
    }
    list->setGeometry(0, 0, w, listHeight);
    Redraw();
}

QSize COptionTree::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(column + metrics.averageCharWidth() * 30, StandardRowHeight() * 12 + InfoHeight());
}

QSize COptionTree::minimumSizeHint() const {
    return QSize(MARGIN * 2 + DRAG_MIN + DRAG_RIGHT_GAP, StandardRowHeight() * 3 + InfoHeight());
}

void COptionTree::resizeEvent(QResizeEvent*) {
    LayoutChildren();
}

void COptionTree::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FollowFontHeight();
        LayoutChildren();
        UpdateScrollRange();
        RepositionAllControls();
    } else if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) {
        Redraw();
    }
}
