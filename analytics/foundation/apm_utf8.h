#pragma once

#include <unicode/utf8.h>

#include <cstdint>
#include <limits>
#include <string_view>

namespace analytics {

// Whether the bytes are well-formed UTF-8: what the library accepts as a string.
bool APMIsUTF8(std::string_view text);

// Calls `visit` with each code point in order until it answers false; false for bytes that are not
// UTF-8 or when `visit` stopped the walk.
template <typename Visitor>
bool APMForEachCodePoint(std::string_view text, Visitor&& visit) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return false;
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t offset = 0; offset < length;) {
        UChar32 point;
        U8_NEXT(text.data(), offset, length, point);
        if (point < 0 || !visit(point)) return false;
    }
    return true;
}

}  // namespace analytics
