#include "platform/usernotifications/un_calendar_notification_trigger.h"

#include <vector>

#include "platform/foundation/ns_calendar.h"

namespace platform {

namespace {

// Long enough for any date that exists at all: a 29 February may be eight years away.
constexpr int kSearchDays = 366 * 8 + 2;

bool fits(const std::optional<std::int64_t>& wanted, std::int64_t actual) {
    return !wanted || *wanted == actual;
}

// The values a time field takes within its larger unit: the one given, every value when a smaller
// field is given (so each match starts on time), else only the first.
std::vector<int> valuesOf(const std::optional<std::int64_t>& field, bool smallerGiven, int count) {
    if (field) return {static_cast<int>(*field)};
    if (!smallerGiven) return {0};
    std::vector<int> all(count);
    for (int i = 0; i < count; ++i) all[i] = i;
    return all;
}

}  // namespace

std::string UNCalendarNotificationTrigger::rangeProblem() const {
    const auto& c = components_;
    if (c.era || c.nanosecond || c.weekdayOrdinal)
        return "Only year, month, day, weekday, hour, minute and second can be matched.";
    if (!c.year && !c.month && !c.day && !c.weekday && !c.hour && !c.minute && !c.second) {
        return "The date components match every moment.";
    }
    const struct {
        const std::optional<std::int64_t>& field;
        std::int64_t low, high;
        const char* name;
    } ranges[] = {{c.year, 1, 9999, "year"},    {c.month, 1, 12, "month"}, {c.day, 1, 31, "day"},
                  {c.weekday, 1, 7, "weekday"}, {c.hour, 0, 23, "hour"},   {c.minute, 0, 59, "minute"},
                  {c.second, 0, 59, "second"}};
    for (const auto& range : ranges) {
        if (range.field && (*range.field < range.low || *range.field > range.high)) {
            return std::string("The ") + range.name + " " + std::to_string(*range.field) +
                   " is out of range.";
        }
    }
    return {};
}

std::string UNCalendarNotificationTrigger::invalidReason() const {
    if (auto problem = rangeProblem(); !problem.empty()) return problem;
    if (!nextDateAfter(NSDate::now())) return "The date components match no date to come.";
    return {};
}

std::optional<NSDate> UNCalendarNotificationTrigger::nextDateAfter(NSDate date) const {
    if (!rangeProblem().empty()) return std::nullopt;
    const auto& c = components_;
    const auto hours = valuesOf(c.hour, c.minute || c.second, 24);
    const auto minutes = valuesOf(c.minute, c.second.has_value(), 60);
    const auto seconds = valuesOf(c.second, false, 60);
    const NSCalendar calendar = NSCalendar::currentCalendar();
    const auto dayUnits =
        NSCalendarUnit::Year | NSCalendarUnit::Month | NSCalendarUnit::Day | NSCalendarUnit::Weekday;
    NSDate day = calendar.startOfDayForDate(date);
    for (int i = 0; i < kSearchDays; ++i) {
        const auto fields = calendar.components(dayUnits, day);
        if (!fields.year) return std::nullopt;
        if (fits(c.year, *fields.year) && fits(c.month, *fields.month) && fits(c.day, *fields.day) &&
            fits(c.weekday, *fields.weekday)) {
            for (int hour : hours) {
                for (int minute : minutes) {
                    for (int second : seconds) {
                        const auto moment = calendar.dateBySettingHour(hour, minute, second, day);
                        if (moment && *moment > date) return moment;
                    }
                }
            }
        }
        // Noon of the next day and back to its start: steady across daylight-saving changes.
        const auto next = calendar.dateByAddingUnit(NSCalendarUnit::Hour, 36, day);
        if (!next) return std::nullopt;
        day = calendar.startOfDayForDate(*next);
    }
    return std::nullopt;
}

}  // namespace platform
