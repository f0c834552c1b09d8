#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Standard base64 (RFC 4648 alphabet) for the data of property lists.
class Base64 {
public:
    static std::string encode(const std::vector<std::uint8_t>& bytes);
    // Whitespace is skipped and missing padding tolerated; any other stray character, misplaced
    // padding or impossible length is refused.
    static std::optional<std::vector<std::uint8_t>> decode(std::string_view text);
};

}  // namespace platform
