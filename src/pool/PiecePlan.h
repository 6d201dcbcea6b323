#pragma once

#include "core/PagePiece.h"

#include <cstddef>
#include <vector>

// How a job's page range is cut so several workers share one long document: short ranges
// stay whole (a piece costs an extra opening of the document), long ones become a few pieces
// per worker, so a worker that finishes early takes the next piece.
namespace PiecePlan {

// Ranges shorter than this stay in one piece.
inline constexpr int minPagesToCut = 64;
// Pieces per worker, for balance.
inline constexpr int piecesPerWorker = 3;
// No piece shorter than this.
inline constexpr int minPiecePages = 16;
// Pieces of pages read from their picture, at most.
inline constexpr std::size_t maxReadPieces = 200;

// Pieces in page order; the first carries the head and the last the foot. Each page of
// readPages (read from its picture, which takes seconds) is a piece of its own, so the workers
// share a scanned document page by page (a long one in groups of pages read).
std::vector<PagePiece> cut(int firstPage, int lastPage, int workers, const std::vector<int>& readPages = {});

} // namespace PiecePlan
