#include "platform/DrawText.h"

#include <QFontMetrics>
#include <QImage>
#include <QList>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace platform {

namespace {

const QString ellipsis = QStringLiteral("...");

// One line to draw: its text and the positions of its underlined mnemonics.
struct TextLine {
    QString text;
    QList<qsizetype> marks;
};

// Removes the '&' marks. Returns the plain text and the positions of the marked characters.
TextLine stripPrefixes(const QString& text) {
    TextLine result;
    result.text.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('&')) {
            result.text += c;
        } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&')) {
            result.text += c;
            ++i;
        } else if (i + 1 < text.size()) {
            result.marks.append(result.text.size());
        }
        // A lone '&' at the very end marks nothing and is dropped.
    }
    return result;
}

TextLine slice(const TextLine& line, qsizetype from, qsizetype length) {
    TextLine part;
    part.text = line.text.mid(from, length);
    for (qsizetype mark : line.marks) {
        if (mark >= from && mark < from + length)
            part.marks.append(mark - from);
    }
    return part;
}

class Measure {
public:
    Measure(const QFontMetrics& metrics, bool expandTabs)
        : fm(metrics), expand(expandTabs), tabWidth(std::max(1, 8 * metrics.averageCharWidth())) {}

    int width(const QString& text) const {
        if (!text.contains(QLatin1Char('\t')))
            return fm.horizontalAdvance(text);
        int x = 0;
        const QStringList pieces = text.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            x += fm.horizontalAdvance(pieces.at(i));
            if (i + 1 < pieces.size())
                x = nextTab(x);
        }
        return x;
    }

    // Where the next piece starts after a tab at x; unexpanded tabs count as a space.
    int nextTab(int x) const {
        return expand ? (x / tabWidth + 1) * tabWidth : x + fm.horizontalAdvance(QLatin1Char(' '));
    }

    const QFontMetrics& fm;

private:
    bool expand;
    int tabWidth;
};

QList<TextLine> splitLines(const TextLine& all) {
    QList<TextLine> lines;
    qsizetype start = 0;
    const QString& text = all.text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.append(slice(all, start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    lines.append(slice(all, start, text.size() - start));
    return lines;
}

// Breaks one paragraph at spaces so that each piece fits maxWidth. A single word too wide
// stays whole on its line; with DT_EDITCONTROL it is broken between characters as an edit
// control does.
QList<TextLine> wrap(const TextLine& paragraph, int maxWidth, const Measure& measure, bool breakWords) {
    QList<TextLine> lines;
    const QString& text = paragraph.text;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (true) {
        if (measure.width(text.mid(pos)) <= maxWidth) {
            lines.append(slice(paragraph, pos, n - pos));
            break;
        }
        qsizetype end = -1;
        for (qsizetype i = pos + 1; i < n; ++i) {
            if (text.at(i) != QLatin1Char(' ') || text.at(i - 1) == QLatin1Char(' '))
                continue;
            if (measure.width(text.mid(pos, i - pos)) > maxWidth)
                break;
            end = i;
        }
        if (end < 0) {
            if (breakWords) {
                end = pos + 1;
                while (end < n && text.at(end) != QLatin1Char(' ') &&
                       measure.width(text.mid(pos, end + 1 - pos)) <= maxWidth)
                    ++end;
            } else {
                end = text.indexOf(QLatin1Char(' '), pos + 1);
                if (end < 0)
                    end = n;
            }
        }
        lines.append(slice(paragraph, pos, end - pos));
        pos = end;
        while (pos < n && text.at(pos) == QLatin1Char(' '))
            ++pos;
        if (pos >= n)
            break;
    }
    return lines;
}

// The longest prefix of text that fits maxWidth with "..." after it.
qsizetype fittingPrefix(const QString& text, const QString& after, int maxWidth, const Measure& measure) {
    qsizetype length = text.size();
    while (length > 0 && measure.width(text.left(length) + ellipsis + after) > maxWidth)
        --length;
    return length;
}

TextLine elide(const TextLine& line, int maxWidth, unsigned format, const Measure& measure) {
    const QString& text = line.text;
    qsizetype keep = -1;
    QString tail;
    if (format & DT_PATH_ELLIPSIS) {
        const qsizetype slash =
            std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
        if (slash > 0 && measure.width(ellipsis + text.mid(slash)) <= maxWidth) {
            tail = text.mid(slash);
            keep = fittingPrefix(text.left(slash), tail, maxWidth, measure);
        }
    } else if (format & DT_WORD_ELLIPSIS) {
        for (qsizetype i = text.size() - 1; i > 0; --i) {
            if (text.at(i) == QLatin1Char(' ') && text.at(i - 1) != QLatin1Char(' ') &&
                measure.width(text.left(i) + ellipsis) <= maxWidth) {
                keep = i;
                break;
            }
        }
    }
    if (keep < 0) {
        tail.clear();
        keep = fittingPrefix(text, QString(), maxWidth, measure);
    }
    TextLine result = slice(line, 0, keep);
    result.text += ellipsis + tail;
    return result;
}

void drawLine(QPainter& painter, const TextLine& line, int x, int baseline, const Measure& measure,
              bool drawText, bool drawMarks) {
    if (drawText) {
        if (!line.text.contains(QLatin1Char('\t'))) {
            painter.drawText(QPoint(x, baseline), line.text);
        } else {
            int offset = 0;
            const QStringList pieces = line.text.split(QLatin1Char('\t'));
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                painter.drawText(QPoint(x + offset, baseline), pieces.at(i));
                offset += measure.fm.horizontalAdvance(pieces.at(i));
                if (i + 1 < pieces.size())
                    offset = measure.nextTab(offset);
            }
        }
    }
    if (!drawMarks)
        return;
    const int thickness = std::max(1, measure.fm.lineWidth());
    const int y = baseline + std::max(1, measure.fm.underlinePos());
    for (qsizetype mark : line.marks) {
        if (mark >= line.text.size())
            continue;
        const int left = x + measure.width(line.text.left(mark));
        const int right = x + measure.width(line.text.left(mark + 1));
        painter.fillRect(QRect(left, y, std::max(1, right - left), thickness), painter.pen().color());
    }
}

} // namespace

