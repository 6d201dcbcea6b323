#include "controls/optiontree/OptionTreeInfo.h"

#include "controls/optiontree/OptionTree.h"
#include "platform/DrawText.h"
#include "resource.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

constexpr int TEXT_INSET = 4;

QString defaultHelp() {
    return COptionTreeInfo::tr("Select an item to see its description.");
}

} // namespace

COptionTreeInfo::COptionTreeInfo(COptionTree* owner) : QWidget(owner), tree(owner) {
    setObjectName(QStringLiteral("optionTreeInfo"));
    setProperty("controlId", IDC_OPTION_TREE_INFO);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Option description"));
}

QString COptionTreeInfo::ShownLabel() const {
    if (const COptionTreeItem* focus = tree->GetFocusItem())
        return focus->GetLabelText();
    return tree->HasOption(OTS_DEFINFOTEXT) ? tr("No Item Selected") : QString();
}

QString COptionTreeInfo::ShownHelp() const {
    if (const COptionTreeItem* focus = tree->GetFocusItem())
        return focus->GetInfoText();
    return tree->HasOption(OTS_DEFINFOTEXT) ? defaultHelp() : QString();
}

int COptionTreeInfo::NeededHeight(int width) const {
    // Measured by the wrapping the painting uses, on a device of the pane's resolution.
    QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    device.setDotsPerMeterX(int(std::lround(logicalDpiX() / 0.0254)));
    device.setDotsPerMeterY(int(std::lround(logicalDpiY() / 0.0254)));
    QPainter painter(&device);
    painter.setFont(tree->GetNormalFont());
    int help = COptionTree::INFO_HELP_LINES * painter.fontMetrics().lineSpacing();
    const int textWidth = std::max(width - 2 * TEXT_INSET, 1);
    const auto measure = [&](const QString& text) {
        QRect bounds(0, 0, textWidth, 0);
        DrawText(painter, text, bounds, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        help = std::max(help, bounds.height());
    };
    if (tree->HasOption(OTS_DEFINFOTEXT))
        measure(defaultHelp());
    COptionTree::ForEachItem(tree->GetRoot(), [&](COptionTreeItem* item) {
        measure(item->GetInfoText());
        return true;
    });
    return QFontMetrics(tree->GetBoldFont(), this).height() + help + 2 * TEXT_INSET;
}

void COptionTreeInfo::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), sysColor(COLOR_BTNFACE));
    DrawEdge(painter, rect(), BDR_SUNKENOUTER, BF_RECT);
    const QRect inner = rect().adjusted(TEXT_INSET, TEXT_INSET, -TEXT_INSET, -TEXT_INSET);
    painter.setPen(sysColor(tree->isEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));

    painter.setFont(tree->GetBoldFont());
    const QString label = ShownLabel();
    QRect labelRect = inner;
    DrawText(painter, label, labelRect, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    labelRect.setWidth(inner.width());
    QRect shownLabel = labelRect;
    DrawText(painter, label, shownLabel, DT_SINGLELINE | DT_NOPREFIX);

    painter.setFont(tree->GetNormalFont());
    QRect helpRect = inner;
    helpRect.setTop(labelRect.bottom() + 1);
    DrawText(painter, ShownHelp(), helpRect, DT_WORDBREAK | DT_NOPREFIX);
}
