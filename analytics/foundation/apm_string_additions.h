#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace analytics {

// 32 lowercase hexadecimal digits of the MD5 digest of the UTF-8 text; nullopt for text that is not UTF-8.
std::optional<std::string> apm_MD5String(const std::string& text);
// "+" becomes a space, then percent-decoding; nullopt for a bad escape or bytes that are not UTF-8.
std::optional<std::string> apm_stringByUnescapingFromURLArgument(const std::string& text);
// The number of Unicode code points, the unit of every length limit of the library.
std::size_t apm_UTF32Length(std::string_view text);
// The text in UTF-32 little-endian, at most `maxBytes` bytes (whole code points); whether any were written.
bool apm_getUTF32Bytes(const std::string& text, std::uint8_t* buffer, std::size_t maxBytes);
// A text read as a boolean the platform's way: after blanks, a sign and leading zeros, "Y", "y", "T",
// "t" or a digit 1–9 means yes; anything else no.
bool apm_boolValue(const std::string& text);

}  // namespace analytics
