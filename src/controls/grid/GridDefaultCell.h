#pragma once

#include "controls/grid/GridCell.h"
#include "platform/DrawText.h"

namespace grid {

inline constexpr unsigned GRID_DEFAULT_FORMAT =
    platform::DT_VCENTER | platform::DT_SINGLELINE | platform::DT_NOPREFIX | platform::DT_END_ELLIPSIS;

// One of the four cells whose properties the others fall back to; it also sets the default
// row height and column width from its font. Always read-only.
class CGridDefaultCell : public CGridCell {
public:
    CGridDefaultCell();

    QString GetRuntimeClassName() const override { return QStringLiteral("CGridDefaultCell"); }

    void SetData(LPARAM) override {}
    void SetState(unsigned) override {}
    unsigned GetState() const override { return CGridCell::GetState() | GCS_READONLY; }
    void SetFont(const LOGFONT* font) override;

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    void SetWidth(int width) { m_nWidth = width; }
    void SetHeight(int height) { m_nHeight = height; }

private:
    int m_nWidth = 30;
    int m_nHeight = 10;
};

} // namespace grid
