#pragma once

#include <string>
#include <string_view>

namespace platform {

// The text with every byte but the letters, digits, "-._~" and those of `alsoKept` written as "%XX"
// (upper-case hexadecimal), so that it can stand inside any part of a URL without changing it.
std::string percentEncode(std::string_view text, std::string_view alsoKept = {});

}  // namespace platform
