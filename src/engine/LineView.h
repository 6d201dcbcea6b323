#pragma once

#include "engine/PageLayout.h"

#include <string>
#include <vector>

// One line of the page with the words that are neither furniture nor table.
struct LineView {
    std::vector<const PageLayout::Word*> words;
    int block = 0;
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
    double size = 0; // the size most of its letters are set in
    bool bold = true;
    bool monospaced = true;

    // The line without the words marked taken.
    static LineView of(const PageLayout::Line& line, const std::vector<char>& taken);
    // Its words from the one at from on, as the line sets them.
    std::string text(std::size_t from = 0) const;
};
