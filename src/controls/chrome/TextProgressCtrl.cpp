#include "controls/chrome/TextProgressCtrl.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <utility>

using namespace platform;

namespace {

QColor resolved(COLORREF color, int systemIndex) {
    return color == CLR_DEFAULT ? sysColor(systemIndex) : toQColor(color);
}

// Far-off positions give lengths beyond int; they must not overflow the conversion.
int truncated(double value) {
    return int(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

} // namespace

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    syncAccessibleText();
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
    lastBarLength = barLength();
    lastShownText = displayText();
    syncAccessibleText();
    update();
}

int CTextProgressCtrl::SetPos(int newPosition) {
    const int previous = position;
    position = newPosition;
    const int length = barLength();
    const QString shown = displayText();
    // Only a change a person can see is worth a repaint: the bar moved a whole pixel or the
    // percentage changed.
    if (length != lastBarLength || shown != lastShownText) {
        lastBarLength = length;
        lastShownText = shown;
        syncAccessibleText();
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

COLORREF CTextProgressCtrl::setColor(COLORREF& field, COLORREF color) {
    const COLORREF previous = std::exchange(field, color);
    if (previous != color)
        update();
    return previous;
}

COLORREF CTextProgressCtrl::SetBarColor(COLORREF color) {
    return setColor(barColor, color);
}

COLORREF CTextProgressCtrl::SetBkColor(COLORREF color) {
    return setColor(bkColor, color);
}

COLORREF CTextProgressCtrl::SetTextColor(COLORREF color) {
    return setColor(textColor, color);
}

bool CTextProgressCtrl::SetShowText(bool show) {
    const bool previous = std::exchange(showText, show);
    if (previous != show)
        update();
    return previous;
}

void CTextProgressCtrl::SetWindowText(const QString& text) {
    if (text == caption)
        return;
    caption = text;
    lastShownText = displayText();
    syncAccessibleText();
    update();
}

void CTextProgressCtrl::setOrientation(Qt::Orientation orientation) {
    if (orientation == barOrientation)
        return;
    barOrientation = orientation;
    lastBarLength = -1;
    setSizePolicy(sizePolicy().transposed());
    updateGeometry();
    update();
}

QString CTextProgressCtrl::displayText() const {
    if (!caption.isEmpty())
        return caption;
    return QStringLiteral("%1%").arg(truncated(fraction() * 100));
}

double CTextProgressCtrl::fraction() const {
    if (lower == upper)
        return 0.0;
    return (double(position) - lower) / (double(upper) - lower);
}

// The length the bar runs along: the width, or the height of a vertical bar.
int CTextProgressCtrl::extent() const {
    return barOrientation == Qt::Horizontal ? width() : height();
}

int CTextProgressCtrl::barLength() const {
    return truncated(fraction() * extent());
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
    painter.setFont(font());
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

void CTextProgressCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lastBarLength = -1;
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

void CTextProgressCtrl::syncAccessibleText() {
    setAccessibleDescription(displayText());
}
