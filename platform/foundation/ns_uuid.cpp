#include "platform/foundation/ns_uuid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace platform {

namespace {

constexpr std::array<std::size_t, 4> kHyphenPositions{8, 13, 18, 23};
constexpr std::size_t kStringLength = 36;

void fillRandom(NSUUID::Bytes& bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got > 0) {
            filled += static_cast<std::size_t>(got);
        } else if (got < 0 && errno != EINTR) {
            break;
        }
    }
    if (filled == bytes.size()) return;
    // A kernel without getrandom: the library's own source of randomness.
    std::random_device device;
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(device());
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isHyphenPosition(std::size_t index) {
    for (std::size_t position : kHyphenPositions) {
        if (position == index) return true;
    }
    return false;
}

}  // namespace

NSUUID::NSUUID() {
    fillRandom(bytes_);
    bytes_[6] = static_cast<std::uint8_t>((bytes_[6] & 0x0f) | 0x40);  // version 4
    bytes_[8] = static_cast<std::uint8_t>((bytes_[8] & 0x3f) | 0x80);  // RFC 4122 variant
}

std::optional<NSUUID> NSUUID::initWithUUIDString(const std::string& text) {
    if (text.size() != kStringLength) return std::nullopt;
    Bytes bytes{};
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHyphenPosition(i)) {
            if (text[i] != '-') return std::nullopt;
            continue;
        }
        const int value = hexValue(text[i]);
        if (value < 0) return std::nullopt;
        bytes[nibble / 2] =
            static_cast<std::uint8_t>(bytes[nibble / 2] | (nibble % 2 == 0 ? value << 4 : value));
        ++nibble;
    }
    return NSUUID(bytes);
}

std::string NSUUID::UUIDString() const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(kStringLength);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += kDigits[bytes_[i] >> 4];
        text += kDigits[bytes_[i] & 0x0f];
    }
    return text;
}

}  // namespace platform
