#pragma once

#include <QWidget>

class COptionTree;
class COptionTreeItem;
class QHelpEvent;
class QScrollBar;

// The row area of the option tree: draws the visible rows, takes the mouse, the wheel, the
// scroll bar and the keys, and is the parent of every in-place control.
class COptionTreeList : public QWidget {
    Q_OBJECT

public:
    explicit COptionTreeList(COptionTree* tree);

    COptionTree* GetTree() const { return tree; }

    // The area the rows use: the widget without the scroll bar when it shows.
    QRect ClientRect() const;
    // Shows the scroll bar when total is taller than the rows' area.
    void SetScrollRange(int total);
    void SetScrollPosition(int origin);
    int MaximumOrigin() const;
    QScrollBar* GetScrollBar() const { return scrollBar; }

    bool IsDragging() const { return dragging; }
    // The band drawn under the mouse while the divider is dragged.
    QRect DragBarRect() const;

    // An event for one of the list's in-place controls: the list takes the keys that end an
    // edit. Enter gives the focus back to the list (which commits the edit), Escape does the
    // same after putting the value back as it was, Tab and Shift+Tab also move on to the next
    // or previous row, Ctrl+Tab leaves the tree. False for any other event.
    static bool TakeBackFocus(QWidget* control, QEvent* event);

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // The list's own keys; keyPressEvent passes on the keys that come up from an editor.
    void HandleKey(QKeyEvent* event);
    // The tool tip of the row under the mouse, shown while the mouse stays on that row.
    static bool IsClearKey(const QKeyEvent& event);
    void ShowToolTip(const QHelpEvent* event);
    void PaintFrame(QPainter& painter, const QRect& client) const;
    void PaintRows(QPainter& painter, const QRect& client, const QRect& dirty) const;
    void UpdateCursor(QPoint point);
    void FinishColumnDrag(int x);
    void CollapseOrMoveUp();
    void ExpandOrMoveDown();
    // Ctrl+Tab: the focus goes to the next (or previous) widget outside the tree.
    void LeaveTree(bool forward);
    void PlaceScrollBar();
    bool TakeBackFocus(QKeyEvent* event);
    void CancelEditOf(const QWidget* control) const;

    COptionTree* tree;
    bool dragging = false;
    int dragX = -1;
    int wheelDelta = 0; // wheel turn not yet worth a line
    QScrollBar* scrollBar;
};
