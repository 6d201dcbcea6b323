#include "platform/FileContents.h"

#include <fstream>
#include <iterator>

namespace platform {

bool FileContents::read(const std::string& path, std::string& contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

} // namespace platform
