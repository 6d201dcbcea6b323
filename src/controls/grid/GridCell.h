#pragma once

#include "controls/grid/GridCellBase.h"

#include <memory>

namespace grid {

// The ordinary cell: its own text and properties, each falling back to its default cell.
class CGridCell : public CGridCellBase {
public:
    CGridCell() = default;
    ~CGridCell() override;

    QString GetRuntimeClassName() const override { return QStringLiteral("CGridCell"); }

    void SetText(const QString& text) override { m_strText = text; }
    void SetImage(int image) override { m_nImage = image; }
    void SetData(LPARAM data) override { m_lParam = data; }
    void SetFormat(unsigned format) override { m_nFormat = format; }
    void SetTextColor(COLORREF color) override { m_crFgClr = color; }
    void SetBackColor(COLORREF color) override { m_crBkClr = color; }
    void SetFont(const LOGFONT* font) override;
    void SetMargin(unsigned margin) override { m_nMargin = margin; }
    void SetGrid(CGridCtrl* grid) override { m_pGrid = grid; }
    void SetCoords(int, int) override {}

    QString GetText() const override { return m_strText; }
    int GetImage() const override { return m_nImage; }
    LPARAM GetData() const override { return m_lParam; }
    unsigned GetFormat() const override;
    COLORREF GetTextColor() const override { return m_crFgClr; }
    COLORREF GetBackColor() const override { return m_crBkClr; }
    const LOGFONT* GetFont() const override;
    QFont GetFontObject() const override;
    CGridCtrl* GetGrid() const override { return m_pGrid; }
    QWidget* GetEditWindow() const override { return m_pEditWnd; }
    unsigned GetMargin() const override;
    bool UsesDefaultFont() const override { return !m_pFont; }
    bool IsEditing() const override { return m_bEditing; }

    void Reset() override;

    bool Edit(int row, int col, const QRect& rect, const QPoint& point, int id, int firstChar) override;
    void EndEdit() override;
    void OnEditEnded() override;

protected:
    // The in-place editor's style: the alignment that matches the cell's format.
    virtual unsigned EditorStyle() const;

private:
    QString m_strText;
    LPARAM m_lParam = 0;
    int m_nImage = -1;
    unsigned m_nFormat = ~0u;
    COLORREF m_crFgClr = platform::CLR_DEFAULT;
    COLORREF m_crBkClr = platform::CLR_DEFAULT;
    // The cell's own font, if any, with the QFont made from it once rather than at every paint.
    struct OwnFont {
        LOGFONT record;
        QFont font;
    };
    std::unique_ptr<OwnFont> m_pFont;
    unsigned m_nMargin = ~0u;
    bool m_bEditing = false;
    CGridCtrl* m_pGrid = nullptr;
    QWidget* m_pEditWnd = nullptr;
};

} // namespace grid
