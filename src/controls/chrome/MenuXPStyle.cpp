#include "controls/chrome/MenuXPStyle.h"

#include "controls/chrome/MenuXP.h"
#include "controls/chrome/MenuXPColors.h"

#include "platform/CommandRouter.h"
#include "platform/DrawText.h"

#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

// Heights follow the font; a small font keeps the classic 20-pixel row.
constexpr int smallestItemHeight = 20;
constexpr int smallFontLimit = 16;

bool isSelected(const QStyleOptionMenuItem& item) {
    return (item.state & QStyle::State_Selected) && item.menuItemType != QStyleOptionMenuItem::Separator;
}

bool isEnabled(const QStyleOptionMenuItem& item) {
    return item.state & QStyle::State_Enabled;
}

bool isChecked(const QStyleOptionMenuItem& item) {
    return item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
}

// The part of an item's text before the tab, and the accelerator text after it.
QString labelOf(const QString& text) {
    return text.section(QLatin1Char('\t'), 0, 0);
}

QString acceleratorOf(const QString& text) {
    return text.section(QLatin1Char('\t'), 1);
}

QFontMetrics menuFontMetrics(const QStyleOption* option, const QWidget* widget) {
    return widget ? widget->fontMetrics() : option->fontMetrics;
}

// The 20 x height area at the left of an item that frames a check mark or a checked image.
QRect checkArea(const QRect& item) {
    return QRect(item.left() + 1, item.top() + 1, CMenuXPStyle::ImageColumnWidth - 2, item.height() - 2);
}

// Marks keep their classic pixel shapes at the default font and grow with larger ones, as
// the desktop's own check marks do.
qreal markUnit(const QStyleOptionMenuItem& item) {
    return std::max(1.0, item.rect.height() / double(smallestItemHeight));
}

// The classic 7 x 7 tick, three pixels thick, centred in area.
void drawTick(QPainter& painter, const QRect& area, const QColor& ink, qreal unit) {
    const bool smooth = unit > 1;
    QRect pixels(0, 0, 7, 7);
    pixels.moveCenter(area.center());
    const QPointF origin =
        smooth ? QRectF(area).center() - QPointF(3.5, 3.5) * unit : QPointF(pixels.topLeft());
    // Smooth lines sit on pixel centres, or they would blur across two rows.
    const QPointF pixel = smooth ? QPointF(0.5, 0.5) : QPointF(0, 0);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setPen(ink);
    const int rows = int(std::lround(3 * unit));
    for (int row = 0; row < rows; ++row) {
        const QPointF points[] = {origin + pixel + QPointF(0, 2 * unit + row),
                                  origin + pixel + QPointF(2 * unit, 4 * unit + row),
                                  origin + pixel + QPointF(6 * unit, row)};
        painter.drawPolyline(points, 3);
    }
}

// A 7 x 7 dot with one light pixel as its gloss, centred in area.
void drawRadioDot(QPainter& painter, const QRect& area, const QColor& ink, COLORREF gloss, qreal unit) {
    if (unit > 1) {
        const QRectF dot(QRectF(area).center() - QPointF(3.5, 3.5) * unit, QSizeF(7, 7) * unit);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.drawEllipse(dot);
        painter.fillRect(QRectF(dot.topLeft() + QPointF(2, 2) * unit, QSizeF(unit, unit)), toQColor(gloss));
        return;
    }
    QRect dot(0, 0, 7, 7);
    dot.moveCenter(area.center());
    painter.fillRect(dot.adjusted(1, 0, -1, 0), ink);
    painter.fillRect(dot.adjusted(0, 1, 0, -1), ink);
    FillSolidRect(painter, QRect(dot.left() + 2, dot.top() + 2, 1, 1), gloss);
}

// Check marks, radio dots and submenu arrows.
QColor markColor(const QStyleOptionMenuItem& item) {
    return toQColor(isEnabled(item) ? menuxp::normalText() : menuxp::disabledText());
}

