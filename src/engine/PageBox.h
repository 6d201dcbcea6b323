#pragma once

#include "engine/PageLayout.h"

#include <algorithm>

// The box around words of a page, in the page's points from its top left.
struct PageBox {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    void add(const PageLayout::Word& word) {
        left = std::min(left, word.left);
        top = std::min(top, word.top);
        right = std::max(right, word.right);
        bottom = std::max(bottom, word.bottom);
    }
    static PageBox of(const PageLayout::Word& word) { return {word.left, word.top, word.right, word.bottom}; }
};
