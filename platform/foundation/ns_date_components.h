#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace platform {

// Calendar units as bit flags, with the platform's numeric values.
enum class NSCalendarUnit : std::uint64_t {
    Era = 1u << 1,
    Year = 1u << 2,
    Month = 1u << 3,
    Day = 1u << 4,
    Hour = 1u << 5,
    Minute = 1u << 6,
    Second = 1u << 7,
    Weekday = 1u << 9,
    WeekdayOrdinal = 1u << 10,
    Nanosecond = 1u << 15,
};

constexpr NSCalendarUnit operator|(NSCalendarUnit a, NSCalendarUnit b) {
    return static_cast<NSCalendarUnit>(static_cast<std::uint64_t>(a) | static_cast<std::uint64_t>(b));
}

constexpr bool containsUnit(NSCalendarUnit units, NSCalendarUnit unit) {
    return (static_cast<std::uint64_t>(units) & static_cast<std::uint64_t>(unit)) != 0;
}

// What NSCalendar::component answers for a unit it cannot give.
constexpr std::int64_t NSDateComponentUndefined = std::numeric_limits<std::int64_t>::max();

// A date broken into calendar fields; an absent field is one not asked for or not set.
// Weekdays count 1 = Sunday … 7 = Saturday.
struct NSDateComponents {
    std::optional<std::int64_t> era{};
    std::optional<std::int64_t> year{};
    std::optional<std::int64_t> month{};
    std::optional<std::int64_t> day{};
    std::optional<std::int64_t> hour{};
    std::optional<std::int64_t> minute{};
    std::optional<std::int64_t> second{};
    std::optional<std::int64_t> nanosecond{};
    std::optional<std::int64_t> weekday{};
    std::optional<std::int64_t> weekdayOrdinal{};

    // The field of a single unit; nullptr for a combination of units.
    std::optional<std::int64_t>* field(NSCalendarUnit unit);
    const std::optional<std::int64_t>* field(NSCalendarUnit unit) const;

    bool operator==(const NSDateComponents&) const = default;
};

inline const std::optional<std::int64_t>* NSDateComponents::field(NSCalendarUnit unit) const {
    switch (unit) {
        case NSCalendarUnit::Era:
            return &era;
        case NSCalendarUnit::Year:
            return &year;
        case NSCalendarUnit::Month:
            return &month;
        case NSCalendarUnit::Day:
            return &day;
        case NSCalendarUnit::Hour:
            return &hour;
        case NSCalendarUnit::Minute:
            return &minute;
        case NSCalendarUnit::Second:
            return &second;
        case NSCalendarUnit::Nanosecond:
            return &nanosecond;
        case NSCalendarUnit::Weekday:
            return &weekday;
        case NSCalendarUnit::WeekdayOrdinal:
            return &weekdayOrdinal;
    }
    return nullptr;
}

inline std::optional<std::int64_t>* NSDateComponents::field(NSCalendarUnit unit) {
    return const_cast<std::optional<std::int64_t>*>(std::as_const(*this).field(unit));
}

}  // namespace platform
