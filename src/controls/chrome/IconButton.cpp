#include "controls/chrome/IconButton.h"

#include "platform/DrawText.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>
#include <QToolTip>

#include <algorithm>

using namespace platform;

namespace {

constexpr unsigned textFormat = DT_WORDBREAK | DT_CENTER;

template <typename Change> QPixmap mapPixels(const QPixmap& icon, Change change) {
    QImage image = icon.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = change(line[x]);
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(icon.devicePixelRatio());
    return result;
}

QPixmap maskedBitmap(const QImage& bitmap, COLORREF transparent) {
    const QImage opaque = bitmap.convertToFormat(QImage::Format_RGB32);
    QPixmap pixmap = QPixmap::fromImage(opaque);
    pixmap.setMask(
        QBitmap::fromImage(opaque.createMaskFromColor(toQColor(transparent).rgb(), Qt::MaskInColor)));
    return pixmap;
}

// Breaks text at blanks so that no line is wider than maxWidth; a longer word keeps a line
// of its own. Line breaks in the text stay.
QString wrappedToWidth(const QString& text, const QFontMetrics& metrics, int maxWidth) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > maxWidth) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

CIconButton::CIconButton(QWidget* parent)
    : QPushButton(parent), systemPaletteKey(QGuiApplication::palette().cacheKey()) {
    SetDefaultColors();
    setFlat(true);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A button flattens when the application loses activation: the pointer may be gone.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            setHover(false);
    });
    connect(this, &QPushButton::clicked, this, &CIconButton::onClicked);
}

template <typename T> void CIconButton::setField(T& field, T value) {
    if (field == value)
        return;
    field = value;
    updateGeometry();
    update();
}

QPixmap CIconButton::darkerCopy(const QPixmap& icon) {
    return mapPixels(icon, [](QRgb pixel) {
        if (pixel == 0)
            return pixel;
        return qRgba(qRed(pixel) * 3 / 4, qGreen(pixel) * 3 / 4, qBlue(pixel) * 3 / 4, qAlpha(pixel));
    });
}

QPixmap CIconButton::grayscaleCopy(const QPixmap& icon) {
    return mapPixels(icon, [](QRgb pixel) {
        const int gray = qGray(pixel);
        return qRgba(gray, gray, gray, qAlpha(pixel));
    });
}

void CIconButton::SetIcon(const QPixmap& icon, int outIcon) {
    switch (outIcon) {
    case GrayscaleOutIcon:
        SetIcon(icon, grayscaleCopy(icon));
        return;
    case DarkerOutIcon:
        SetIcon(icon, darkerCopy(icon));
        return;
    default:
        SetIcon(icon, QPixmap());
    }
}

void CIconButton::SetIcon(const QPixmap& icon, const QPixmap& outIcon) {
    iconIn = icon;
    iconOut = outIcon;
    updateGeometry();
    update();
}

void CIconButton::SetBitmaps(const QImage& bitmap, COLORREF transparent, int outBitmap) {
    SetIcon(maskedBitmap(bitmap, transparent), outBitmap);
}

void CIconButton::SetBitmaps(const QImage& bitmap, COLORREF transparent, const QImage& outBitmap,
                             COLORREF outTransparent) {
    SetIcon(maskedBitmap(bitmap, transparent), maskedBitmap(outBitmap, outTransparent));
}

void CIconButton::SetTooltipText(const QString& text, bool activate) {
    setToolTip(activate ? text : QString());
    setAccessibleName(text);
}

void CIconButton::SetPressedStyle(int style) {
    setField(pressedOffset, style == 1 ? QPoint(0, 2) : QPoint(1, 1));
}

void CIconButton::SetAlign(int alignment) {
    setField(iconAlignment, std::clamp(alignment, int(IconLeftOfText), int(IconRightOfText)));
}

void CIconButton::SetFlat(bool value) {
    setFlat(value);
}

void CIconButton::SetDrawBorder(bool value) {
    setField(drawBorder, value);
}

void CIconButton::DrawFlatFocus(bool value) {
    setField(drawFocusRect, value);
}

void CIconButton::SetAlwaysTrack(bool value) {
    trackAlways = value;
}

void CIconButton::DrawTransparent(bool value) {
    setField(transparent, value);
}

void CIconButton::SetURL(const QString& target) {
    linkTarget = target;
}

void CIconButton::SetMenu(QMenu* menu) {
    dropDown = menu;
}

