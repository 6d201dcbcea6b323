#include "cli/ProgressLine.h"

#include "cli/PrintLine.h"

#include <algorithm>
#include <cmath>
#include <sys/ioctl.h>
#include <utility>

namespace {

constexpr auto redrawInterval = std::chrono::milliseconds(100);
// Rates and estimates from the first moments of a batch say more about start-up than about
// the batch.
constexpr double secondsBeforeEstimates = 1;
constexpr int columnsWhenUnknown = 80;

std::string twoDigits(long long value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

// "0:42", "12:05", "1:02:03"
std::string clockText(long long seconds) {
    const long long hours = seconds / 3600;
    const long long minutes = seconds / 60 % 60;
    const std::string tail = twoDigits(seconds % 60);
    if (hours > 0)
        return std::to_string(hours) + ":" + twoDigits(minutes) + ":" + tail;
    return std::to_string(minutes) + ":" + tail;
}

} // namespace

ProgressLine::ProgressLine(std::FILE* terminal, int fileCount, Clock clock)
    : terminal(terminal), fileCount(fileCount), clock(std::move(clock)), start(this->clock()) {
    draw();
}

ProgressLine::~ProgressLine() {
    finish();
}

void ProgressLine::update(const BatchProgress& now) {
    progress = now;
    if (!finished && clock() - lastDrawn >= redrawInterval)
        draw();
}

void ProgressLine::printAbove(std::FILE* stream, const std::string& text) {
    if (!finished)
        erase();
    printLine(stream, text);
    if (!finished)
        draw();
}

void ProgressLine::finish() {
    if (finished)
        return;
    finished = true;
    draw();
    std::fputc('\n', terminal);
    std::fflush(terminal);
}

std::string ProgressLine::text() const {
    const double seconds = std::chrono::duration<double>(clock() - start).count();
    const std::string done =
        std::to_string(progress.filesDone) + " of " + std::to_string(fileCount) + " files";
    if (finished)
        return done + " in " + clockText(static_cast<long long>(seconds)) + rateText(seconds);
    if (seconds < secondsBeforeEstimates)
        return done;
    return done + rateText(seconds) + timeLeftText(seconds);
}

std::string ProgressLine::rateText(double seconds) const {
    if (progress.pagesDone == 0 || seconds <= 0)
        return {};
    const double rate = static_cast<double>(progress.pagesDone) / seconds;
    char number[32];
    std::snprintf(number, sizeof number, rate < 10 ? "%.1f" : "%.0f", rate);
    return std::string(", ") + number + " pages/s";
}

// The files still to come at the pace of those done so far, a file in progress counting by
// its share of pages.
std::string ProgressLine::timeLeftText(double seconds) const {
    const double done = progress.filesDone + progress.fileInProgress;
    if (done <= 0 || progress.filesDone >= fileCount)
        return {};
    const double left = seconds * (fileCount - done) / done;
    return ", " + clockText(static_cast<long long>(std::ceil(left))) + " left";
}

void ProgressLine::draw() {
    // One column stays free: a character in the last one makes some terminals wrap.
    const std::string line = text().substr(0, static_cast<std::size_t>(std::max(columns() - 1, 0)));
    std::fprintf(terminal, "\r%s\x1b[K", line.c_str());
    std::fflush(terminal);
    lastDrawn = clock();
}

void ProgressLine::erase() {
    std::fputs("\r\x1b[K", terminal);
    std::fflush(terminal);
}

int ProgressLine::columns() const {
    winsize size{};
    if (::ioctl(fileno(terminal), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return columnsWhenUnknown;
}
