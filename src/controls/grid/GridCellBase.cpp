#include "controls/grid/GridCellBase.h"

#include "controls/grid/GridCtrl.h"
#include "controls/grid/GridDefaultCell.h"
#include "platform/DrawText.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace grid {

using namespace platform;

namespace {

bool isVerticalFont(const LOGFONT* font) {
    return font && font->escapement == 900;
}

QPen onePixelPen(int sysColorIndex) {
    return QPen(sysColor(sysColorIndex), 1);
}

} // namespace

CGridCellBase::~CGridCellBase() = default;

CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
    CGridCtrl* grid = GetGrid();
    if (!grid)
        return nullptr;
    return grid->GetDefaultCell(IsFixedRow(), IsFixedCol());
}

void CGridCellBase::CopyFrom(const CGridCellBase& other) {
    if (&other == this)
        return;
    SetGrid(other.GetGrid());
    SetText(other.GetText());
    SetImage(other.GetImage());
    SetData(other.GetData());
    SetState(other.GetState());
    SetFormat(other.GetFormat());
    SetTextColor(other.GetTextColor());
    SetBackColor(other.GetBackColor());
    SetFont(other.UsesDefaultFont() ? nullptr : other.GetFont());
    SetMargin(other.GetMargin());
}

QSize CGridCellBase::ImageSize() const {
    CGridCtrl* grid = GetGrid();
    const int image = GetImage();
    if (!grid || image < 0 || image >= grid->GetImageList().size())
        return {};
    return grid->GetImageList().at(image).deviceIndependentSize().toSize();
}

bool CGridCellBase::Draw(QPainter* pDC, int row, int col, QRect rect, bool eraseBackground) {
    CGridCtrl* grid = GetGrid();
    if (!grid || !pDC || rect.width() <= 0 || rect.height() <= 0)
        return false;
    CGridDefaultCell* defaultCell = GetDefaultCell();
    if (!defaultCell)
        return false;
    QPainter& painter = *pDC;
    painter.save();

    COLORREF textColor = GetTextColor() == CLR_DEFAULT ? defaultCell->GetTextColor() : GetTextColor();
    if (textColor == CLR_DEFAULT)
        textColor = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF backColor = defaultCell->GetBackColor();
    if (GetBackColor() != CLR_DEFAULT) {
        backColor = GetBackColor();
        eraseBackground = true;
    }
    if (backColor == CLR_DEFAULT)
        backColor = GetSysColor(COLOR_WINDOW);

    textColor = FillBackground(painter, rect, textColor, backColor, eraseBackground);

    if (IsFixed() && grid->GetGridLines() != GGL_NONE)
        DrawFixedLook(painter, row, col, rect);

    painter.setFont(GetFontObject());
    const int margin = int(GetMargin());
    rect.adjust(margin, margin, 1 - margin, 1 - margin);

    const QSize imageSize = ImageSize();
    if (imageSize.isValid() && imageSize.width() <= rect.width() && imageSize.height() <= rect.height())
        painter.drawPixmap(rect.topLeft(), grid->GetImageList().at(GetImage()));

    if (row == 0 && col == grid->GetSortColumn())
        DrawSortArrow(painter, rect);

    GetTextRect(&rect);
    rect.adjust(0, 0, 1, 1);
    painter.setPen(toQColor(textColor));
    platform::DrawText(painter, GetShownText(), rect, GetFormat() | DT_NOPREFIX);
    painter.restore();
    return true;
}

