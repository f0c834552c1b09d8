#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What nextCodePoint answers for a malformed sequence. A plain value rather than an optional keeps
// the hot loops of the validators free of store-forwarding stalls.
inline constexpr char32_t kMalformedUtf8 = 0xFFFFFFFF;

// A code point of two to four bytes starting at `offset`; see nextCodePoint.
char32_t nextMultiByteCodePoint(std::string_view text, std::size_t& offset);

// One code point starting at `offset`, which moves past it; kMalformedUtf8 for a malformed sequence
// (bad or overlong, a surrogate, beyond U+10FFFF, cut short). ASCII, the common case, stays inline.
inline char32_t nextCodePoint(std::string_view text, std::size_t& offset) {
    const auto lead = static_cast<unsigned char>(text[offset]);
    if (lead < 0x80) {
        ++offset;
        return lead;
    }
    return nextMultiByteCodePoint(text, offset);
}

// Calls `visit` with each code point in order until it answers false. False when the text is not
// UTF-8 or `visit` stopped the walk.
template <typename Visitor>
bool forEachCodePoint(std::string_view text, Visitor&& visit) {
    for (std::size_t offset = 0; offset < text.size();) {
        const char32_t point = nextCodePoint(text, offset);
        if (point == kMalformedUtf8 || !visit(point)) return false;
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
