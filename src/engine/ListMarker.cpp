#include "engine/ListMarker.h"

#include <regex>
#include <vector>

std::optional<ListMarker> ListMarker::of(const std::string& word) {
    static const std::vector<std::string> bullets{"•", "◦", "▪", "–", "-", "*", "‣", "●", "○", "■", "□", "·"};
    for (const std::string& bullet : bullets) {
        if (word == bullet)
            return ListMarker{};
        // A round bullet set close to its text comes glued to the first word.
        if (bullet.size() > 1 && bullet != "–" && word.starts_with(bullet))
            return ListMarker{{}, word.substr(bullet.size())};
    }
    static const std::regex numbered(R"(^(\d{1,3}|[a-z])[.)]$)");
    if (std::regex_match(word, numbered))
        return ListMarker{word.substr(0, word.size() - 1), {}};
    return std::nullopt;
}
