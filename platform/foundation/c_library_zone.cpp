#include "platform/foundation/c_library_zone.h"

#include <ctime>
#include <optional>
#include <vector>

#include "platform/foundation/c_library_changes.h"
#include "platform/foundation/icu_support.h"
#include "platform/foundation/offset_table_time_zone.h"
#include "platform/foundation/zone_file.h"

namespace platform {

namespace {

constexpr std::time_t kFirstProbe = -2'208'988'800;  // 1900-01-01 00:00 UTC
constexpr std::time_t kLastProbe = 7'258'118'400;    // 2200-01-01 00:00 UTC
constexpr std::time_t kHour = 3'600;
constexpr std::time_t kDay = 86'400;

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

// The C library reads the hours with scanf, which also takes blanks and a second sign after the first sign.
bool startsWithOffset(std::string_view rest) {
    if (!rest.empty() && isDigit(rest[0])) return true;
    if (rest.empty() || (rest[0] != '+' && rest[0] != '-')) return false;
    rest.remove_prefix(1);
    while (!rest.empty() && std::string_view(" \t\n\v\f\r").find(rest[0]) != std::string_view::npos)
        rest.remove_prefix(1);
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) rest.remove_prefix(1);
    return !rest.empty() && isDigit(rest[0]);
}

// The standard offset around change `index`: its own when it is standard time, else that of the
// nearest standard time before it, else after it, else the one the C library names.
long standardOffsetAround(const std::vector<CLibraryChanges::Change>& found, std::size_t index) {
    for (std::size_t i = index + 1; i-- > 0;) {
        if (!found[i].answer.daylight) return found[i].answer.offset;
    }
    for (std::size_t i = index + 1; i < found.size(); ++i) {
        if (!found[i].answer.daylight) return found[i].answer.offset;
    }
    return -timezone;
}

}  // namespace

bool CLibraryZone::reads(std::string_view spec) {
    if (spec.empty()) return false;
    if (ZoneFile::transitions(spec)) return true;
    const auto rest = afterZoneName(spec);
    return rest && startsWithOffset(*rest);
}

std::unique_ptr<icu::TimeZone> CLibraryZone::follow(const std::string& id, std::string_view spec) {
    tzset();
    const auto file = ZoneFile::transitions(spec);
    // Zone files never change back within days; a rule written out in TZ may keep daylight time for an hour.
    const std::time_t step = !file && spec.find(',') != std::string_view::npos ? kHour : kDay;
    const auto found =
        CLibraryChanges::between(kFirstProbe, kLastProbe, file.value_or(std::vector<std::time_t>{}), step);
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
