#include "controls/optiontree/OptionTreeInfo.h"

#include "controls/optiontree/OptionTree.h"
#include "platform/DrawText.h"
#include "resource.h"

#include <QPainter>

using namespace platform;

namespace {
constexpr int TEXT_INSET = 4;
}

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
    return tree->HasOption(OTS_DEFINFOTEXT) ? tr("Select an item to see its description.") : QString();
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
