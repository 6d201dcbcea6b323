#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

namespace platform {

// Temporary files that a writer killed mid-write left beside its target. A writer holds an
// advisory lock on its temporary for as long as it lives, so a temporary nobody holds belongs
// to a dead run and may go; one that is locked is never touched.
class StaleTemporaries {
public:
    // Removes the unlocked temporaries of target that this user owns from the folder open at
    // folderFd, reached by folderPath. Each folder is listed once per process: what dead runs left is there
    // from the start, and listing a folder of thousands of outputs for each of them would cost more than the
    // conversion.
    static void sweep(int folderFd, const std::string& folderPath, const std::string& namePrefix,
                      std::size_t nameLength);

private:
    static std::set<std::string> candidatesIn(int folderFd);
    static bool removeIfStale(int folderFd, const std::string& name);

    static std::mutex guard;
    static std::map<std::string, std::set<std::string>> listed; // folder -> temporary names in it
};

} // namespace platform
