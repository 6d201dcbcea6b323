#include "controls/optiontree/OptionTreeItem.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeAccessible.h"
#include "controls/optiontree/OptionTreeList.h"
#include "platform/DrawText.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

using namespace platform;

namespace {

// A rectangle given by its edges, right and bottom exclusive.
QRect edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

COLORREF orSystem(COLORREF color, int index) {
    return color == CLR_DEFAULT ? GetSysColor(index) : color;
}

constexpr int EXPAND_BOX_LEFT = 4;
constexpr int EXPAND_BOX_TOP = 5;
constexpr int EXPAND_BOX_SIZE = 9;
constexpr int LABEL_GAP = 5;

} // namespace

COptionTreeItem::COptionTreeItem() = default;

COptionTreeItem::~COptionTreeItem() = default;

void COptionTreeItem::SetInfoText(const QString& text) {
    if (text == info)
        return;
    info = text;
    if (tree)
        tree->InfoTextsChanged();
}

COLORREF COptionTreeItem::GetValueBackColor() const {
    return orSystem(valueBackColor, COLOR_WINDOW);
}

COLORREF COptionTreeItem::GetValueTextColor() const {
    return orSystem(valueTextColor, COLOR_BTNTEXT);
}

COLORREF COptionTreeItem::GetHeaderBackColor() const {
    return orSystem(headerBackColor, COLOR_BTNFACE);
}

COLORREF COptionTreeItem::GetLabelTextColor() const {
    return orSystem(labelTextColor, COLOR_BTNTEXT);
}

COLORREF COptionTreeItem::GetLabelBackColor() const {
    return orSystem(labelBackColor, COLOR_WINDOW);
}

int COptionTreeItem::GetHeight() const {
    if (height > 0)
        return height;
    return tree ? tree->StandardRowHeight() : DEFAULT_HEIGHT;
}

void COptionTreeItem::SetSelected(bool flag) {
    selected = flag;
    if (flag)
        OnSelected();
    else
        OnDeselected();
}

void COptionTreeItem::SetExpanded(bool flag) {
    if (!tree)
        return;
    expanded = flag;
    COptionTree::ForEachItem(this, [flag](COptionTreeItem* item) {
        item->OnExpandedChanged(flag);
        return true;
    });
}

bool COptionTreeItem::IsTopLevel() const {
    return tree && parent == tree->GetRoot();
}

void COptionTreeItem::BeginEdit() {
    editing = true;
    committed = false;
    StartEditing();
}

void COptionTreeItem::EndEdit() {
    editing = false;
    if (committed)
        return;
    committed = true;
    if (!tree)
        return;
    FinishEditing();
    CommitChange();
}

bool COptionTreeItem::ClearValue() {
    if (!tree || IsTopLevel() || readOnly || !EmptyValue())
        return false;
    CommitChange();
    return true;
}

void COptionTreeItem::CommitChange() {
    tree->Notify(OTN_ITEMCHANGED, this);
    tree->RefreshSubtree(this);
    COptionTreeAccessible::Announce(*this, QAccessible::DescriptionChanged);
}

int COptionTreeItem::GetTotalHeight() const {
    int total = GetHeight();
    if (expanded) {
        for (const COptionTreeItem* child = firstChild; child; child = child->nextSibling)
            total += child->GetTotalHeight();
    }
    return total;
}

int COptionTreeItem::LayoutRow(int indent, int top) {
    tree->AppendVisible(this);
    position = QPoint(indent, top);
    const int origin = tree->GetScrollOrigin();
    const int rowHeight = GetHeight();
    const QRect client = tree->GetListWindow()->ClientRect();
    valueRect = edges(tree->GetDivider() + COptionTree::COLUMN_ZONE, top - origin, client.right() + 1,
                      top - origin + rowHeight - 1);
    // Rows taller than the standard 21 pixels (large fonts) keep the box at their middle.
    const int boxTop = top + EXPAND_BOX_TOP + std::max(0, (rowHeight - DEFAULT_HEIGHT) / 2);
    expandBox = HasChildren() ? QRect(EXPAND_BOX_LEFT, boxTop, EXPAND_BOX_SIZE, EXPAND_BOX_SIZE) : QRect();
    int used = rowHeight;
    if (HasChildren() && expanded) {
        const int childIndent = IsTopLevel() ? indent : indent + COptionTree::MARGIN;
        for (COptionTreeItem* child = firstChild; child; child = child->nextSibling)
            used += child->LayoutRow(childIndent, top + used);
    }
    return used;
}

QRect COptionTreeItem::GetLabelRect() const {
    if (!tree)
        return {};
    const int top = position.y() - tree->GetScrollOrigin();
    const int right = IsTopLevel() ? tree->GetListWindow()->ClientRect().right() + 1 : tree->GetDivider();
    return edges(position.x() + COptionTree::MARGIN, top, right, top + GetHeight());
}

QFont COptionTreeItem::LabelFont() const {
    return IsTopLevel() ? tree->GetBoldFont() : tree->GetNormalFont();
}

QRect COptionTreeItem::LabelTextArea() const {
    QRect area = GetLabelRect().adjusted(LABEL_GAP, 0, 0, 0);
    if (labelAtTop)
        area.setTop(area.top() + LABEL_GAP);
    return area;
}

QRect COptionTreeItem::GetLabelTextRect() const {
    if (!tree || label.trimmed().isEmpty())
        return {};
    const QFontMetrics metrics(LabelFont());
    const QRect area = LabelTextArea();
    const QString shown = ShortenLabel(label, metrics, area.width());
    return QRect(area.topLeft(), QSize(metrics.horizontalAdvance(shown), metrics.height()));
}

