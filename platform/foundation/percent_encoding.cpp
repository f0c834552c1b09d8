#include "platform/foundation/percent_encoding.h"

namespace platform {

std::string percentEncode(std::string_view text, std::string_view alsoKept) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    static constexpr std::string_view kUnreservedMarks = "-._~";
    std::string encoded;
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        const bool letterOrDigit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (letterOrDigit || kUnreservedMarks.find(byte) != std::string_view::npos ||
            alsoKept.find(byte) != std::string_view::npos) {
            encoded += byte;
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

}  // namespace platform