void CIconButton::SetBtnCursor(const std::optional<QCursor>& cursor) {
    if (cursor)
        setCursor(*cursor);
    else
        unsetCursor();
}

// A check box only toggles; otherwise the menu takes precedence over the link.
void CIconButton::onClicked() {
    if (isCheckable())
        return;
    if (dropDown)
        dropMenu();
    else if (!linkTarget.isEmpty())
        Shell::instance().openUrl(linkTarget);
}

void CIconButton::dropMenu() {
    menuOpen = true;
    repaint();
    dropDown->exec(mapToGlobal(rect().bottomLeft() + QPoint(0, 1)));
    menuOpen = false;
    setHover(false);
    update();
}

void CIconButton::SetColor(int index, COLORREF color) {
    Q_ASSERT(index >= 0 && index < int(colors.size()));
    setField(colors[size_t(index)], color);
}

COLORREF CIconButton::GetColor(int index) const {
    Q_ASSERT(index >= 0 && index < int(colors.size()));
    return colors[size_t(index)];
}

void CIconButton::SetDefaultColors() {
    colors.fill(CLR_DEFAULT);
    update();
}

void CIconButton::SetCheck(int check) {
    if (isCheckable())
        setChecked(check == 1 || check == 2);
}

int CIconButton::GetCheck() const {
    return isChecked() ? 1 : 0;
}

bool CIconButton::isPressedLook() const {
    return isDown() || menuOpen || (isCheckable() && isChecked());
}

void CIconButton::setHover(bool hovered) {
    if (hover == hovered)
        return;
    hover = hovered;
    update();
}

// Only flat buttons track the pointer; a button held down elsewhere does not light up.
void CIconButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    if (!isFlat() || ((event->buttons() & Qt::LeftButton) && !hover))
        return;
    if (rect().contains(event->position().toPoint())) {
        if (trackAlways || QApplication::activeWindow())
            setHover(true);
    } else {
        setHover(false);
    }
}

bool CIconButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
        showToolTip(static_cast<QHelpEvent*>(event)->globalPos());
        return true;
    }
    return QPushButton::event(event);
}

// The whole button answers the mouse, whatever bevel the style would draw.
bool CIconButton::hitButton(const QPoint& position) const {
    return rect().contains(position);
}

void CIconButton::showToolTip(const QPoint& globalPosition) {
    const QString wrapped = wrappedToWidth(toolTip(), QFontMetrics(QToolTip::font()), MaxTipWidth);
    QToolTip::showText(globalPosition, wrapped, this, rect());
}

void CIconButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    setHover(false);
}

// Focus handed back on reactivation keeps the look it had; a click or a call shows no rectangle.
void CIconButton::focusInEvent(QFocusEvent* event) {
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        keyboardFocus = true;
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        break;
    default:
        keyboardFocus = false;
        break;
    }
    QPushButton::focusInEvent(event);
}

void CIconButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    setHover(false);
}

void CIconButton::hideEvent(QHideEvent* event) {
    QPushButton::hideEvent(event);
    setHover(false);
}

void CIconButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled())
            setHover(false);
        break;
    case QEvent::ActivationChange:
        if (!isActiveWindow())
            setHover(false);
        break;
    case QEvent::FontChange:
        updateGeometry();
        break;
    // New system colours: custom colours give way. A new parent's palette is no such change.
    case QEvent::PaletteChange:
        if (QGuiApplication::palette().cacheKey() != systemPaletteKey) {
            systemPaletteKey = QGuiApplication::palette().cacheKey();
            SetDefaultColors();
        }
        break;
    default:
        break;
    }
}

// Hovered or pressed buttons take the "in" colours, focused ones the focus colours.
int CIconButton::stateColorIndex(bool background) const {
    const int index = (hover || isPressedLook()) ? BkColorIn : hasFocus() ? BkColorFocus : BkColorOut;
    return background ? index : index + 1;
}

QColor CIconButton::resolvedColor(int index) const {
    const COLORREF color = colors[size_t(index)];
    if (color != CLR_DEFAULT)
        return toQColor(color);
    const bool background = index % 2 == 0;
    return sysColor(background ? COLOR_BTNFACE : COLOR_BTNTEXT);
}

QSize CIconButton::iconSize() const {
    return iconIn.isNull() ? QSize(0, 0) : iconIn.deviceIndependentSize().toSize();
}