// Fills the cell, up to and including its grid-line pixels, in the colours of its state and
// frames the focus cell; returns the colour its text takes.
COLORREF CGridCellBase::FillBackground(QPainter& painter, QRect& rect, COLORREF textColor, COLORREF backColor,
                                       bool erase) const {
    const bool gridLines = GetGrid()->GetGridLines() != GGL_NONE;
    if (IsFocused() || IsDropHilited()) {
        if (IsSelected()) {
            backColor = GetSysColor(COLOR_HIGHLIGHT);
            textColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
            erase = true;
        }
        rect.adjust(0, 0, 1, 1);
        if (erase)
            FillSolidRect(painter, rect, backColor);
        if (gridLines)
            rect.adjust(0, 0, -1, -1);
        if (GetGrid()->GetFrameFocusCell())
            FrameRect(painter, rect, QBrush(toQColor(textColor)));
        if (!gridLines)
            rect.adjust(0, 0, -1, -1);
    } else if (IsSelected()) {
        FillSolidRect(painter, rect.adjusted(0, 0, 1, 1), GetSysColor(COLOR_HIGHLIGHT));
        textColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (erase) {
        FillSolidRect(painter, rect.adjusted(0, 0, 1, 1), backColor);
    }
    return textColor;
}

// Fixed cells look raised, or sunken in the focus cell's row and column.
void CGridCellBase::DrawFixedLook(QPainter& painter, int row, int col, QRect& rect) const {
    CGridCtrl* grid = GetGrid();
    const CCellID focus = grid->GetFocusCell();
    const int left = rect.x();
    const int top = rect.y();
    const int right = rect.x() + rect.width();
    const int bottom = rect.y() + rect.height();
    if (grid->GetTrackFocusCell() && focus.IsValid() && (focus.row == row || focus.col == col)) {
        DrawEdge(painter, rect.adjusted(0, 0, 1, 1), BDR_SUNKENINNER, BF_RECT);
    } else {
        painter.setPen(onePixelPen(COLOR_BTNHIGHLIGHT));
        painter.drawLine(right, top, left, top);
        painter.drawLine(left, top, left, bottom);
        painter.setPen(onePixelPen(COLOR_3DDKSHADOW));
        painter.drawLine(right, top, right, bottom);
        painter.drawLine(right, bottom, left, bottom);
    }
    rect.adjust(1, 1, -1, -1);
}

void CGridCellBase::DrawSortArrow(QPainter& painter, QRect& rect) const {
    CGridCtrl* grid = GetGrid();
    int size = QFontMetrics(painter.font()).height() - 4;
    if (size >= rect.height())
        size = rect.height() - 4;
    const int left = rect.x();
    const int right = rect.x() + rect.width();
    if (size <= 0 || size + left >= right)
        return;
    const bool vertical = isVerticalFont(GetFont());
    const int x = vertical ? (right - size + left) / 2 : right - size;
    const int bottom = rect.y() + rect.height() - 2;
    const int top = bottom - size;
    const int middle = x + size / 2;
    if (grid->GetSortAscending()) {
        painter.setPen(onePixelPen(COLOR_BTNSHADOW));
        painter.drawLine(middle, top, x, bottom);
        painter.setPen(onePixelPen(COLOR_BTNHIGHLIGHT));
        painter.drawLine(x, bottom, x + size, bottom);
        painter.drawLine(x + size, bottom, middle, top);
    } else {
        painter.setPen(onePixelPen(COLOR_BTNSHADOW));
        painter.drawLine(x + size, top, x, top);
        painter.drawLine(x, top, middle, bottom);
        painter.setPen(onePixelPen(COLOR_BTNHIGHLIGHT));
        painter.drawLine(middle, bottom, x + size, top);
    }
    if (!vertical)
        rect.setWidth(rect.width() - size);
}

bool CGridCellBase::GetTextRect(QRect* rect) {
    const QSize imageSize = ImageSize();
    if (imageSize.isValid())
        rect->setLeft(rect->left() + int(GetMargin()) + imageSize.width() + 1);
    return true;
}

QSize CGridCellBase::MeasureText(const QString& text, QPainter*) {
    if (!GetDefaultCell())
        return {};
    // Text is measured by the font alone, so no painter is needed; an empty text is one empty
    // line, which leaves the margins (and what the cell draws besides) to decide a size.
    const QFont font = GetFontObject();
    const QFontMetrics metrics(font);
    const unsigned format = GetFormat();
    QSize size;
    if (text.isEmpty() || !(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) {
        size = QSize(metrics.horizontalAdvance(text), metrics.height());
    } else {
        int widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
        QPainter scratchPainter(&scratch);
        scratchPainter.setFont(font);
        QRect bounds(0, 0, widest + 1, 0);
        platform::DrawText(scratchPainter, text, bounds, format | DT_CALCRECT);
        size = bounds.size();
    }
    const int margin = int(GetMargin());
    size += QSize(2 * margin, 2 * margin);
    const LOGFONT* logFont = GetFont();
    if (logFont && (logFont->escapement == 900 || logFont->escapement == -900))
        size = QSize(size.height(), size.width() + 4 * margin);
    return size;
}

QSize CGridCellBase::MeasureCell(QPainter* pDC) {
    const QSize textSize = MeasureText(GetShownText(), pDC);
    const int margin = int(GetMargin());
    QSize imageSize(0, 0);
    if (const QSize image = ImageSize(); image.isValid()) {
        imageSize.setWidth(image.width() + (2 * margin < textSize.width() ? margin : 0));
        imageSize.setHeight(image.height() + 2 * margin);
    }
    QSize size(textSize.width() + imageSize.width() + 1, std::max(imageSize.height(), textSize.height()) + 1);
    if (IsFixed())
        size += QSize(1, 1);
    return size;
}

bool CGridCellBase::Edit(int, int, const QRect&, const QPoint&, int, int) {
    return false;
}

bool CGridCellBase::ValidateEdit(const QString&) {
    return true;
}

void CGridCellBase::OnClick(QPoint) {}
void CGridCellBase::OnClickDown(QPoint) {}
void CGridCellBase::OnRClick(QPoint) {}
void CGridCellBase::OnDblClick(QPoint) {}

} // namespace grid
