#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// One code point starting at `offset`, which moves past it; none for a malformed sequence (bad or
// overlong, a surrogate, beyond U+10FFFF, cut short).
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& offset);

// Calls `visit` with each code point in order until it answers false. False when the text is not
// UTF-8 or `visit` stopped the walk.
template <typename Visitor>
bool forEachCodePoint(std::string_view text, Visitor&& visit) {
    for (std::size_t offset = 0; offset < text.size();) {
        const auto point = nextCodePoint(text, offset);
        if (!point || !visit(*point)) return false;
    }
    return true;
}

inline bool isValidUtf8(std::string_view text) {
    return forEachCodePoint(text, [](char32_t) { return true; });
}
// The number of code points; none for malformed text.
std::optional<std::size_t> codePointCount(std::string_view text);
// The code points; none for malformed text.
std::optional<std::u32string> decodeUtf8(std::string_view text);

// Appends one code point, which the caller has checked is a Unicode scalar value.
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace platform
