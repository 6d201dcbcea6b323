#include "controls/chrome/TextLabel.h"

#include "platform/DrawText.h"
#include "platform/FontRecord.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

constexpr int FW_HEAVY = 900;

// "MS Sans Serif" is a bitmap face whose smallest size has a 13-pixel cell; Windows never drew
// it smaller, so a label asking for less was shown at that size. Keep that look here.
int effectiveCellHeight(const QString& faceName, int height) {
    constexpr int smallestRasterCell = 13;
    if (faceName.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0 && height > 0)
        return std::max(height, smallestRasterCell);
    return height;
}

} // namespace

CTextLabel::CTextLabel(QWidget* parent) : CTextLabel(QString(), parent) {}

CTextLabel::CTextLabel(const QString& initialText, QWidget* parent) : QWidget(parent), text(initialText) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setAccessibleName(initialText);
}

void CTextLabel::SetWindowText(const QString& newText) {
    if (newText == text)
        return;
    text = newText;
    setAccessibleName(text);
    textGeometryChanged();
}

void CTextLabel::SetFontBold(bool value) {
    setTextSetting(bold, value);
}

void CTextLabel::SetFontItalic(bool value) {
    setTextSetting(italic, value);
}

void CTextLabel::SetFontUnderline(bool value) {
    setTextSetting(underline, value);
}

void CTextLabel::SetFontStrikeOut(bool value) {
    setTextSetting(strikeOut, value);
}

void CTextLabel::SetFontAntialiased(bool value) {
    setTextSetting(antialiased, value);
}

void CTextLabel::SetCentered(bool value) {
    setTextSetting(centered, value);
}

void CTextLabel::SetRightAligned(bool value) {
    setTextSetting(rightAligned, value);
}

void CTextLabel::SetFontName(const QString& name) {
    setTextSetting(faceName, name);
}

void CTextLabel::SetFontSize(int height) {
    setTextSetting(fontHeight, height);
}

void CTextLabel::SetTextColor(COLORREF color) {
    if (color == textColor)
        return;
    textColor = color;
    update();
}

void CTextLabel::SetBkColor(COLORREF color) {
    if (color == bkColor)
        return;
    bkColor = color;
    update();
}

QFont CTextLabel::labelFont() const {
    if (!labelFontCache)
        labelFontCache = buildLabelFont();
    return *labelFontCache;
}

QFont CTextLabel::buildLabelFont() const {
    FontRecord record;
    record.height = effectiveCellHeight(faceName, fontHeight);
    record.weight = bold ? FW_HEAVY : FontRecord::FW_NORMAL;
    record.italic = italic;
    record.underline = underline;
    record.strikeOut = strikeOut;
    record.faceName = faceName;
    QFont font = record.toQFont();
    font.setStyleStrategy(antialiased ? QFont::PreferAntialias : QFont::PreferDefault);
    return font;
}

unsigned CTextLabel::textFormat() const {
    const unsigned alignment = centered ? DT_CENTER : rightAligned ? DT_RIGHT : DT_LEFT;
    return DT_WORDBREAK | DT_NOPREFIX | alignment;
}

void CTextLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (fillsBackground())
        FillSolidRect(painter, rect(), bkColor);
    painter.setFont(textFont());
    painter.setPen(paintTextColor());
    QRect bounds = rect();
    DrawText(painter, shownText(), bounds, textFormat());
}

void CTextLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange)
        textGeometryChanged();
}

void CTextLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CTextLabel::textGeometryChanged() {
    labelFontCache.reset();
    updateGeometry();
    update();
}

// Measured by the same wrapping the painting uses, on a device of the widget's resolution.
QSize CTextLabel::textSize(int wrapWidth) const {
    QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    device.setDotsPerMeterX(int(std::lround(logicalDpiX() / 0.0254)));
    device.setDotsPerMeterY(int(std::lround(logicalDpiY() / 0.0254)));
    QPainter painter(&device);
    painter.setFont(textFont());
    QRect bounds(0, 0, wrapWidth, 0);
    DrawText(painter, shownText(), bounds, textFormat() | DT_CALCRECT);
    return bounds.size();
}

QSize CTextLabel::sizeHint() const {
    const QSize size = textSize(QWIDGETSIZE_MAX);
    return size.isEmpty() ? QSize(0, QFontMetrics(textFont()).height()) : size;
}

QSize CTextLabel::minimumSizeHint() const {
    const QFontMetrics fm(textFont());
    int widestWord = 0;
    // Compiled once: layouts ask for the minimum size often.
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = shownText().split(blanks, Qt::SkipEmptyParts);
    for (const QString& word : words)
        widestWord = std::max(widestWord, fm.horizontalAdvance(word));
    return QSize(widestWord, fm.height());
}

int CTextLabel::heightForWidth(int width) const {
    return std::max(textSize(width).height(), QFontMetrics(textFont()).height());
}
