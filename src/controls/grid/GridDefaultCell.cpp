#include "controls/grid/GridDefaultCell.h"

#include <QFontMetrics>

namespace grid {

CGridDefaultCell::CGridDefaultCell() {
    SetTextColor(platform::CLR_DEFAULT);
    SetBackColor(platform::CLR_DEFAULT);
    SetFormat(GRID_DEFAULT_FORMAT);
    const LOGFONT messageFont = LOGFONT::systemFont(LOGFONT::SystemRole::Message);
    SetFont(&messageFont);
}

// The default sizes follow the font: one blank of margin, a 14-character sample for the
// width, one and a half times its height for the row.
void CGridDefaultCell::SetFont(const LOGFONT* font) {
    if (!font)
        return;
    CGridCell::SetFont(font);
    const QFontMetrics metrics(GetFontObject());
    SetMargin(unsigned(metrics.horizontalAdvance(QLatin1Char(' '))));
    m_nWidth = metrics.horizontalAdvance(QStringLiteral(" XXXXXXXXXXXX "));
    m_nHeight = metrics.height() * 3 / 2;
}

} // namespace grid
