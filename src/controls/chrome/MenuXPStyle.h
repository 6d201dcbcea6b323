#pragma once

#include <QProxyStyle>

class QMenu;
class QStyleOptionMenuItem;

// Draws popup menus flat: the items, the border and the empty area. Everything else, and
// every other widget, is left to the application's style.
class CMenuXPStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Item geometry in pixels, from an item's left edge.
    static constexpr int ImageColumnWidth = 22;
    static constexpr int TextLeft = 30;
    static constexpr int AcceleratorRightMargin = 12;
    // Room between the widest text and the accelerators.
    static constexpr int AcceleratorGap = 12;
    static constexpr int ImageSize = 16;
    // Border: one dark line, then two lines of the menu face.
    static constexpr int BorderWidth = 3;

    // Heights of items and separators for the menu font.
    static int itemHeight(const QFontMetrics& menuFont);
    static int separatorHeight(const QFontMetrics& menuFont);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

private:
    void drawMenuItem(const QStyleOptionMenuItem& item, QPainter& painter, const QWidget* widget) const;
    void drawItemTexts(const QStyleOptionMenuItem& item, QPainter& painter, const QWidget* widget) const;
    static void drawItemBackground(const QStyleOptionMenuItem& item, QPainter& painter);
    static void drawSeparator(const QRect& rect, QPainter& painter);
    static void drawImage(const QStyleOptionMenuItem& item, const QIcon& image, QPainter& painter);
    static void drawCheckMark(const QStyleOptionMenuItem& item, QPainter& painter);
    static void drawSubmenuArrow(const QStyleOptionMenuItem& item, QPainter& painter);
    // The picture of the item's command, else the action's own icon.
    static QIcon itemImage(const QStyleOptionMenuItem& item, const QWidget* widget);
};
