#pragma once

#include <cstdio>
#include <string>

// Writes text and a newline at once, so a line is on the terminal or in the pipe before
// whatever comes next, from this stream or another.
inline void printLine(std::FILE* stream, const std::string& text) {
    std::fprintf(stream, "%s\n", text.c_str());
    std::fflush(stream);
}
