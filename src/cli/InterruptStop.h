#pragma once

class BatchRunner;

// While it lives, the first SIGINT or SIGTERM asks the batch to stop after the file in
// progress, so no file is left half written and the temporary files of work done ahead are
// removed; a second one ends the program at once, as usual. One at a time per process.
class InterruptStop {
public:
    explicit InterruptStop(BatchRunner& runner);
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    // The signal that stopped the batch, or 0.
    int signalCaught() const;
};
