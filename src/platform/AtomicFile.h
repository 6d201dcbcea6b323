#pragma once

#include <cstdio>
#include <string>

namespace platform {

// A file written under a temporary name beside its target and renamed over the target only
// when complete, so a stop, crash or full disk never leaves a truncated file under the target
// name. Without commit() the temporary file is removed.
class AtomicFile {
public:
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    void write(const char* data, std::size_t length);
    void write(const std::string& text) { write(text.data(), text.size()); }
    bool commit();

    // Why open() or commit() failed, for the user.
    const std::string& errorString() const { return error; }

private:
    void discard();

    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
    std::string error;
};

} // namespace platform
