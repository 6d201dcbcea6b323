#pragma once

#include <QString>
#include <cstdio>

// An output file written under a temporary name beside its target and renamed over the
// target only when complete, so a stop, crash or full disk never leaves a truncated file
// under the output name. Without commit() the temporary file is removed.
class OutputFile {
public:
    explicit OutputFile(const QString& targetPath);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool open();
    void write(const char* data, std::size_t length);
    void write(const char* text);
    bool commit();

    // Why open() or commit() failed, for the user.
    QString errorString() const { return error; }

private:
    void discard();

    QString target;
    QString temporary;
    std::FILE* file = nullptr;
    QString error;
};
