#include "core/FileFacts.h"

std::string FileFacts::groupThousands(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

std::string FileFacts::formatTime(std::time_t time) {
    std::tm local{};
    char text[32];
    if (!::localtime_r(&time, &local) || std::strftime(text, sizeof text, "%H:%M:%S %m/%d/%Y", &local) == 0)
        return {};
    return text;
}
