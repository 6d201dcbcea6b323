#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// How the job list and the summary show a file's size and time.
class FileFacts {
public:
    // Digits grouped by three from the right with commas: 1234567 gives "1,234,567".
    static std::string groupThousands(std::uint64_t value);
    // "%H:%M:%S %m/%d/%Y" in local time.
    static std::string formatTime(std::time_t time);
};
