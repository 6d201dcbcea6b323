#pragma once

#include "controls/optiontree/OptionTreeItem.h"
#include "controls/optiontree/OptionTreeNotify.h"

#include <QWidget>

#include <functional>
#include <memory>

class COptionTreeInfo;
class COptionTreeList;

// A two-column property tree: labels left of a draggable divider, values right of it, items
// directly under the invisible root drawn as category headers, and an optional description
// pane under the list. The tree owns its items and tells an owner of every change through
// synchronous notifications the owner can veto.
class COptionTree : public QWidget {
    Q_OBJECT

public:
    static constexpr int DEFAULT_COLUMN = 150;
    static constexpr int MARGIN = 16;         // left margin of the list, also the indent step
    static constexpr int COLUMN_ZONE = 5;     // half width of the divider's grab zone
    static constexpr int INFO_HEIGHT = 50;    // lowest height of the description pane
    static constexpr int INFO_HELP_LINES = 3; // help text lines the description pane holds
    static constexpr int LINE_STEP = 21;      // one scroll line
    static constexpr int DRAG_MIN = 41;       // lowest divider a drag leaves
    static constexpr int DRAG_RIGHT_GAP = 25; // room a drag leaves right of the divider

    COptionTree(unsigned options, int controlId, QWidget* parent = nullptr);
    ~COptionTree() override;

    bool HasOption(unsigned bit) const { return (options & bit) != 0; }
    void SetNotifyTarget(bool notify, platform::NotifyTarget* target);

    // Appends item as the last child of parent (the root when null); the tree takes it.
    template <class Item> Item* AddItem(std::unique_ptr<Item> item, COptionTreeItem* parent = nullptr) {
        return static_cast<Item*>(InsertItem(std::move(item), parent));
    }
    // Null removes every item.
    void RemoveItem(COptionTreeItem* item);
    // Removes everything; ids start again at 1.
    void RemoveAllItems();

    COptionTreeItem* GetRoot() const { return root.get(); }
    COptionTreeItem* GetFocusItem() const { return focusItem; }
    void SetFocusItem(COptionTreeItem* item);
    COptionTreeItem* ItemFromId(int id) const;
    // The rows of the current layout in display order (linked through GetNextVisible).
    COptionTreeItem* GetFirstVisible();
    bool IsItemVisible(const COptionTreeItem* item);

    // Points are list client coordinates.
    int HitTestPoint(QPoint point);
    COptionTreeItem* ItemAtPoint(QPoint point);

    // Moves the divider and the value controls with it.
    void SetDivider(int x);
    int GetDivider() const { return column; }
    int GetScrollOrigin() const { return origin; }
    void SetScrollOrigin(int y);
    // Widens or narrows the label column to the widest visible label.
    void AutoSizeDivider();

    void SelectSubtree(COptionTreeItem* item, bool selected);
    void ExpandEverything();
    void RefreshSubtree(COptionTreeItem* item);
    void RepositionAllControls();
    void UpdateScrollRange();
    void ScrollIntoView(COptionTreeItem* item);
    int GetTotalHeight() const;

    // Focus movement over the visible rows; each returns the new focused item.
    COptionTreeItem* FocusFirstRow();
    COptionTreeItem* FocusLastRow();
    COptionTreeItem* FocusPreviousRow();
    COptionTreeItem* FocusNextRow();
    // Starts the focused item's edit when it is a value row that is not read-only.
    void ActivateFocusItem();
    // A click on item: select and focus it, and start its edit when the click was in the
    // value column and the owner lets it.
    void ClickItem(COptionTreeItem* item, bool inValueColumn);
    // No item focused or selected; the owner hears of it.
    void ClearFocusItem();
    // Expands or collapses item as the user asked; false when the owner vetoed or there is
    // nothing to toggle.
    bool ToggleExpanded(COptionTreeItem* item);
    void SetItemExpanded(COptionTreeItem* item, bool expanded);

    // The owner's answer; 0 when nothing is sent.
    platform::LRESULT Notify(int code, COptionTreeItem* item);

    QFont GetNormalFont() const;
    QFont GetBoldFont() const;
    int StandardRowHeight() const { return rowHeight; }
    // The description pane's height: at least 50 pixels, and enough for the bold label and
    // the longest help text of the tree wrapped at the pane's width, three lines at least.
    int InfoHeight() const;
    // Called by the items when a help text changes; the pane refits at the next repositioning.
    void InfoTextsChanged() { infoFitDirty = true; }
    COptionTreeList* GetListWindow() const { return list; }
    COptionTreeInfo* GetInfoWindow() const { return infoPane; }

    // Lays the rows out again and repaints the list and the description pane.
    void Redraw();
    // Lays the rows out now when something changed since the last layout.
    void EnsureLayout();
    // Called by the rows while they are laid out.
    void AppendVisible(COptionTreeItem* item);

    // Applies fn to start (skipped when it is the root) and then to its descendants in
    // order; a false answer skips that item's descendants and makes the result false.
    static bool ForEachItem(COptionTreeItem* start, const std::function<bool(COptionTreeItem*)>& fn);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    COptionTreeItem* InsertItem(std::unique_ptr<COptionTreeItem> item, COptionTreeItem* parent);
    // Deletes item and its descendants (everything for null) without the refresh.
    void DeleteSubtree(COptionTreeItem* item);
    void Unlink(COptionTreeItem* item);
    void LayoutChildren();
    // Lays the children out again when a changed help text wants another pane height.
    void FitInfoPane();
    void LayoutRows();
    void SelectOnly(COptionTreeItem* item);
    COptionTreeItem* MoveFocus(COptionTreeItem* item);
    void DropInvisibleFocus();
    // Measures the standard row height for the current font (once: every row asks for it at
    // every layout) and widens or narrows the label column in step with it.
    void FollowFontHeight();

    unsigned options = 0;
    int controlId = 0;
    COptionTreeInfo* infoPane = nullptr;
    std::unique_ptr<COptionTreeItem> root;
    COptionTreeItem* firstVisible = nullptr;
    COptionTreeItem* lastVisible = nullptr;
    COptionTreeItem* focusItem = nullptr;
    int column = DEFAULT_COLUMN;
    int rowHeight = COptionTreeItem::DEFAULT_HEIGHT; // standard row height, the column's scale
    int origin = 0;
    bool layoutDirty = true;
    bool infoFitDirty = false;
    COptionTreeList* list = nullptr;
    int lastItemId = 0;
    platform::NotifyTarget* notifyTarget = nullptr;
};
