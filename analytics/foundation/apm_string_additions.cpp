#include "analytics/foundation/apm_string_additions.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "analytics/foundation/apm_data_additions.h"
#include "platform/foundation/utf8.h"

namespace analytics {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::string> apm_MD5String(const std::string& text) {
    if (!platform::isValidUtf8(text)) return std::nullopt;
    std::string hex;
    for (std::uint8_t byte : apm_MD5Data(text)) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

std::optional<std::string> apm_stringByUnescapingFromURLArgument(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += c;
        }
    }
    if (!platform::isValidUtf8(decoded)) return std::nullopt;
    return decoded;
}

std::size_t apm_UTF32Length(std::string_view text) {
    if (auto count = platform::codePointCount(text)) return *count;
    // Not UTF-8: count every byte that does not continue a sequence.
    std::size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

bool apm_getUTF32Bytes(const std::string& text, std::uint8_t* buffer, std::size_t maxBytes) {
    const auto points = platform::decodeUtf8(text);
    if (!points || !buffer) return false;
    std::size_t written = 0;
    for (char32_t point : *points) {
        if (written + 4 > maxBytes) break;
        for (int k = 0; k < 4; ++k) buffer[written++] = static_cast<std::uint8_t>(point >> (8 * k));
    }
    return written > 0;
}

bool apm_boolValue(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i] == '0') ++i;
    if (i == text.size()) return false;
    const char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

}  // namespace analytics
