#pragma once

#include "platform/UniqueFd.h"

#include <string>
#include <sys/types.h>

namespace platform {

// A folder opened as a descriptor one name at a time, so files are made, checked and renamed
// in the very folder that was checked, whatever is renamed on the way meanwhile, and however
// long the path. A symbolic link on the way is followed only when it belongs to the user who
// runs us or to the owner of the folder that holds it: another user's link in a shared folder
// must not lead our files into a folder of their choosing, one we may write and they may not.
class HeldFolder {
public:
    HeldFolder() = default;

    // The folder at path, relative to the working folder unless it starts with '/'.
    static HeldFolder open(const std::string& path);
    // The same, making the folders that are missing on the way.
    static HeldFolder make(const std::string& path);
    // The folder a write of filePath lands in, and the file's name in it (set in name): this
    // user's links at that name are followed to their end; another user's link is the file
    // itself, to be replaced, never written through.
    static HeldFolder ofFile(const std::string& filePath, std::string& name);

    bool valid() const { return descriptor.valid(); }
    int fd() const { return descriptor.get(); }
    // The path it was reached by, its links replaced by their text.
    const std::string& path() const { return shown; }
    // Why the folder is not held, in words for the user; empty when it is.
    const std::string& error() const { return failure; }
    // The link that was not followed, when that is why the folder is not held.
    const std::string& refusedLink() const { return link; }

private:
    HeldFolder(UniqueFd start, std::string shownStart);

    void walk(std::string path, bool makeMissing);
    void enter(const std::string& name, bool makeMissing, std::string& rest, int& linksFollowed);
    void restartAtRoot();
    bool mayFollowLinkOf(uid_t linkOwner) const;
    void fail(int code);
    std::string shownPathOf(const std::string& name) const;

    UniqueFd descriptor;
    std::string shown; // the path walked so far
    std::string failure;
    std::string link;
};

} // namespace platform
