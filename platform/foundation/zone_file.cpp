#include "platform/foundation/zone_file.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace platform {

namespace {

constexpr std::size_t kHeaderSize = 44;
constexpr std::size_t kCountsAt = 20;

std::uint64_t bigEndian(const unsigned char* bytes, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = value << 8 | bytes[i];
    return value;
}

struct Counts {
    std::uint64_t utIndicators, standardIndicators, leaps, transitions, types, characters;

    static Counts at(const unsigned char* header) {
        const unsigned char* counts = header + kCountsAt;
        return {bigEndian(counts, 4),      bigEndian(counts + 4, 4),  bigEndian(counts + 8, 4),
                bigEndian(counts + 12, 4), bigEndian(counts + 16, 4), bigEndian(counts + 20, 4)};
    }
    // The size of the data block after a header whose times are `timeSize` bytes long.
    std::uint64_t dataSize(std::uint64_t timeSize) const {
        return transitions * (timeSize + 1) + types * 6 + characters + leaps * (timeSize + 4) +
               standardIndicators + utIndicators;
    }
};

// The transition times of the block after the header at `header`; none when the file is short.
std::optional<std::vector<std::time_t>> timesAfter(const std::string& file, std::size_t header,
                                                   std::size_t timeSize) {
    const Counts counts = Counts::at(reinterpret_cast<const unsigned char*>(file.data()) + header);
    if (file.size() < header + kHeaderSize + counts.dataSize(timeSize)) return std::nullopt;
    const auto* times = reinterpret_cast<const unsigned char*>(file.data()) + header + kHeaderSize;
    std::vector<std::time_t> found;
    found.reserve(counts.transitions);
    for (std::uint64_t i = 0; i < counts.transitions; ++i) {
        const std::uint64_t raw = bigEndian(times + i * timeSize, timeSize);
        found.push_back(timeSize == 8 ? static_cast<std::time_t>(static_cast<std::int64_t>(raw))
                                      : static_cast<std::time_t>(static_cast<std::int32_t>(raw)));
    }
    return found;
}

}  // namespace

std::string ZoneFile::folder() {
    const char* folder = std::getenv("TZDIR");
    return folder && *folder ? folder : "/usr/share/zoneinfo";
}

std::optional<std::vector<std::time_t>> ZoneFile::transitions(std::string_view spec) {
    if (spec.empty()) return std::nullopt;
    std::filesystem::path path(spec);
    if (!path.is_absolute()) path = folder() / path;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (file.size() < kHeaderSize || !file.starts_with("TZif")) return std::nullopt;
    // Files after the first version repeat their data with 64-bit times, which the C library prefers.
    if (file[4] == '\0') return timesAfter(file, 0, 4);
    const Counts first = Counts::at(reinterpret_cast<const unsigned char*>(file.data()));
    const std::size_t second = kHeaderSize + first.dataSize(4);
    if (file.size() < second + kHeaderSize || file.compare(second, 4, "TZif") != 0) return std::nullopt;
    return timesAfter(file, second, 8);
}

}  // namespace platform
