#include "platform/foundation/zone_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace platform {

namespace {

constexpr std::size_t kHeaderSize = 44;
constexpr std::size_t kCountsAt = 20;
// Real zone files are a few kilobytes; a larger file is no zone file, whatever its header says.
constexpr std::size_t kMostSize = 1 << 20;

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

// Reads into `bytes` until it holds `size` bytes or the file ends; false on a read error.
bool readUpTo(int fd, std::string& bytes, std::size_t size) {
    while (bytes.size() < size) {
        char chunk[16 * 1024];
        const ssize_t got = ::read(fd, chunk, std::min(sizeof chunk, size - bytes.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    return true;
}

// The whole of the file at `path` when it is a regular file that starts as a zone file and is no larger
// than one; none when it is anything else or cannot be read. Another program writes it: opening does
// not wait on a FIFO, and nothing past the bound is read.
std::optional<std::string> zoneFileBytes(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    struct stat status {};
    const bool whole = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                       static_cast<std::uintmax_t>(status.st_size) <= kMostSize &&
                       readUpTo(fd, bytes, kHeaderSize) && bytes.size() == kHeaderSize &&
                       bytes.starts_with("TZif") && readUpTo(fd, bytes, kMostSize + 1);
    ::close(fd);
    // The size on record may be behind a file still being written.
    if (!whole || bytes.size() > kMostSize) return std::nullopt;
    return bytes;
}

}  // namespace

std::string ZoneFile::folder() {
    const char* folder = std::getenv("TZDIR");
    return folder && *folder ? folder : "/usr/share/zoneinfo";
}

std::filesystem::path ZoneFile::pathOf(std::string_view spec) {
    std::filesystem::path path(spec);
    return path.is_absolute() ? path : folder() / path;
}

bool ZoneFile::namesOtherFile(std::string_view spec) {
    struct stat status {};
    return !spec.empty() && ::stat(pathOf(spec).c_str(), &status) == 0 && !transitions(spec);
}

std::optional<std::vector<std::time_t>> ZoneFile::transitions(std::string_view spec) {
    if (spec.empty()) return std::nullopt;
    const auto bytes = zoneFileBytes(pathOf(spec));
    if (!bytes) return std::nullopt;
    const std::string& file = *bytes;
    // Files after the first version repeat their data with 64-bit times, which the C library prefers.
    if (file[4] == '\0') return timesAfter(file, 0, 4);
    const Counts first = Counts::at(reinterpret_cast<const unsigned char*>(file.data()));
    const std::size_t second = kHeaderSize + first.dataSize(4);
    if (file.size() < second + kHeaderSize || file.compare(second, 4, "TZif") != 0) return std::nullopt;
    return timesAfter(file, second, 8);
}

}  // namespace platform
