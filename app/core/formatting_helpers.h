#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/ns_date.h"

namespace quorvel {

// "mm:ss" of a millisecond count; minutes are not limited to two digits (6000000 gives "100:00").
// Seconds truncate. A count that is not a finite number gives "00:00".
std::string timeTextFromMilliseconds(double milliseconds);

// "1 hour 30 minutes", " 25 minutes" (the leading space stays when there are no hours), "1 hour 0 minute";
// in brackets "( " … " )".
std::string durationTextFromMinutes(bool inBrackets, std::int64_t minutes);

// Calendar arithmetic in the current calendar and time zone: whole days keep the local wall time across
// daylight-saving changes. All three give the input date back when the calendar cannot form a result.
platform::NSDate dateByAddingDays(platform::NSDate date, std::int64_t days);
// The first instant of the local date: 00:00, or the first instant after a change of the clocks that
// skipped its midnight.
platform::NSDate startOfDay(platform::NSDate date);
// The first instant of the local date `days` dates after `date`'s (before it, when negative), found
// from that date itself: a day's start moved by whole days is not always one.
platform::NSDate startOfDayDaysAfter(platform::NSDate date, std::int64_t days);

// The date in the current locale's best pattern for the fields the template names ("EE,\nd MMM").
std::string dateTextFromTemplate(platform::NSDate date, const std::string& dateTemplate);

}  // namespace quorvel
