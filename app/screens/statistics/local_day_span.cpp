#include "app/screens/statistics/local_day_span.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

using namespace platform;

namespace {

constexpr double kDay = 86400;
// No zone is more than 26 hours from universal time: where the offset held for three days up to a
// midnight, no earlier instant showed that midnight's date.
constexpr double kSettled = 3 * kDay;
// About 3,000 years either side of the reference date: dates the calendar surely places.
constexpr double kNear = 1e11;

}  // namespace

LocalDaySpan LocalDaySpan::around(NSDate date, const NSCalendar& calendar) {
    const double seconds = date.timeIntervalSinceReferenceDate();
    if (!std::isfinite(seconds)) return {date, date, date};
    const NSTimeZone& zone = calendar.timeZone();
    const auto offset = static_cast<double>(zone.secondsFromGMTForDate(date));
    // The date's midnight at its present offset; the reference date is a midnight.
    const double midnight = std::floor((seconds + offset) / kDay) * kDay - offset;
    double from = midnight - kSettled;
    double until = midnight + kDay;
    // That offset holds from the zone's last change at or before `date` to its next change after it.
    for (auto change = zone.nextDaylightSavingTimeTransitionAfterDate(NSDate(from)); change;
         change = zone.nextDaylightSavingTimeTransitionAfterDate(*change)) {
        if (date < *change) {
            until = std::min(until, change->timeIntervalSinceReferenceDate());
            break;
        }
        from = change->timeIntervalSinceReferenceDate();
    }
    // Clocks that held still since well before the midnight: the day starts there.
    if (from == midnight - kSettled && std::fabs(seconds) < kNear) return {NSDate(midnight), NSDate(midnight), NSDate(until)};
    // Otherwise the calendar finds the date's first instant. It gives a date it cannot place back
    // unchanged, as it does a day's first instant.
    const NSDate dayStart = calendar.startOfDayForDate(date);
    if (dayStart == date && !calendar.components(NSCalendarUnit::Year, date).year) return {date, date, date};
    return {dayStart, NSDate(std::max(from, midnight)), NSDate(until)};
}

}  // namespace quorvel
