#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// The length of the valid UTF-8 sequence at the start of text (1 for ASCII) and its code point;
// 0 when there is none: a stray, overlong, surrogate or cut-off sequence, or empty text.
std::size_t utf8SequenceAt(std::string_view text, char32_t& codePoint);

} // namespace platform