int DrawText(QPainter& painter, const QString& text, QRect& rect, unsigned format, QString* modified) {
    if (modified && (format & DT_MODIFYSTRING))
        *modified = text;
    if (text.isEmpty()) {
        if (format & DT_CALCRECT)
            rect.setSize(QSize(0, 0));
        return 0;
    }

    const QFontMetrics fm = painter.fontMetrics();
    const Measure measure(fm, format & DT_EXPANDTABS);
    const bool singleLine = format & DT_SINGLELINE;

    TextLine all;
    if (format & DT_NOPREFIX)
        all.text = text;
    else
        all = stripPrefixes(text);

    QList<TextLine> lines;
    if (singleLine) {
        // Line ends do not break a single line; they show as spaces.
        all.text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines.append(all);
    } else {
        for (const TextLine& paragraph : splitLines(all)) {
            if (format & DT_WORDBREAK)
                lines.append(wrap(paragraph, rect.width(), measure, format & DT_EDITCONTROL));
            else
                lines.append(paragraph);
        }
    }

    const bool elideLines = format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
    bool elided = false;
    int widest = 0;
    for (TextLine& line : lines) {
        if (elideLines && measure.width(line.text) > rect.width()) {
            line = elide(line, rect.width(), format, measure);
            elided = true;
        }
        widest = std::max(widest, measure.width(line.text));
    }
    if (modified && (format & DT_MODIFYSTRING) && elided) {
        QStringList texts;
        for (const TextLine& line : lines)
            texts.append(line.text);
        *modified = texts.join(QLatin1Char('\n'));
    }

    const int lineHeight = fm.height() + ((format & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
    const int textHeight = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        rect.setSize(QSize(widest, textHeight));
        return textHeight;
    }

    int y = rect.top();
    int result = textHeight;
    if (singleLine && (format & (DT_VCENTER | DT_BOTTOM))) {
        y = (format & DT_VCENTER) ? rect.top() + (rect.height() - lineHeight) / 2
                                  : rect.top() + rect.height() - lineHeight;
        result = y - rect.top() + lineHeight;
    }

    painter.save();
    if (!(format & DT_NOCLIP))
        painter.setClipRect(rect, Qt::IntersectClip);
    const bool drawText = !(format & DT_PREFIXONLY);
    const bool drawMarks = !(format & (DT_NOPREFIX | DT_HIDEPREFIX));
    const int bottom = rect.top() + rect.height();
    for (const TextLine& line : lines) {
        if ((format & DT_EDITCONTROL) && y + lineHeight > bottom && y != rect.top())
            break;
        const int width = measure.width(line.text);
        int x = rect.left();
        if (format & DT_CENTER)
            x += (rect.width() - width) / 2;
        else if (format & DT_RIGHT)
            x += rect.width() - width;
        drawLine(painter, line, x, y + fm.ascent(), measure, drawText, drawMarks);
        y += lineHeight;
    }
    painter.restore();
    return result;
}

namespace {

struct Ring {
    QColor topLeft;
    QColor bottomRight;
};

void drawRing(QPainter& painter, const QRect& r, const Ring& ring, unsigned sides) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    if (sides & BF_LEFT)
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), ring.topLeft);
    if (sides & BF_TOP)
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), ring.topLeft);
    if (sides & BF_RIGHT)
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), ring.bottomRight);
    if (sides & BF_BOTTOM)
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), ring.bottomRight);
}

