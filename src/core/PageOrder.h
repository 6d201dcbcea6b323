#pragma once

#include "core/PagePiece.h"

#include <optional>
#include <vector>

// The pages one request writes and which of them are read from their picture. Without a
// list, the scans among them are found as the pages are written (or counted, when recognition
// is off).
struct PageOrder {
    PagePiece pages;
    std::optional<std::vector<int>> readPages;
};
