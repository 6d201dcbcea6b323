#pragma once

#include <cstdio>
#include <string>
#include <sys/types.h>

namespace platform {

// A file written under a temporary name beside its target and renamed over the target only
// when complete, so a stop, crash or full disk never leaves a truncated file under the target
// name. Without commit() the temporary file is removed. A target that is a symbolic link is
// written at the link's end, and an existing target keeps its permissions.
class AtomicFile {
public:
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    // Writes the target itself, which must exist: for a writer that was handed a file made by
    // reserve() in another process.
    bool rewrite();
    void write(const char* data, std::size_t length);
    void write(const std::string& text) { write(text.data(), text.size()); }
    bool commit();

    // For a writer in another process: makes the empty temporary file beside the target (with
    // the target's permissions) and leaves it there; its path, or empty when the folder takes
    // no new file (errorString() says why). publish() later puts it in the target's place.
    std::string reserve();
    static bool publish(const std::string& temporary, const std::string& target, std::string& error);

    // Why open(), reserve() or commit() failed, for the user.
    const std::string& errorString() const { return error; }

    // The temporary name used beside target: the target's name between "." and
    // ".XXXXXXXX.part", shortened at a character boundary so it fits a folder entry.
    static std::string temporaryNameFor(const std::string& target, const std::string& suffix);

private:
    bool openTemporary(mode_t keptMode, bool keepMode);
    bool openInPlace();
    void discard();

    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
    bool inPlace = false;
    std::string error;
};

} // namespace platform
