#pragma once

#include <array>
#include <string>

// The engine configuration file: 28 lines naming the language-support tables beside the
// program, rewritten at every start; and the table of output text encodings.
struct TextEncoding {
    const char* label;      // as the option pane lists it
    const char* engineName; // as the engine knows it
};

class CMapConfig {
public:
    static constexpr int lineCount = 28;

    // In option-pane order; the option stores the index.
    static const std::array<TextEncoding, 18>& encodings();
    // Engine name for an encoding index; "Latin1" for an index outside the table.
    static std::string encodingName(int textEncoding);
    // Encoding index for an engine name, or -1.
    static int encodingIndex(const std::string& engineName);
    // "dos", "unix" or "mac"; "dos" for an unknown value.
    static const char* endOfLineName(int endOfLine);

    // The whole file for a program folder (given with its trailing '/'): each line with the
    // folder in place of %s and CR LF at its end.
    static std::string text(const std::string& programDir);
    // Writes the file; failures are silent, as the first job then falls back on its own.
    static void write(const std::string& configPath, const std::string& programDir);
};
