#pragma once

#include "controls/grid/GridCtrl.h"

#include <QApplication>
#include <QHash>
#include <QList>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <memory>

namespace gridtest {

// What the owner heard: one entry per notification, with the cell of GRIDNOTIFY records.
struct Heard {
    int code = 0;
    int row = -1;
    int col = -1;
    bool operator==(const Heard&) const = default;
};

// An owner window that records every notification and answers with a chosen value per code.
class RecordingOwner : public QWidget, public platform::NotifyTarget {
public:
    platform::LRESULT notify(const platform::NMHDR& header) override {
        Heard heard{header.code};
        if (header.code != platform::LVN_GETDISPINFO && header.code != platform::LVN_ODCACHEHINT) {
            const auto& record = reinterpret_cast<const grid::GRIDNOTIFY&>(header);
            heard.row = record.iRow;
            heard.col = record.iColumn;
        }
        log.append(heard);
        return answers.value(header.code, 0);
    }
    QList<int> codes() const {
        QList<int> result;
        for (const Heard& heard : log)
            result.append(heard.code);
        return result;
    }
    bool heardCode(int code) const { return codes().contains(code); }

    QList<Heard> log;
    QHash<int, platform::LRESULT> answers;
};

// A shown owner with a grid filling it: rows x cols, one fixed row and no fixed column
// unless asked, every cell "r<row>c<col>", 20-pixel rows, 60-pixel columns.
struct GridFixture {
    explicit GridFixture(int rows = 10, int cols = 5, int fixedRows = 1, int fixedCols = 0,
                         QSize size = QSize(320, 240)) {
        owner.resize(size);
        grid = new grid::CGridCtrl(rows, cols, fixedRows, fixedCols, &owner);
        grid->setGeometry(0, 0, size.width(), size.height());
        for (int row = 0; row < rows; ++row) {
            grid->SetRowHeight(row, 20);
            for (int col = 0; col < cols; ++col)
                grid->SetCellText(row, col, QStringLiteral("r%1c%2").arg(row).arg(col));
        }
        for (int col = 0; col < cols; ++col)
            grid->SetColumnWidth(col, 60);
        owner.show();
        owner.activateWindow();
        if (!QTest::qWaitForWindowActive(&owner))
            qWarning("grid test window not active");
        grid->setFocus();
        owner.log.clear();
    }

    // The middle of a cell in grid coordinates.
    QPoint centre(int row, int col) const {
        QRect rect;
        grid->GetCellRect(row, col, &rect);
        return rect.center();
    }
    void click(int row, int col, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(grid, Qt::LeftButton, modifiers, centre(row, col));
    }
    QRgb pixel(int x, int y) const { return grid->grab().toImage().pixel(x, y); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : grid, key, modifiers);
    }

    RecordingOwner owner;
    grid::CGridCtrl* grid = nullptr;
};

// A mouse move without buttons, delivered at once (QTest's moves may arrive later).
inline void hover(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

inline QRgb sysRgb(int index) {
    return platform::sysColor(index).rgb();
}

} // namespace gridtest
