#include "pool/PiecePlan.h"

#include <algorithm>

namespace PiecePlan {

namespace {

void appendRun(std::vector<PagePiece>& pieces, int firstPage, int lastPage, int workers) {
    const int pages = lastPage - firstPage + 1;
    int count = 1;
    if (workers > 1 && pages >= minPagesToCut)
        count = std::clamp(pages / minPiecePages, 1, workers * piecesPerWorker);
    int next = firstPage;
    for (int index = 0; index < count; ++index) {
        // The pages spread evenly; the first pieces take one more when they do not divide.
        const int length = pages / count + (index < pages % count ? 1 : 0);
        pieces.push_back({next, next + length - 1, false, false});
        next += length;
    }
}

} // namespace

std::vector<PagePiece> cut(int firstPage, int lastPage, int workers, const std::vector<int>& readPages) {
    std::vector<PagePiece> pieces;
    int next = firstPage;
    if (workers > 1) {
        for (const int page : readPages) {
            if (page < next || page > lastPage)
                continue;
            if (page > next)
                appendRun(pieces, next, page - 1, workers);
            pieces.push_back({page, page, false, false});
            next = page + 1;
        }
    }
    if (next <= lastPage || pieces.empty())
        appendRun(pieces, next, std::max(lastPage, next - 1), workers);
    pieces.front().head = true;
    pieces.back().foot = true;
    return pieces;
}

} // namespace PiecePlan
