#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_date_components.h"
#include "platform/foundation/ns_time_zone.h"

namespace platform {

enum NSComparisonResult : int { NSOrderedAscending = -1, NSOrderedSame = 0, NSOrderedDescending = 1 };

// The Gregorian calendar in one time zone, backed by ICU. A plain value: copies are independent, and
// every operation is safe to call from any thread.
//
// Arithmetic follows the platform: adding days, months or years keeps the local wall time across a
// daylight-saving change, adding hours, minutes or seconds adds elapsed time. Building a date from
// components is lenient (hour 25 or day 0 roll over); a wall time inside a daylight-saving gap moves
// forward by the gap, a repeated one takes its first occurrence.
class NSCalendar {
public:
    // Gregorian, in the default time zone as it is now.
    NSCalendar();
    static NSCalendar currentCalendar() { return NSCalendar(); }

    const NSTimeZone& timeZone() const { return timeZone_; }
    void setTimeZone(const NSTimeZone& zone) { timeZone_ = zone; }

    // Only the requested fields are set; none for a date ICU cannot represent (NaN, infinite).
    NSDateComponents components(NSCalendarUnit units, NSDate date) const;
    // The value of one unit, NSDateComponentUndefined when it cannot be given.
    std::int64_t component(NSCalendarUnit unit, NSDate date) const;
    std::optional<NSDate> dateFromComponents(const NSDateComponents& components) const;

    // Local midnight; on a day that starts inside a daylight-saving gap, its first existing instant.
    NSDate startOfDayForDate(NSDate date) const;
    // The same day at that wall time; a time inside a daylight-saving gap gives the first instant
    // after the gap, a repeated time its first occurrence. None for an hour, minute or second out of range.
    std::optional<NSDate> dateBySettingHour(int hour, int minute, int second, NSDate ofDate) const;

    // Adds the fields from the largest unit down. With `wrap`, a field rolls over without carrying
    // into larger units.
    std::optional<NSDate> dateByAddingComponents(const NSDateComponents& components, NSDate date,
                                                 bool wrap = false) const;
    std::optional<NSDate> dateByAddingUnit(NSCalendarUnit unit, std::int64_t value, NSDate date,
                                           bool wrap = false) const;

    // The difference from `fromDate` to `toDate` in the requested units, largest first, each truncated
    // toward zero (negative when `toDate` is earlier).
    NSDateComponents components(NSCalendarUnit units, NSDate fromDate, NSDate toDate) const;

    bool isDateInToday(NSDate date) const;
    bool isDate(NSDate date, NSDate inSameDayAsDate) const;
    // Orders two dates after truncating both to the unit (same day, same hour, …).
    NSComparisonResult compareDate(NSDate date, NSDate toDate, NSCalendarUnit toUnitGranularity) const;

private:
    NSTimeZone timeZone_;
};

}  // namespace platform
