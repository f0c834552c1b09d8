#include "platform/foundation/utf8.h"

namespace platform {

char32_t nextMultiByteCodePoint(std::string_view text, std::size_t& offset) {
    const auto lead = static_cast<unsigned char>(text[offset]);
    std::size_t extra;
    char32_t point;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        point = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        point = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        point = lead & 0x07;
    } else {
        return kMalformedUtf8;
    }
    if (text.size() - offset <= extra) return kMalformedUtf8;
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[offset + k]);
        if ((next & 0xC0) != 0x80) return kMalformedUtf8;
        point = (point << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};  // shortest form by length
    if (point < kSmallest[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        return kMalformedUtf8;
    }
    offset += extra + 1;
    return point;
}

std::optional<std::size_t> codePointCount(std::string_view text) {
    std::size_t count = 0;
    if (!forEachCodePoint(text, [&](char32_t) { return ++count, true; })) return std::nullopt;
    return count;
}

std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string points;
    points.reserve(text.size());
    if (!forEachCodePoint(text, [&](char32_t point) { return points.push_back(point), true; })) {
        return std::nullopt;
    }
    return points;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace platform
