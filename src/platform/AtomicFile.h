#pragma once

#include "platform/Result.h"
#include "platform/UniqueFd.h"

#include <cstdio>
#include <string>
#include <sys/types.h>

namespace platform {

// A file written under a temporary name beside its target and renamed over the target only
// when complete and on disk, so a stop, crash or full disk never leaves a truncated file under
// the target name. Without commit() the temporary file is removed. The temporary is created
// anew (never through a link) and locked while its writer lives, so a later run can tell a
// dead run's leftovers from a live one's. A target that is this user's symbolic link is written
// at the link's end; another user's link is replaced, never followed. An existing target keeps
// its permissions.
class AtomicFile {
public:
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    Status open();
    // Writes into a temporary that reserve() made, maybe in another process, whose descriptor
    // was handed over: it is emptied first; commit() puts it on disk but renames nothing.
    Status adopt(UniqueFd descriptor);
    void write(const char* data, std::size_t length);
    void write(const std::string& text) { write(text.data(), text.size()); }
    Status commit();

    // A temporary for a writer elsewhere, kept open (and so locked) until it is published or
    // dropped. A reservation without a path is an unnamed file, for parts to be copied.
    struct Reservation {
        std::string path;
        UniqueFd descriptor;
        bool valid() const { return descriptor.valid(); }
        // Removes the temporary unless it was published.
        void drop();
    };
    // Makes the empty temporary beside the target; fails when the folder takes no new file.
    Result<Reservation> reserve();
    // Puts the reserved temporary, filled by its writer, in the target's place.
    static Status publish(Reservation& reservation, const std::string& target);

    // The temporary name used beside target: the target's name between "." and
    // ".XXXXXXXX.part", shortened at a character boundary so it fits a folder entry.
    static std::string temporaryNameFor(const std::string& target, const std::string& suffix);
    // The path a write of path replaces: the end of this user's links, else path itself.
    static std::string targetOf(const std::string& path);

private:
    enum class Mode { Temporary, InPlace, Adopted };

    Status createTemporary();
    Status openInPlace();
    Status startWriting(int fd, Mode writeMode);
    void discard();

    std::string target;
    std::string temporary;
    UniqueFd temporaryFd; // holds the lock; the stream below writes through a copy
    std::FILE* file = nullptr;
    Mode mode = Mode::Temporary;
    int writeError = 0;
};

} // namespace platform
