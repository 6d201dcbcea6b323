#pragma once

#include <cstdio>
#include <memory>
#include <string>

// The Tip of the Day texts: a plain file with one tip per line. A line that starts with a
// blank, a tab or ';', and an empty line, is a comment. Reading goes on from a byte offset that
// is kept between showings and wraps around to the first tip after the last.
class TipsFile {
public:
    enum class Outcome {
        Tip,          // text holds the next tip, with its line end
        NoTip,        // a whole pass over the file found no tip line
        RewindFailed, // the end was reached and the file could not be read from its start again
    };
    struct Next {
        Outcome outcome = Outcome::NoTip;
        std::string text;
    };

    // Opens the file for reading; isOpen() says whether that worked.
    explicit TipsFile(const std::string& path);

    bool isOpen() const { return file != nullptr; }
    // Moves to a byte offset from the start; false when the offset is invalid.
    bool seek(long long offset);
    // The byte offset of the next read, or -1 when it cannot be told.
    long long position() const;
    Next nextTip();
    // The file's modification time as a 24-character calendar text in local time, with
    // English names ("Tue Mar  5 07:08:09 2024"); empty when the time cannot be read.
    std::string modificationStamp() const;

    // The longest piece one read takes; a longer line is read in several pieces.
    static constexpr int MAX_READ = 999;

private:
    struct Closer {
        void operator()(std::FILE* stream) const { std::fclose(stream); }
    };

    // One line (at most MAX_READ bytes) with a CR LF end given as LF; false at the end or on
    // an error.
    bool readLine(std::string& line);
    static bool isComment(const std::string& line);

    std::unique_ptr<std::FILE, Closer> file;
};
