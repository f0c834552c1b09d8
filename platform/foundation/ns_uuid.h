#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// A universally unique identifier. A new one is random (version 4, from the kernel's random source).
class NSUUID {
  public:
    using Bytes = std::array<std::uint8_t, 16>;

    NSUUID();
    static NSUUID UUID() { return NSUUID(); }
    // Reads the 8-4-4-4-12 hexadecimal form, in either case; none for anything else.
    static std::optional<NSUUID> initWithUUIDString(const std::string& text);

    // Upper case, 8-4-4-4-12: "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
    std::string UUIDString() const;
    const Bytes& bytes() const { return bytes_; }

    auto operator<=>(const NSUUID&) const = default;

  private:
    explicit NSUUID(const Bytes& bytes) : bytes_(bytes) {}

    Bytes bytes_{};
};

}  // namespace platform
