#pragma once

#include <QApplication>
#include <QRect>
#include <QStyle>
#include <QWidget>

// Helpers that the source files of CGridCtrl share; no part of the grid's interface.
namespace grid::internal {

// A rectangle given by its edges, right and bottom excluded.
inline QRect rectLTRB(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

inline int scrollBarExtent(const QWidget* widget) {
    return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

// The wait cursor for as long as a long operation runs. Short ones (a drag over a few
// cells) leave the cursor alone, which would otherwise flicker at every mouse move.
class WaitCursor {
public:
    explicit WaitCursor(bool longRunning = true) : m_bShown(longRunning) {
        if (m_bShown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor() {
        if (m_bShown)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_bShown;
};

} // namespace grid::internal
