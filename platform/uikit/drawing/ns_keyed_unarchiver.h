#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class UIColor;

// Reads what NSKeyedArchiver writes (the format is described there).
class NSKeyedUnarchiver {
public:
    // Archives larger than this are not colours and are refused unread.
    static constexpr std::size_t kMaxArchiveSize = 64 * 1024;

    // The archived colour, or null for anything else: empty, truncated or foreign bytes, another class,
    // an unknown colour space or version, a wrong number of components or components that are not
    // finite numbers. Never throws. Components outside 0…1 are clamped as the colour factories do.
    static std::shared_ptr<UIColor> unarchiveColor(const std::vector<std::uint8_t>& data);
};

}  // namespace platform
