#pragma once

#include <QRect>

// Where the job pane puts its controls in a client rectangle: the grid over the upper half
// with four buttons under it, the summary over the lower half, and at the bottom Start, Stop
// and the two labelled progress bars. Bars taller than the usual 12 pixels (for a larger
// font) stack upwards from the bottom and shorten the summary; Start and Stop stay centred on
// the two bars. Captions wider than the usual 40 pixels push the bars right. Sizes never go
// negative however small the pane gets.
struct PanelLayout {
    static constexpr int BAR_HEIGHT = 12;
    static constexpr int LABEL_WIDTH = 40;

    QRect grid;
    QRect openFile;
    QRect importDirectory;
    QRect removeSelected;
    QRect clearAllSelected;
    QRect summary;
    QRect start;
    QRect stop;
    QRect labelCurrent;
    QRect progressCurrent;
    QRect labelTotal;
    QRect progressTotal;

    static PanelLayout compute(const QRect& client, int barHeight = BAR_HEIGHT,
                               int captionWidth = LABEL_WIDTH);
    // The least height at which grid, summary, buttons and bars stay apart.
    static int leastHeight(int barHeight = BAR_HEIGHT);
    static constexpr int LEAST_WIDTH = 200;
};
