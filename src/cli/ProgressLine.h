#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

// Where a batch stands.
struct BatchProgress {
    int filesDone = 0;         // files whose turn is over, converted or skipped
    double fileInProgress = 0; // the share of the next file's pages converted so far, 0 to 1
    long long pagesDone = 0;   // pages converted in all files
};

// One line on a terminal telling how far a batch has come ("12 of 200 files, 85 pages/s, 0:42
// left"), redrawn in place at most ten times a second and cut to the terminal's width so that
// it never wraps. Whatever else goes to the terminal while the line is shown must go through
// printAbove, or it would land in the middle of the line. finish (or the destructor) leaves the
// final state on its own line.
class ProgressLine {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    ProgressLine(std::FILE* terminal, int fileCount, Clock clock = &std::chrono::steady_clock::now);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(const BatchProgress& progress);
    // Erases the line, writes text and a newline to stream (the terminal or another stream
    // shown on the same screen), and draws the line again below it.
    void printAbove(std::FILE* stream, const std::string& text);
    void finish();

    // What the line says now, before it is cut to the width.
    std::string text() const;

private:
    void draw();
    void erase();
    int columns() const;
    std::string rateText(double seconds) const;
    std::string timeLeftText(double seconds) const;

    std::FILE* terminal;
    int fileCount;
    Clock clock;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDrawn;
    BatchProgress progress;
    bool finished = false;
};
