#pragma once

// Pages first..last of a job's range written as one piece; the head goes with the piece that
// starts the file and the foot with the one that ends it, so pieces joined in page order are
// byte for byte the file written in one go.
struct PagePiece {
    int first = 1;
    int last = 0;
    bool head = true;
    bool foot = true;
};
