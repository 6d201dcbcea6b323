#pragma once

#include <optional>
#include <string>

// The marker a list item starts with: a bullet, or a number or letter followed by a dot or a
// parenthesis.
struct ListMarker {
    std::string number; // empty for a bullet
    std::string rest;   // text glued to a bullet

    // The marker the word is, if it is one.
    static std::optional<ListMarker> of(const std::string& word);
};
