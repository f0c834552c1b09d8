#include "platform/foundation/c_library_zone.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/foundation/icu_support.h"
#include "platform/foundation/offset_table_time_zone.h"

namespace platform {

namespace {

constexpr std::time_t kFirstProbe = -2'208'988'800;  // 1900-01-01 00:00 UTC
constexpr std::time_t kLastProbe = 7'258'118'400;    // 2200-01-01 00:00 UTC
// Offsets are sampled a day apart; a change between two samples is then found to the second.
constexpr std::time_t kProbeStep = 86'400;

bool isZoneFile(std::string_view spec) {
    std::filesystem::path file(spec);
    if (!file.is_absolute()) file = CLibraryZone::zoneFolder() / file;
    std::ifstream in(file, std::ios::binary);
    char magic[4] = {};
    return in.read(magic, sizeof magic) && std::string_view(magic, sizeof magic) == "TZif";
}

// Letters and digits as the C library's reader takes them, whatever the locale.
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A POSIX zone name: three or more letters, or three or more letters, digits and signs in angle brackets.
std::optional<std::string_view> afterZoneName(std::string_view rule) {
    std::size_t length = 0;
    while (length < rule.size() && isLetter(rule[length])) ++length;
    if (length >= 3) return rule.substr(length);
    if (rule.empty() || rule[0] != '<') return std::nullopt;
    const std::size_t close = rule.find('>');
    if (close == std::string_view::npos || close < 4) return std::nullopt;
    for (char c : rule.substr(1, close - 1)) {
        if (!isLetter(c) && !isDigit(c) && c != '+' && c != '-') return std::nullopt;
    }
    return rule.substr(close + 1);
}

bool startsWithOffset(std::string_view rest) {
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) rest.remove_prefix(1);
    return !rest.empty() && isDigit(rest[0]);
}

// What the C library says of one instant.
struct Answer {
    long offset;
    bool daylight;
    bool operator==(const Answer&) const = default;
};

Answer answerAt(std::time_t instant) {
    std::tm local{};
    if (!localtime_r(&instant, &local)) return {0, false};
    return {local.tm_gmtoff, local.tm_isdst > 0};
}

struct Change {
    std::time_t at;
    Answer answer;
};

// Every change of the C library's answer between the first and the last probe, the first answer first.
std::vector<Change> changes() {
    std::vector<Change> found{{kFirstProbe, answerAt(kFirstProbe)}};
    std::time_t from = kFirstProbe;
    for (std::time_t next = kFirstProbe + kProbeStep; next <= kLastProbe; next += kProbeStep) {
        // More than one change may lie between two samples.
        while (answerAt(next) != found.back().answer) {
            std::time_t low = from;
            std::time_t high = next;
            while (high - low > 1) {
                const std::time_t middle = low + (high - low) / 2;
                (answerAt(middle) == found.back().answer ? low : high) = middle;
            }
            found.push_back({high, answerAt(high)});
            from = high;
        }
        from = next;
    }
    return found;
}

// The standard offset around change `index`: its own when it is standard time, else that of the
// nearest standard time before it, else after it, else the one the C library names.
long standardOffsetAround(const std::vector<Change>& found, std::size_t index) {
    for (std::size_t i = index + 1; i-- > 0;) {
        if (!found[i].answer.daylight) return found[i].answer.offset;
    }
    for (std::size_t i = index + 1; i < found.size(); ++i) {
        if (!found[i].answer.daylight) return found[i].answer.offset;
    }
    return -timezone;
}

}  // namespace

std::string CLibraryZone::zoneFolder() {
    const char* folder = std::getenv("TZDIR");
    return folder && *folder ? folder : "/usr/share/zoneinfo";
}

bool CLibraryZone::reads(std::string_view spec) {
    if (spec.empty()) return false;
    if (isZoneFile(spec)) return true;
    const auto rest = afterZoneName(spec);
    return rest && startsWithOffset(*rest);
}

std::unique_ptr<icu::TimeZone> CLibraryZone::follow(const std::string& id) {
    tzset();
    const std::vector<Change> found = changes();
    std::vector<OffsetTableTimeZone::Period> periods;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const long standard = standardOffsetAround(found, i);
        const OffsetTableTimeZone::Period period{
            static_cast<UDate>(found[i].at) * 1000.0, static_cast<int32_t>(standard * 1000),
            static_cast<int32_t>((found[i].answer.offset - standard) * 1000)};
        // A change of the daylight flag alone, with no change of offsets, is no transition to ICU.
        if (periods.empty() || periods.back().rawMillis != period.rawMillis ||
            periods.back().dstMillis != period.dstMillis) {
            periods.push_back(period);
        }
    }
    return std::make_unique<OffsetTableTimeZone>(icu_support::toUnicode(id), std::move(periods));
}

}  // namespace platform