QRect shrink(const QRect& r, unsigned sides) {
    return r.adjusted((sides & BF_LEFT) ? 1 : 0, (sides & BF_TOP) ? 1 : 0, (sides & BF_RIGHT) ? -1 : 0,
                      (sides & BF_BOTTOM) ? -1 : 0);
}

} // namespace

bool DrawEdge(QPainter& painter, QRect& rect, unsigned edge, unsigned flags) {
    QList<Ring> rings;
    if (edge & BDR_RAISEDOUTER)
        rings.append({sysColor(COLOR_3DLIGHT), sysColor(COLOR_3DDKSHADOW)});
    else if (edge & BDR_SUNKENOUTER)
        rings.append({sysColor(COLOR_BTNSHADOW), sysColor(COLOR_BTNHIGHLIGHT)});
    if (edge & BDR_RAISEDINNER)
        rings.append({sysColor(COLOR_BTNHIGHLIGHT), sysColor(COLOR_BTNSHADOW)});
    else if (edge & BDR_SUNKENINNER)
        rings.append({sysColor(COLOR_3DDKSHADOW), sysColor(COLOR_3DLIGHT)});

    if (flags & (BF_MONO | BF_FLAT)) {
        const bool mono = flags & BF_MONO;
        for (qsizetype i = 0; i < rings.size(); ++i) {
            const QColor color = i == 0 ? sysColor(mono ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW)
                                        : sysColor(mono ? COLOR_WINDOW : COLOR_BTNFACE);
            rings[i] = {color, color};
        }
    }

    const unsigned sides = flags & BF_RECT;
    QRect inside = rect;
    for (const Ring& ring : rings) {
        drawRing(painter, inside, ring, sides);
        inside = shrink(inside, sides);
    }
    if ((flags & BF_MIDDLE) && inside.isValid())
        painter.fillRect(inside, sysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    if (flags & BF_ADJUST)
        rect = inside;
    return true;
}

bool DrawEdge(QPainter& painter, const QRect& rect, unsigned edge, unsigned flags) {
    QRect copy = rect;
    return DrawEdge(painter, copy, edge, flags);
}

namespace {

void drawCheckMark(QPainter& painter, const QRect& box, const QColor& color) {
    // Three strokes of a classic tick, scaled to the box: down-right, then up-right.
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal stroke = std::max<qreal>(1.5, w / 6.0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(color, stroke, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPointF points[] = {{box.left() + w * 0.22, box.top() + h * 0.50},
                              {box.left() + w * 0.42, box.top() + h * 0.70},
                              {box.left() + w * 0.78, box.top() + h * 0.28}};
    painter.drawPolyline(points, 3);
    painter.restore();
}

void drawArrow(QPainter& painter, const QRect& rect, unsigned direction, const QColor& color) {
    const int extent = std::min(rect.width(), rect.height());
    const int half = std::max(1, (extent - 4) / 4); // the triangle's height less one
    const QPoint c = rect.center();
    QPolygon triangle;
    switch (direction) {
    case DFCS_SCROLLUP:
        triangle << QPoint(c.x(), c.y() - half / 2 - 1) << QPoint(c.x() - half, c.y() + half - half / 2 - 1)
                 << QPoint(c.x() + half, c.y() + half - half / 2 - 1);
        break;
    case DFCS_SCROLLDOWN:
        triangle << QPoint(c.x(), c.y() + half - half / 2) << QPoint(c.x() - half, c.y() - half / 2)
                 << QPoint(c.x() + half, c.y() - half / 2);
        break;
    case DFCS_SCROLLLEFT:
        triangle << QPoint(c.x() - half / 2 - 1, c.y()) << QPoint(c.x() + half - half / 2 - 1, c.y() - half)
                 << QPoint(c.x() + half - half / 2 - 1, c.y() + half);
        break;
    default:
        triangle << QPoint(c.x() + half - half / 2, c.y()) << QPoint(c.x() - half / 2, c.y() - half)
                 << QPoint(c.x() - half / 2, c.y() + half);
        break;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(color);
    painter.setBrush(color);
    painter.drawPolygon(triangle);
    painter.restore();
}

} // namespace

bool DrawFrameControl(QPainter& painter, const QRect& rect, unsigned type, unsigned state) {
    const bool inactive = state & DFCS_INACTIVE;
    const bool pushed = state & DFCS_PUSHED;
    if (type == DFC_BUTTON && (state & 0xFF) == DFCS_BUTTONCHECK) {
        const int side = std::min(rect.width(), rect.height());
        QRect box(0, 0, side, side);
        box.moveCenter(rect.center());
        QRect inside = box.adjusted(1, 1, -1, -1);
        if (state & DFCS_MONO)
            FrameRect(painter, box, sysColor(COLOR_WINDOWFRAME));
        else if (state & DFCS_FLAT)
            FrameRect(painter, box, sysColor(COLOR_BTNSHADOW));
        else {
            inside = box;
            DrawEdge(painter, inside, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        }
        painter.fillRect(inside, sysColor((inactive || pushed) ? COLOR_BTNFACE : COLOR_WINDOW));
        if (state & DFCS_CHECKED)
            drawCheckMark(painter, inside, sysColor(inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        return true;
    }
    if (type == DFC_BUTTON && (state & 0xFF) == DFCS_BUTTONPUSH) {
        painter.fillRect(rect, sysColor(COLOR_BTNFACE));
        if (state & DFCS_FLAT)
            FrameRect(painter, rect, sysColor(COLOR_BTNSHADOW));
        else
            DrawEdge(painter, rect, (pushed || (state & DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        return true;
    }
    if (type == DFC_SCROLL && (state & 0xFF) <= DFCS_SCROLLRIGHT) {
        painter.fillRect(rect, sysColor(COLOR_BTNFACE));
        if (state & DFCS_FLAT)
            FrameRect(painter, rect, sysColor(COLOR_BTNSHADOW));
        else if (pushed)
            DrawEdge(painter, rect, EDGE_RAISED, BF_RECT | BF_FLAT);
        else
            DrawEdge(painter, rect, EDGE_RAISED, BF_RECT);
        // A pressed arrow moves by a pixel; a disabled one is grey with a light shadow.
        const QRect arrowRect = pushed ? rect.translated(1, 1) : rect;
        const unsigned direction = state & 0xFF;
        if (inactive) {
            drawArrow(painter, arrowRect.translated(1, 1), direction, sysColor(COLOR_BTNHIGHLIGHT));
            drawArrow(painter, arrowRect, direction, sysColor(COLOR_GRAYTEXT));
        } else {
            drawArrow(painter, arrowRect, direction, sysColor(COLOR_BTNTEXT));
        }
        return true;
    }
    return false;
}

void FrameRect(QPainter& painter, const QRect& rect, const QBrush& brush) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), brush);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), brush);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), brush);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), brush);
}

void DrawFocusRect(QPainter& painter, const QRect& rect) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    painter.setPen(QPen(sysColor(COLOR_WINDOWTEXT), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void FillSolidRect(QPainter& painter, const QRect& rect, COLORREF color) {
    painter.fillRect(rect, toQColor(color));
}

void Draw3dRect(QPainter& painter, const QRect& rect, COLORREF topLeft, COLORREF bottomRight) {
    drawRing(painter, rect, {toQColor(topLeft), toQColor(bottomRight)}, BF_RECT);
}

bool PatBlt(QPainter& painter, const QRect& rect, const QBrush& brush, unsigned rop) {
    switch (rop) {
    case PATCOPY:
        painter.fillRect(rect, brush);
        return true;
    case BLACKNESS:
        painter.fillRect(rect, Qt::black);
        return true;
    case WHITENESS:
        painter.fillRect(rect, Qt::white);
        return true;
    case PATINVERT:
    case DSTINVERT: {
        QPaintEngine* engine = painter.paintEngine();
        if (!engine || !engine->hasFeature(QPaintEngine::RasterOpModes))
            return false;
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(rect, rop == DSTINVERT ? QBrush(Qt::white) : brush);
        painter.restore();
        return true;
    }
    default:
        return false;
    }
}

QBrush halftoneBrush() {
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, ((x + y) % 2 == 0) ? 0xFFFFFFFFu : 0xFF000000u);
    }
    return QBrush(pattern);
}

} // namespace platform
