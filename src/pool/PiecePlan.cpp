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
    std::vector<int> read;
    if (workers > 1) {
        for (const int page : readPages) {
            if (page >= firstPage && page <= lastPage && (read.empty() || page > read.back()))
                read.push_back(page);
        }
    }
    // Every piece holds a file open until the job's turn: a long scan shares its pages out in
    // groups rather than one by one.
    const std::size_t group = (read.size() + maxReadPieces - 1) / maxReadPieces;
    std::vector<PagePiece> pieces;
    int next = firstPage;
    for (std::size_t start = 0; start < read.size(); start += group) {
        const int from = read[start];
        const int to = read[std::min(start + group, read.size()) - 1];
        if (from > next)
            appendRun(pieces, next, from - 1, workers);
        pieces.push_back({from, to, false, false});
        next = to + 1;
    }
    if (next <= lastPage || pieces.empty())
        appendRun(pieces, next, std::max(lastPage, next - 1), workers);
    pieces.front().head = true;
    pieces.back().foot = true;
    return pieces;
}

} // namespace PiecePlan