void CIconButton::contentRects(QRect& icon, QRect& textArea) const {
    const QRect area = rect();
    const QSize size = iconSize();
    icon = QRect(QPoint(), size);
    textArea = area;
    if (text().isEmpty()) {
        icon.moveTopLeft(QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2));
    } else {
        const int middle = (area.height() - size.height()) / 2;
        switch (iconAlignment) {
        case IconAboveText:
            icon.moveTopLeft(QPoint((area.width() - size.width()) / 2, verticalMargin));
            textArea.setTop(verticalMargin + size.height());
            break;
        case IconRightOfText:
            icon.moveTopLeft(QPoint(area.width() - horizontalMargin - size.width(), middle));
            textArea.setRight(icon.left() - 1);
            break;
        default:
            icon.moveTopLeft(QPoint(horizontalMargin, middle));
            textArea.setLeft(icon.right() + 1);
            break;
        }
    }
    if (isPressedLook() && !isCheckable()) {
        icon.translate(pressedOffset);
        textArea.translate(pressedOffset);
    }
}

QRect CIconButton::iconRect() const {
    QRect icon, textArea;
    contentRects(icon, textArea);
    return icon;
}

QRect CIconButton::textRect() const {
    QRect icon, textArea;
    contentRects(icon, textArea);
    return textArea;
}

void CIconButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect area = rect();
    paintBackground(painter, area);
    paintBorder(painter, area);

    QRect icon, textArea;
    contentRects(icon, textArea);
    const QPixmap& pixmap = (!isEnabled() && !iconOut.isNull()) ? iconOut : iconIn;
    if (!pixmap.isNull())
        painter.drawPixmap(icon, pixmap);
    paintText(painter, textArea);
    paintFocusRect(painter);
}

void CIconButton::paintBackground(QPainter& painter, QRect& area) const {
    if (!isFlat() && (hasFocus() || isDefault())) {
        FrameRect(painter, area, Qt::black);
        area.adjust(1, 1, -1, -1);
    }
    if (!transparent)
        painter.fillRect(area, resolvedColor(stateColorIndex(true)));
}

void CIconButton::paintBorder(QPainter& painter, const QRect& area) const {
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    if (isPressedLook()) {
        if (!isFlat())
            FrameRect(painter, area, sysColor(COLOR_BTNSHADOW));
        else if (drawBorder)
            Draw3dRect(painter, area, shadow, highlight);
    } else if (!isFlat()) {
        Draw3dRect(painter, area, highlight, GetSysColor(COLOR_3DDKSHADOW));
        Draw3dRect(painter, area.adjusted(1, 1, -1, -1), GetSysColor(COLOR_3DLIGHT), shadow);
    } else if (hover && drawBorder) {
        Draw3dRect(painter, area, highlight, shadow);
    }
}

void CIconButton::paintText(QPainter& painter, const QRect& area) const {
    if (text().isEmpty())
        return;
    painter.setFont(font());
    QRect measured = area;
    DrawText(painter, text(), measured, textFormat | DT_CALCRECT);
    QRect placed(area.left(), area.top() + (area.height() - measured.height()) / 2, area.width(),
                 measured.height());
    if (!isEnabled()) {
        painter.setPen(sysColor(COLOR_BTNHIGHLIGHT));
        QRect embossed = placed.translated(1, 1);
        DrawText(painter, text(), embossed, textFormat);
        painter.setPen(sysColor(COLOR_BTNSHADOW));
    } else {
        painter.setPen(resolvedColor(stateColorIndex(false)));
    }
    DrawText(painter, text(), placed, textFormat);
}

void CIconButton::paintFocusRect(QPainter& painter) const {
    if (!hasFocus() || (isFlat() && !drawFocusRect && !keyboardFocus))
        return;
    painter.setPen(QPen(sysColor(COLOR_BTNTEXT), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
}

QSize CIconButton::sizeHint() const {
    const QSize icon = iconSize();
    if (text().isEmpty())
        return icon + QSize(2 * horizontalMargin, 2 * verticalMargin);
    const QSize label = fontMetrics().size(0, text());
    QSize content;
    if (iconAlignment == IconAboveText)
        content = QSize(std::max(icon.width(), label.width()) + 2 * horizontalMargin,
                        verticalMargin + icon.height() + label.height() + verticalMargin);
    else
        content = QSize(horizontalMargin + icon.width() + label.width() + 2 * horizontalMargin,
                        std::max(icon.height(), label.height()) + 2 * verticalMargin);
    // The text area reaches the edges: keep the frame's two pixels off the text on each side.
    return content + QSize(4, 4);
}

QSize CIconButton::minimumSizeHint() const {
    return iconSize();
}
