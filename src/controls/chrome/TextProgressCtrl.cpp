#include "controls/chrome/TextProgressCtrl.h"

#include "controls/chrome/TextProgressAccessible.h"
#include "platform/AccessibleFactory.h"
#include "platform/DrawText.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <climits>

using namespace platform;

namespace {

QColor resolved(COLORREF color, int systemIndex) {
    return color == CLR_DEFAULT ? sysColor(systemIndex) : toQColor(color);
}

constexpr unsigned textFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// Far-off positions give lengths beyond int; they must not overflow the conversion.
int clampedToInt(qint64 value) {
    return int(std::clamp(value, qint64(INT_MIN), qint64(INT_MAX)));
}

} // namespace

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent) : QWidget(parent) {
    installAccessibleFactory<CTextProgressCtrl, CTextProgressAccessible>();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    announceChange();
}

void CTextProgressCtrl::SetRange(short newLower, short newUpper) {
    setBounds(newLower, newUpper);
}

void CTextProgressCtrl::SetRange32(int newLower, int newUpper) {
    setBounds(newLower, newUpper);
}

void CTextProgressCtrl::GetRange(int& lowerBound, int& upperBound) const {
    lowerBound = lower;
    upperBound = upper;
}

int CTextProgressCtrl::GetRange(bool selectLow) const {
    return selectLow ? lower : upper;
}

void CTextProgressCtrl::setBounds(int newLower, int newUpper) {
    if (newLower == lower && newUpper == upper)
        return;
    lower = newLower;
    upper = newUpper;
    // The bar and the percentage depend on the range: show the new share at once.
    announceChange();
    update();
}

int CTextProgressCtrl::SetPos(int newPosition) {
    const int previous = position;
    const int previousLength = barLength();
    const QString previousText = displayText();
    position = newPosition;
    // Only a change a person can see is worth a repaint: the bar moved a whole pixel or the
    // percentage changed.
    if (barLength() != previousLength || displayText() != previousText) {
        announceChange();
        repaint();
    }
    return previous;
}

int CTextProgressCtrl::OffsetPos(int delta) {
    return SetPos(position + delta);
}

int CTextProgressCtrl::SetStep(int newStep) {
    return std::exchange(step, newStep);
}

int CTextProgressCtrl::StepIt() {
    return SetPos(position + step);
}

COLORREF CTextProgressCtrl::SetBarColor(COLORREF color) {
    return replaceLookSetting(barColor, color);
}

COLORREF CTextProgressCtrl::SetBkColor(COLORREF color) {
    return replaceLookSetting(bkColor, color);
}

COLORREF CTextProgressCtrl::SetTextColor(COLORREF color) {
    return replaceLookSetting(textColor, color);
}

bool CTextProgressCtrl::SetShowText(bool show) {
    return replaceLookSetting(showText, show);
}

void CTextProgressCtrl::SetWindowText(const QString& text) {
    if (text == caption)
        return;
    caption = text;
    announceChange();
    update();
}

void CTextProgressCtrl::setOrientation(Qt::Orientation orientation) {
    if (orientation == barOrientation)
        return;
    barOrientation = orientation;
    setSizePolicy(sizePolicy().transposed());
    updateGeometry();
    update();
}

QString CTextProgressCtrl::displayText() const {
    if (!caption.isEmpty())
        return caption;
    return QStringLiteral("%1%").arg(shareOf(100));
}

// The position's share of the range, scaled to `whole` and truncated toward zero. In whole
// numbers: in floating point 29 of 100 came out as 28.999... and showed as 28%.
int CTextProgressCtrl::shareOf(int whole) const {
    if (lower == upper)
        return 0;
    return clampedToInt((qint64(position) - lower) * whole / (qint64(upper) - lower));
}

// The length the bar runs along: the width, or the height of a vertical bar.
int CTextProgressCtrl::extent() const {
    return barOrientation == Qt::Horizontal ? width() : height();
}

int CTextProgressCtrl::barLength() const {
    return shareOf(extent());
}

int CTextProgressCtrl::splitOffset() const {
    if (!hasValidRange())
        return 0;
    return std::clamp(barLength(), 0, extent());
}

QRect CTextProgressCtrl::filledRect() const {
    const int length = splitOffset();
    if (barOrientation == Qt::Horizontal)
        return QRect(0, 0, length, height());
    return QRect(0, height() - length, width(), length);
}

QRect CTextProgressCtrl::emptyRect() const {
    const int length = splitOffset();
    if (barOrientation == Qt::Horizontal)
        return QRect(length, 0, width() - length, height());
    return QRect(0, 0, width(), height() - length);
}

void CTextProgressCtrl::paintEvent(QPaintEvent*) {
    // Qt validates the update region whatever is drawn, so an empty or inverted range leaves
    // the widget undrawn without repainting it again and again.
    if (!hasValidRange())
        return;
    QPainter painter(this);
    const QColor bar = resolved(barColor, COLOR_HIGHLIGHT);
    const QColor background = resolved(bkColor, COLOR_WINDOW);
    const QRect filled = filledRect();
    const QRect empty = emptyRect();
    painter.fillRect(filled, bar);
    painter.fillRect(empty, background);
    if (!showText || barOrientation != Qt::Horizontal)
        return;

    const QString text = displayText();
    const auto drawClipped = [&](const QRect& clip, const QColor& color) {
        painter.save();
        painter.setClipRect(clip);
        painter.setPen(color);
        QRect bounds = rect();
        DrawText(painter, text, bounds, textFormat);
        painter.restore();
    };
    drawClipped(filled, textColor == CLR_DEFAULT ? background : toQColor(textColor));
    drawClipped(empty, textColor == CLR_DEFAULT ? bar : toQColor(textColor));
}

void CTextProgressCtrl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateGeometry();
}

QSize CTextProgressCtrl::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const int textWidth =
        std::max(fm.horizontalAdvance(displayText()), fm.horizontalAdvance(QStringLiteral("100%")));
    const QSize hint(textWidth + 4 * fm.averageCharWidth(), fm.height() + 2);
    return barOrientation == Qt::Horizontal ? hint : hint.transposed();
}

QSize CTextProgressCtrl::minimumSizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const QSize hint(fm.horizontalAdvance(QStringLiteral("100%")), fm.height());
    return barOrientation == Qt::Horizontal ? hint : hint.transposed();
}

// Assistive tools read the text as the description, and hear of every change a person sees.
void CTextProgressCtrl::announceChange() {
    setAccessibleDescription(displayText());
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(this, position);
    QAccessible::updateAccessibility(&event);
}
