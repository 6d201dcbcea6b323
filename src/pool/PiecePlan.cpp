#include "pool/PiecePlan.h"

#include <algorithm>

namespace PiecePlan {

std::vector<PagePiece> cut(int firstPage, int lastPage, int workers) {
    const int pages = lastPage - firstPage + 1;
    int count = 1;
    if (workers > 1 && pages >= minPagesToCut)
        count = std::clamp(pages / minPiecePages, 1, workers * piecesPerWorker);
    std::vector<PagePiece> pieces;
    pieces.reserve(static_cast<std::size_t>(count));
    int next = firstPage;
    for (int index = 0; index < count; ++index) {
        // The pages spread evenly; the first pieces take one more when they do not divide.
        const int length = pages / count + (index < pages % count ? 1 : 0);
        pieces.push_back({next, next + length - 1, index == 0, index == count - 1});
        next += length;
    }
    return pieces;
}

} // namespace PiecePlan
