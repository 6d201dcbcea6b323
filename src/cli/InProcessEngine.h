#pragma once

#include "pool/WorkerProcess.h"

#include <string>

// folverin-cli's mode with one worker (-j 1): the PDF engine module loaded from beside the
// program, kept until the program ends. The worker is a fork of this process, so it starts at
// once and a document that brings the engine down costs its own job alone.
class InProcessEngine {
public:
    explicit InProcessEngine(const std::string& programDir);

    // Why the module could not be loaded; empty when it was.
    const std::string& error() const { return loadError; }

    // The worker's main loop for a fork of this process; only when error() is empty.
    WorkerProcess::Serve worker() const { return serveWorker; }

private:
    std::string loadError;
    WorkerProcess::Serve serveWorker = nullptr;
};
