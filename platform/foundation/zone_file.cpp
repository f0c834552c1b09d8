#include "platform/foundation/zone_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace platform {

namespace {

constexpr std::size_t kHeaderSize = 44;
constexpr std::size_t kCountsAt = 20;
// Real zone files are a few kilobytes; a larger file is no zone file, whatever its header says.
constexpr std::size_t kMostSize = 1 << 20;
// Offsets lie within a day of universal time (a little more east, for the dateline's zones).
constexpr std::int64_t kMostOffset = 26 * 3600;

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

std::int64_t signedValue(const unsigned char* bytes, std::size_t size) {
    const std::uint64_t raw = bigEndian(bytes, size);
    return size == 8 ? static_cast<std::int64_t>(raw) : static_cast<std::int32_t>(raw);
}

// Reads a zone file's parts in order, each once it is known to lie inside the file.
class BlockReader {
public:
    explicit BlockReader(const std::string& file) : file_(file) {}

    bool has(std::uint64_t size) const { return size <= file_.size() - at_; }
    const unsigned char* take(std::uint64_t size) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(file_.data()) + at_;
        at_ += static_cast<std::size_t>(size);
        return bytes;
    }
    std::size_t at() const { return at_; }

private:
    const std::string& file_;
    std::size_t at_ = 0;
};

// One header and its data block, whole and consistent in everything the C library takes on trust: counts
// that fit the file and each other, every index inside its table, every abbreviation ended inside its
// table, times in strictly increasing order, offsets and flags in their ranges. Its transition times; none
// for anything else.
std::optional<std::vector<std::time_t>> readBlock(BlockReader& in, std::size_t timeSize) {
    if (!in.has(kHeaderSize)) return std::nullopt;
    const unsigned char* header = in.take(kHeaderSize);
    if (std::memcmp(header, "TZif", 4) != 0) return std::nullopt;
    const Counts counts = Counts::at(header);
    if (counts.types == 0 || counts.types > 256 || counts.characters == 0 ||
        (counts.utIndicators != 0 && counts.utIndicators != counts.types) ||
        (counts.standardIndicators != 0 && counts.standardIndicators != counts.types) ||
        !in.has(counts.dataSize(timeSize)))
        return std::nullopt;
    const unsigned char* times = in.take(counts.transitions * timeSize);
    const unsigned char* typeIndices = in.take(counts.transitions);
    const unsigned char* types = in.take(counts.types * 6);
    const unsigned char* characters = in.take(counts.characters);
    const unsigned char* leaps = in.take(counts.leaps * (timeSize + 4));
    const unsigned char* standard = in.take(counts.standardIndicators);
    const unsigned char* universal = in.take(counts.utIndicators);

    std::vector<std::time_t> found;
    found.reserve(counts.transitions);
    for (std::uint64_t i = 0; i < counts.transitions; ++i) {
        const std::int64_t time = signedValue(times + i * timeSize, timeSize);
        if ((!found.empty() && time <= found.back()) || typeIndices[i] >= counts.types) return std::nullopt;
        found.push_back(static_cast<std::time_t>(time));
    }
    const unsigned char* charactersEnd = characters + counts.characters;
    for (std::uint64_t i = 0; i < counts.types; ++i) {
        const unsigned char* type = types + i * 6;
        const std::int64_t offset = signedValue(type, 4);
        const unsigned char abbreviation = type[5];
        if (offset <= -kMostOffset || offset >= kMostOffset || type[4] > 1 || abbreviation >= counts.characters ||
            std::find(characters + abbreviation, charactersEnd, '\0') == charactersEnd)
            return std::nullopt;
    }
    const std::size_t leapSize = timeSize + 4;
    for (std::uint64_t i = 1; i < counts.leaps; ++i) {
        if (signedValue(leaps + i * leapSize, timeSize) <= signedValue(leaps + (i - 1) * leapSize, timeSize))
            return std::nullopt;
    }
    for (std::uint64_t i = 0; i < counts.types; ++i) {
        const bool isStandard = counts.standardIndicators != 0 && standard[i] != 0;
        const bool isUniversal = counts.utIndicators != 0 && universal[i] != 0;
        if ((counts.standardIndicators != 0 && standard[i] > 1) || (counts.utIndicators != 0 && universal[i] > 1) ||
            (isUniversal && !isStandard))
            return std::nullopt;
    }
    return found;
}

// The footer of a later version: a rule for the times after the last transition, on a line of its own.
bool footerAt(const std::string& file, std::size_t at) {
    if (at >= file.size() || file[at] != '\n') return false;
    const std::size_t end = file.find('\n', at + 1);
    return end != std::string::npos && file.find('\0', at + 1) > end;
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
    BlockReader in(*bytes);
    auto found = readBlock(in, 4);
    // Files after the first version repeat their data with 64-bit times, which the C library prefers,
    // and end with a rule for the times after them.
    if (!found || (*bytes)[4] == '\0') return found;
    found = readBlock(in, 8);
    if (!found || !footerAt(*bytes, in.at())) return std::nullopt;
    return found;
}

}  // namespace platform