QPixmap silhouette(const QPixmap& picture, COLORREF color) {
    QPixmap shape(picture.size());
    shape.setDevicePixelRatio(picture.devicePixelRatio());
    shape.fill(Qt::transparent);
    QPainter painter(&shape);
    painter.drawPixmap(0, 0, picture);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()), toQColor(color));
    return shape;
}

} // namespace

int CMenuXPStyle::itemHeight(const QFontMetrics& menuFont) {
    return menuFont.height() + 2 > smallFontLimit ? menuFont.height() + 6 : smallestItemHeight;
}

int CMenuXPStyle::separatorHeight(const QFontMetrics& menuFont) {
    return menuFont.height() / 2 + 2;
}

void CMenuXPStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
    if (element == CE_MenuItem) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            painter->save();
            drawMenuItem(*item, *painter, widget);
            painter->restore();
            return;
        }
    }
    if (element == CE_MenuEmptyArea) {
        FillSolidRect(*painter, option->rect, menuxp::menuFace());
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void CMenuXPStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
    if (element == PE_PanelMenu) {
        FillSolidRect(*painter, option->rect, menuxp::menuFace());
        return;
    }
    if (element == PE_FrameMenu) {
        const QColor face = toQColor(menuxp::menuFace());
        FrameRect(*painter, option->rect, toQColor(menuxp::border()));
        FrameRect(*painter, option->rect.adjusted(1, 1, -1, -1), face);
        FrameRect(*painter, option->rect.adjusted(2, 2, -2, -2), face);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize CMenuXPStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const QFontMetrics menuFont = menuFontMetrics(option, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return QSize(TextLeft, separatorHeight(menuFont));
    QFont font = item->font;
    font.setBold(item->menuItemType == QStyleOptionMenuItem::DefaultItem);
    const int label =
        QFontMetrics(font).size(Qt::TextSingleLine | Qt::TextShowMnemonic, labelOf(item->text)).width();
    // The menu adds the widest accelerator to the widest of these.
    return QSize(TextLeft + label + AcceleratorGap + AcceleratorRightMargin, itemHeight(menuFont));
}

int CMenuXPStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
        return BorderWidth;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int CMenuXPStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    switch (hint) {
    // A disabled item can be selected and is shown selected, in its own colours.
    case SH_Menu_AllowActiveAndDisabled:
        return 1;
    case SH_Menu_SupportsSections:
    case SH_Menu_FlashTriggeredItem:
    case SH_Menu_FadeOutOnHide:
    case SH_Menu_Mask:
        return 0;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

void CMenuXPStyle::drawMenuItem(const QStyleOptionMenuItem& item, QPainter& painter,
                                const QWidget* widget) const {
    drawItemBackground(item, painter);
    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        drawSeparator(item.rect, painter);
        return;
    }
    if (isChecked(item)) {
        const QRect frame = checkArea(item.rect);
        FillSolidRect(painter, frame, menuxp::checkFill(isSelected(item), !isEnabled(item)));
        FrameRect(painter, frame, toQColor(menuxp::selectionFrame()));
    }
    const QIcon image = itemImage(item, widget);
    if (!image.isNull())
        drawImage(item, image, painter);
    else if (isChecked(item))
        drawCheckMark(item, painter);
    drawItemTexts(item, painter, widget);
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu)
        drawSubmenuArrow(item, painter);
}

void CMenuXPStyle::drawItemBackground(const QStyleOptionMenuItem& item, QPainter& painter) {
    const QRect& rect = item.rect;
    if (isSelected(item)) {
        FillSolidRect(painter, rect, menuxp::selectionFill(!isEnabled(item)));
        FrameRect(painter, rect, toQColor(menuxp::selectionFrame()));
        return;
    }
    FillSolidRect(painter, QRect(rect.left(), rect.top(), ImageColumnWidth, rect.height()),
                  menuxp::imageColumn());
    FillSolidRect(painter, rect.adjusted(ImageColumnWidth, 0, 0, 0), menuxp::menuFace());
}

void CMenuXPStyle::drawSeparator(const QRect& rect, QPainter& painter) {
    const int middle = rect.top() + rect.height() / 2;
    FillSolidRect(painter, QRect(rect.left() + TextLeft, middle, rect.width() - TextLeft, 1),
                  menuxp::separator());
}

void CMenuXPStyle::drawItemTexts(const QStyleOptionMenuItem& item, QPainter& painter,
                                 const QWidget* widget) const {
    COLORREF color = menuxp::normalText();
    if (!(item.state & State_Active))
        color = menuxp::inactiveText();
    else if (!isEnabled(item))
        color = menuxp::disabledText();
    painter.setPen(toQColor(color));
    QFont font = item.font;
    font.setBold(item.menuItemType == QStyleOptionMenuItem::DefaultItem);
    painter.setFont(font);

    const bool showMnemonics = proxy()->styleHint(SH_UnderlineShortcut, &item, widget);
    const unsigned line = DT_SINGLELINE | DT_VCENTER;
    QRect textRect = item.rect.adjusted(TextLeft, 0, -AcceleratorRightMargin, 0);
    DrawText(painter, labelOf(item.text), textRect, line | DT_LEFT | (showMnemonics ? 0 : DT_HIDEPREFIX));
    QRect acceleratorRect = textRect;
    DrawText(painter, acceleratorOf(item.text), acceleratorRect, line | DT_RIGHT | DT_NOPREFIX);
}

void CMenuXPStyle::drawImage(const QStyleOptionMenuItem& item, const QIcon& image, QPainter& painter) {
    const bool enabled = isEnabled(item);
    const bool raised = isSelected(item) && !isChecked(item);
    // Centred in the image column; a selected image lifts by a pixel over its shadow.
    const QPoint resting(item.rect.left() + (ImageColumnWidth - ImageSize) / 2,
                         item.rect.top() + (item.rect.height() - ImageSize) / 2);
    const QPixmap picture = image.pixmap(QSize(ImageSize, ImageSize), painter.device()->devicePixelRatioF());
    if (!enabled) {
        painter.drawPixmap(resting, silhouette(picture, menuxp::imageShadow(true)));
        return;
    }
    if (raised) {
        painter.drawPixmap(resting + QPoint(1, 1), silhouette(picture, menuxp::imageShadow(false)));
        painter.drawPixmap(resting - QPoint(1, 1), picture);
        return;
    }
    painter.drawPixmap(resting, picture);
}

void CMenuXPStyle::drawCheckMark(const QStyleOptionMenuItem& item, QPainter& painter) {
    const QRect area = checkArea(item.rect);
    if (item.checkType == QStyleOptionMenuItem::Exclusive)
        drawRadioDot(painter, area, markColor(item), menuxp::checkFill(isSelected(item), !isEnabled(item)),
                     markUnit(item));
    else
        drawTick(painter, area, markColor(item), markUnit(item));
}

void CMenuXPStyle::drawSubmenuArrow(const QStyleOptionMenuItem& item, QPainter& painter) {
    const qreal unit = markUnit(item);
    const qreal middle = item.rect.top() + item.rect.height() / 2.0;
    const qreal left = item.rect.right() - AcceleratorRightMargin / 2.0 - unit;
    // A right-pointing triangle, four pixels deep at the default font.
    const QPointF corners[] = {
        {left, middle - 4 * unit}, {left + 4 * unit, middle}, {left, middle + 4 * unit}};
    painter.setRenderHint(QPainter::Antialiasing, unit > 1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(markColor(item));
    painter.drawPolygon(corners, 3);
}

QIcon CMenuXPStyle::itemImage(const QStyleOptionMenuItem& item, const QWidget* widget) {
    if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
        const QIcon image =
            CMenuXP::CommandImage(CommandRouter::commandId(menu->actionAt(item.rect.center())));
        if (!image.isNull())
            return image;
    }
    return item.icon;
}
