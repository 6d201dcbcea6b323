#include "ui/JobList.h"

#include <algorithm>
#include <cassert>

bool JobList::append(const std::string& path) {
    if (!index.insert(path).second)
        return false;
    paths.push_back(path);
    return true;
}

int JobList::entryOf(const std::string& path) const {
    if (!contains(path))
        return -1;
    return int(std::find(paths.begin(), paths.end(), path) - paths.begin());
}

void JobList::removeAt(int entry) {
    assert(entry >= 0 && entry < size());
    const auto position = paths.begin() + entry;
    index.erase(*position);
    paths.erase(position);
}

void JobList::clear() {
    paths.clear();
    index.clear();
}