int COptionTreeItem::GetFullLabelRight() const {
    if (!tree || label.trimmed().isEmpty())
        return 0;
    const QFontMetrics metrics(LabelFont());
    return LabelTextArea().left() + metrics.horizontalAdvance(label);
}

QString COptionTreeItem::ShortenLabel(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) + 1 <= width)
        return text;
    const QString dots = QStringLiteral("...");
    const int dotsWidth = metrics.horizontalAdvance(dots);
    QString kept = text;
    while (kept.size() > 1 && metrics.horizontalAdvance(kept) + dotsWidth + 1 > width)
        kept.chop(1);
    return kept + dots;
}

bool COptionTreeItem::IsTreeEnabled() const {
    return tree && tree->isEnabled();
}

void COptionTreeItem::DrawRow(QPainter& painter, const QRect& client) const {
    DrawBackground(painter, client);
    DrawExpandBox(painter);
    DrawLabel(painter);
    DrawLines(painter, client);
    if (!IsTopLevel()) {
        painter.save();
        painter.setClipRect(valueRect);
        DrawValue(painter, valueRect);
        painter.restore();
    }
}

void COptionTreeItem::DrawBackground(QPainter& painter, const QRect& client) const {
    const QRect labelRect = GetLabelRect();
    if (IsTopLevel()) {
        const bool shaded = tree->HasOption(OTS_SHADEROOTITEMS) || !IsTreeEnabled();
        const QColor fill = toQColor(shaded ? GetHeaderBackColor() : GetSysColor(COLOR_WINDOW));
        PatBlt(painter,
               edges(client.left() + COptionTree::MARGIN, labelRect.top(), client.right() + 2,
                     labelRect.bottom() + 1),
               fill, PATCOPY);
        return;
    }
    const int top = labelRect.top();
    FillSolidRect(painter, edges(tree->GetDivider(), top, client.right() - 1, top + GetHeight() - 1),
                  GetValueBackColor());
    FillSolidRect(painter, labelRect, GetLabelBackColor());
}

void COptionTreeItem::DrawExpandBox(QPainter& painter) const {
    if (expandBox.isEmpty())
        return;
    const QRect box = expandBox.translated(0, -tree->GetScrollOrigin());
    if (!IsTopLevel())
        FillSolidRect(painter, box, GetSysColor(COLOR_WINDOW));
    FrameRect(painter, box, sysColor(COLOR_BTNSHADOW));
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    const int left = box.left();
    const int top = box.top();
    painter.drawLine(left + 2, top + 4, left + 6, top + 4);
    if (!expanded)
        painter.drawLine(left + 4, top + 2, left + 4, top + 6);
    painter.restore();
}

void COptionTreeItem::DrawLabel(QPainter& painter) const {
    if (label.trimmed().isEmpty())
        return;
    const QRect labelRect = GetLabelRect();
    painter.save();
    if (!IsTopLevel())
        painter.setClipRect(labelRect);
    QColor textColor = toQColor(GetLabelTextColor());
    if (selected) {
        painter.fillRect(edges(COptionTree::MARGIN, labelRect.top(), labelRect.right() + 1 + LABEL_GAP,
                               labelRect.bottom() + 1),
                         sysColor(COLOR_HIGHLIGHT));
        textColor = sysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (!IsTreeEnabled())
        textColor = sysColor(COLOR_GRAYTEXT);
    const QFont font = LabelFont();
    painter.setFont(font);
    painter.setPen(textColor);
    QRect area = LabelTextArea();
    const QString shown = ShortenLabel(label, QFontMetrics(font), area.width());
    DrawText(painter, shown, area, DT_SINGLELINE | DT_NOPREFIX | (labelAtTop ? 0 : DT_VCENTER));
    painter.restore();
}

void COptionTreeItem::DrawLines(QPainter& painter, const QRect& client) const {
    const QRect labelRect = GetLabelRect();
    const QColor shadow = sysColor(COLOR_BTNSHADOW);
    painter.fillRect(QRect(COptionTree::MARGIN, labelRect.bottom(), client.width(), 1), shadow);
    if (IsTopLevel())
        painter.fillRect(QRect(COptionTree::MARGIN, labelRect.top() - 1, client.width(), 1), shadow);
    if (!IsTopLevel())
        painter.fillRect(QRect(tree->GetDivider(), labelRect.top(), 1, GetHeight()), shadow);
}

void COptionTreeItem::DrawValueText(QPainter& painter, const QRect& rect, const QString& text,
                                    unsigned format) const {
    const bool grey = readOnly || !IsTreeEnabled();
    painter.setFont(tree->GetNormalFont());
    painter.setPen(grey ? sysColor(COLOR_GRAYTEXT) : toQColor(GetValueTextColor()));
    QRect area = rect;
    DrawText(painter, text, area, format | DT_NOPREFIX);
}

void COptionTreeItem::DrawValue(QPainter&, const QRect&) const {}
void COptionTreeItem::StartEditing() {}
void COptionTreeItem::RepositionControl() {}
void COptionTreeItem::SyncControl() {}
void COptionTreeItem::FinishEditing() {}
void COptionTreeItem::DestroyControl() {}
void COptionTreeItem::OnDeselected() {}
void COptionTreeItem::OnSelected() {}
void COptionTreeItem::OnExpandedChanged(bool) {}
void COptionTreeItem::OnListFocused() {}
QString COptionTreeItem::ToolTipText() const {
    return {};
}
bool COptionTreeItem::EmptyValue() {
    return false;
}
