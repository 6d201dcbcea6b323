#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Whole small files (configuration files) read into memory. Only plain files are read, and
// only up to a size no configuration file reaches: a link to a device, a pipe or a folder in
// a configuration file's place reads as a file that is not there, never blocks or fills memory.
class FileContents {
public:
    static constexpr std::size_t maxBytes = 16u << 20;

    // The file's bytes; false (and contents untouched) when it cannot be read so.
    static bool read(const std::string& path, std::string& contents);
};

} // namespace platform
