#pragma once

class BatchRunner;

// While it lives, the first SIGINT, SIGTERM, SIGHUP or SIGPIPE asks the batch to stop, the file
// in progress too where the converter can end it early: no file is left half written, the file
// in progress keeps its old output and the temporary files are removed; a second SIGINT, SIGTERM
// or SIGHUP ends the program at once, as usual (what that leaves, a later run removes). One at
// a time per process.
class InterruptStop {
public:
    explicit InterruptStop(BatchRunner& runner);
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    // The signal that stopped the batch, or 0.
    int signalCaught() const;
};
