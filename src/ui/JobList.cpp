#include "ui/JobList.h"

#include <cassert>

bool JobList::append(const std::string& path) {
    if (!index.insert(path).second)
        return false;
    paths.push_back(path);
    return true;
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
