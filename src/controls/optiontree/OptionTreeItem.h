#pragma once

#include "platform/Colors.h"

#include <QPoint>
#include <QRect>
#include <QString>

class COptionTree;
class QFont;
class QFontMetrics;
class QPainter;

// Row kinds.
inline constexpr int OT_KIND_PLAIN = 1;
inline constexpr int OT_KIND_COMBOBOX = 4;
inline constexpr int OT_KIND_SPINNER = 9;
inline constexpr int OT_KIND_FILE = 11;

// One row of the option tree: texts, links, geometry, colours and flags, the label side of
// the drawing, and the contract through which the tree drives a kind's in-place control.
// Used directly it is a row without a value (the category headers). Colours left at
// CLR_DEFAULT follow the palette at paint time.
class COptionTreeItem {
public:
    static constexpr int DEFAULT_HEIGHT = 21;

    COptionTreeItem();
    virtual ~COptionTreeItem();
    COptionTreeItem(const COptionTreeItem&) = delete;
    COptionTreeItem& operator=(const COptionTreeItem&) = delete;

    void SetLabelText(const QString& text) { label = text; }
    const QString& GetLabelText() const { return label; }
    // The tree's description pane grows to hold the longest help text.
    void SetInfoText(const QString& text);
    const QString& GetInfoText() const { return info; }

    void SetHeaderBackColor(platform::COLORREF color) { headerBackColor = color; }
    void SetLabelTextColor(platform::COLORREF color) { labelTextColor = color; }
    platform::COLORREF GetValueBackColor() const;
    platform::COLORREF GetValueTextColor() const;
    platform::COLORREF GetHeaderBackColor() const;
    platform::COLORREF GetLabelTextColor() const;
    platform::COLORREF GetLabelBackColor() const;

    void SetReadOnly(bool flag) { readOnly = flag; }
    bool IsReadOnly() const { return readOnly; }
    // Without an explicit height the row takes the tree's standard height (21 pixels at the
    // usual font sizes, more for large fonts).
    void SetHeight(int pixels) { height = pixels; }
    int GetHeight() const;
    void SetLabelAtTop(bool flag) { labelAtTop = flag; }
    bool IsLabelAtTop() const { return labelAtTop; }
    int GetKind() const { return kind; }

    COptionTreeItem* GetParent() const { return parent; }
    void SetParent(COptionTreeItem* item) { parent = item; }
    COptionTreeItem* GetNextSibling() const { return nextSibling; }
    void SetNextSibling(COptionTreeItem* item) { nextSibling = item; }
    COptionTreeItem* GetFirstChild() const { return firstChild; }
    void SetFirstChild(COptionTreeItem* item) { firstChild = item; }
    COptionTreeItem* GetNextVisible() const { return nextVisible; }
    void SetNextVisible(COptionTreeItem* item) { nextVisible = item; }
    int GetId() const { return id; }
    void SetId(int value) { id = value; }
    COptionTree* GetTree() const { return tree; }
    void SetTree(COptionTree* owner) { tree = owner; }

    void SetSelected(bool flag);
    bool IsSelected() const { return selected; }
    void SetExpanded(bool flag);
    bool IsExpanded() const { return expanded; }
    bool HasChildren() const { return firstChild != nullptr; }
    bool IsTopLevel() const;

    // One edit: BeginEdit shows the control; EndEdit commits it once (OTN_ITEMCHANGED).
    void BeginEdit();
    void EndEdit();
    bool IsEditing() const { return editing; }
    // Delete or Backspace on the row: a kind whose value may be empty empties it, and the
    // change commits as an edit would. False when the row cannot change or holds nothing.
    bool ClearValue();

    int GetTotalHeight() const;

    // Places the row (and its expanded descendants) at top with the given indent and appends
    // it to the tree's visible list; returns the height used.
    int LayoutRow(int indent, int top);
    void DrawRow(QPainter& painter, const QRect& client) const;

    // Geometry of the last layout. Position and expand box are unscrolled list coordinates,
    // the other rectangles list client coordinates.
    QPoint GetPosition() const { return position; }
    QRect GetExpandBoxRect() const { return expandBox; }
    QRect GetValueRect() const { return valueRect; }
    QRect GetLabelRect() const;
    QRect GetLabelTextRect() const;
    // Where the whole label would end if the column were wide enough.
    int GetFullLabelRight() const;

    // The label cut to width with "..." when it does not fit (one pixel of margin).
    static QString ShortenLabel(const QString& text, const QFontMetrics& metrics, int width);

    virtual void DrawValue(QPainter& painter, const QRect& rect) const;
    virtual void StartEditing();
    virtual void RepositionControl();
    virtual void SyncControl();
    virtual void FinishEditing();
    virtual void DestroyControl();
    virtual void OnDeselected();
    virtual void OnSelected();
    virtual void OnExpandedChanged(bool expanded);
    // The list took the keyboard focus back; an edit left open while the focus was outside
    // the tree is committed here.
    virtual void OnListFocused();
    // What the row shows in a tool tip; empty for none.
    virtual QString ToolTipText() const;
    // The value as text; empty for a row without a value.
    virtual QString ValueText() const { return {}; }

protected:
    void SetKind(int value) { kind = value; }
    // Empties the value where the kind allows an empty one; false when it does not, or when
    // the value is empty already.
    virtual bool EmptyValue();
    bool IsTreeEnabled() const;
    // Value text in the normal font and the value colours, grey when read-only or disabled.
    void DrawValueText(QPainter& painter, const QRect& rect, const QString& text, unsigned format) const;

private:
    // The owner hears of the new value and the row is shown again.
    void CommitChange();
    // Headers are bold.
    QFont LabelFont() const;
    QRect LabelTextArea() const;
    void DrawBackground(QPainter& painter, const QRect& client) const;
    void DrawExpandBox(QPainter& painter) const;
    void DrawLabel(QPainter& painter) const;
    void DrawLines(QPainter& painter, const QRect& client) const;

    QString label;
    QString info;
    int id = 0;
    COptionTreeItem* parent = nullptr;
    COptionTreeItem* nextSibling = nullptr;
    COptionTreeItem* firstChild = nullptr;
    COptionTreeItem* nextVisible = nullptr;
    QRect expandBox;
    COptionTree* tree = nullptr;
    QPoint position;
    QRect valueRect;
    bool committed = false;
    int height = 0;
    bool selected = false;
    bool expanded = false;
    bool editing = false;
    bool readOnly = false;
    int kind = OT_KIND_PLAIN;
    bool labelAtTop = false;
    platform::COLORREF valueBackColor = platform::CLR_DEFAULT;
    platform::COLORREF valueTextColor = platform::CLR_DEFAULT;
    platform::COLORREF headerBackColor = platform::CLR_DEFAULT;
    platform::COLORREF labelTextColor = platform::CLR_DEFAULT;
    platform::COLORREF labelBackColor = platform::CLR_DEFAULT;
};
