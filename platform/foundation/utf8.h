#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The code points of UTF-8 text; none for malformed text (bad or overlong sequences, surrogates,
// code points beyond U+10FFFF).
std::optional<std::u32string> decodeUtf8(std::string_view text);
inline bool isValidUtf8(std::string_view text) { return decodeUtf8(text).has_value(); }

// Appends one code point, which the caller has checked is a Unicode scalar value.
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace platform
