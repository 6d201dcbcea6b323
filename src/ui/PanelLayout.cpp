#include "ui/PanelLayout.h"

#include <algorithm>

namespace {

constexpr int BUTTON_SIDE = 32;
constexpr int LABEL_LEFT = 97;
constexpr int BAR_GAP = 8;
// The grid shows its header and one job row at the least height.
constexpr int LEAST_GRID_HEIGHT = 36;

QRect box(int x, int y, int width, int height) {
    return {x, y, std::max(width, 0), std::max(height, 0)};
}

QRect button(int x, int y) {
    return box(x, y, BUTTON_SIDE, BUTTON_SIDE);
}

} // namespace

PanelLayout PanelLayout::compute(const QRect& client, int barHeight, int captionWidth) {
    const int left = client.left();
    const int top = client.top();
    const int width = client.width();
    const int height = client.height();
    const int bottom = top + height;
    const int half = height / 2;
    const int buttonRow = top + half - 36;
    const int labelWidth = std::max(captionWidth, LABEL_WIDTH);
    const int barLeft = LABEL_LEFT + labelWidth + BAR_GAP;
    const int barWidth = width - barLeft;
    const int totalTop = bottom - BAR_GAP - barHeight;
    const int currentTop = totalTop - BAR_GAP - barHeight;
    const int startTop = currentTop + std::max(2 * barHeight + BAR_GAP - BUTTON_SIDE, 0) / 2;
    const int summaryTop = bottom - half + 4;

    PanelLayout layout;
    layout.grid = box(left, top, width, half - 44);
    layout.openFile = button(left + 5, buttonRow);
    layout.importDirectory = button(left + 57, buttonRow);
    layout.removeSelected = button(left + 109, buttonRow);
    layout.clearAllSelected = button(left + 161, buttonRow);
    layout.summary = box(left, summaryTop, width, std::min(half - 52, currentTop - BAR_GAP - summaryTop));
    layout.start = button(left + 5, startTop);
    layout.stop = button(left + 57, startTop);
    layout.labelCurrent = box(left + LABEL_LEFT, currentTop, labelWidth, barHeight);
    layout.progressCurrent = box(left + barLeft, currentTop, barWidth, barHeight);
    layout.labelTotal = box(left + LABEL_LEFT, totalTop, labelWidth, barHeight);
    layout.progressTotal = box(left + barLeft, totalTop, barWidth, barHeight);
    return layout;
}

// The grid needs height / 2 - 44 >= its least height; the summary (height / 2 - 52 at most)
// must not go negative above the two bars and their gaps.
int PanelLayout::leastHeight(int barHeight) {
    return std::max(2 * (LEAST_GRID_HEIGHT + 44), 2 * (4 + 2 * barHeight + 3 * BAR_GAP));
}
