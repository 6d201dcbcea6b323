#pragma once

#include <string>
#include <unordered_set>
#include <vector>

// The PDF paths of the job list in row order: entry k belongs to grid row k + 1 (row 0 is the
// header). Paths are kept exactly as received, as the file system's bytes; two paths are the
// same job only when their bytes are equal. A hash index beside the list answers the
// duplicate test at once, so importing a large folder does not slow down row by row.
class JobList {
public:
    int size() const { return int(paths.size()); }
    bool empty() const { return paths.empty(); }
    const std::string& at(int index) const { return paths.at(std::size_t(index)); }
    bool contains(const std::string& path) const { return index.contains(path); }
    // The entry holding path, or -1.
    int entryOf(const std::string& path) const;

    // False (and nothing added) when the path is already listed.
    bool append(const std::string& path);
    void removeAt(int entry);
    void clear();

private:
    std::vector<std::string> paths;
    std::unordered_set<std::string> index;
};
