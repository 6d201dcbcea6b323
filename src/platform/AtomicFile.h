#pragma once

#include "platform/HeldFolder.h"
#include "platform/Result.h"
#include "platform/UniqueFd.h"

#include <cstdio>
#include <memory>
#include <string>
#include <sys/types.h>

namespace platform {

// A file written under a temporary name beside its target and renamed over the target only
// when complete and on disk, so a stop, crash or full disk never leaves a truncated file under
// the target name. Without commit() the temporary file is removed. The target's folder is held
// open (HeldFolder: no other user's link on the way) and everything happens in it. The
// temporary is created anew (never through a link) and locked while its writer lives, so a
// later run can tell a dead run's leftovers from a live one's; it is renamed only while its
// name still holds the file written. A target that is this user's symbolic link is written at
// the link's end; another user's link is replaced, never followed. A new target gets the
// user's usual permissions; an existing one of this user's keeps its own.
class AtomicFile {
public:
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Holds the target's folder, once; fails when it cannot be reached.
    Status locate();
    Status open();
    // Writes into a temporary that reserve() made, maybe in another process, whose descriptor
    // was handed over: it is emptied first; commit() puts it on disk but renames nothing.
    Status adopt(UniqueFd descriptor);
    void write(const char* data, std::size_t length);
    void write(const std::string& text) { write(text.data(), text.size()); }
    Status commit();

    // A temporary for a writer elsewhere, kept open (and so locked) until it is published or
    // dropped. A reservation without a folder is an unnamed file, for parts to be copied.
    struct Reservation {
        std::shared_ptr<const HeldFolder> folder;
        std::string name;
        UniqueFd descriptor;
        bool valid() const { return descriptor.valid(); }
        // Removes the temporary unless it was published, or its name holds another file now.
        void drop();
    };
    // Makes the empty temporary beside the target; fails when the folder takes no new file.
    Result<Reservation> reserve();
    // Puts the reserved temporary, filled by its writer, in the target's place.
    Status publish(Reservation& reservation);
    // Writes on at the end of a temporary this file reserved; commit() then puts it in the
    // target's place.
    Status extend(Reservation& reservation);

    // The temporary name used beside target: the target's name between "." and
    // ".XXXXXXXX.part", shortened at a character boundary so it fits a folder entry.
    static std::string temporaryNameFor(const std::string& target, const std::string& suffix);

private:
    enum class Mode { Temporary, InPlace, Adopted };

    Status createTemporary();
    Status openInPlace();
    Status startWriting(int fd, Mode writeMode);
    Status renameOverTarget(const std::string& temporaryName, int written);
    void discard();

    std::string target;
    std::shared_ptr<const HeldFolder> folder; // the target's, once located
    std::string name;                         // the target's name in it
    std::string temporary;                    // a name in the folder
    UniqueFd temporaryFd;                     // holds the lock; the stream below writes through a copy
    std::FILE* file = nullptr;
    Mode mode = Mode::Temporary;
    int writeError = 0;
};

} // namespace platform
