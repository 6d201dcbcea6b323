#pragma once

#include <string>

namespace platform {

// Whole small files (configuration files) read into memory.
class FileContents {
public:
    // The file's bytes; false (and contents untouched) when it cannot be opened.
    static bool read(const std::string& path, std::string& contents);
};

} // namespace platform
