#include "app/core/formatting_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/ns_date_formatter.h"
#include "platform/foundation/ns_locale.h"
#include "platform/foundation/ns_time_zone.h"

namespace quorvel {

namespace {

using platform::NSCalendar;
using platform::NSCalendarUnit;
using platform::NSDate;

// Truncates toward zero into the int range, so a huge count cannot overflow the conversion.
int truncatedInt(double value) {
    constexpr double kLow = std::numeric_limits<int>::min();
    constexpr double kHigh = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::trunc(value), kLow, kHigh));
}

NSCalendar currentCalendarInCurrentZone() {
    NSCalendar calendar = NSCalendar::currentCalendar();
    calendar.setTimeZone(platform::NSTimeZone::defaultTimeZone());
    return calendar;
}

}  // namespace

std::string timeTextFromMilliseconds(double milliseconds) {
    if (!std::isfinite(milliseconds)) return "00:00";
    const int minutes = truncatedInt(std::floor(milliseconds / 60000.0));
    const int seconds = truncatedInt(std::fmod(milliseconds, 60000.0) / 1000.0);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes, seconds);
    return text;
}

std::string durationTextFromMinutes(bool inBrackets, std::int64_t minutes) {
    const std::int64_t hours = minutes / 60;
    const std::int64_t rest = minutes - hours * 60;
    std::string text = inBrackets ? "( " : "";
    if (minutes >= 60) {
        text.append(minutes < 120 ? "1" : std::to_string(hours));
        text.append(minutes < 120 ? " hour" : " hours");
    }
    text.append(" ").append(std::to_string(rest)).append(rest < 2 ? " minute" : " minutes");
    if (inBrackets) text.append(" )");
    return text;
}

NSDate dateByAddingDays(NSDate date, std::int64_t days) {
    platform::NSDateComponents components;
    components.day = days;
    return currentCalendarInCurrentZone().dateByAddingComponents(components, date, false).value_or(date);
}

NSDate startOfDay(NSDate date) {
    return currentCalendarInCurrentZone().startOfDayForDate(date);
}

NSDate startOfDayDaysAfter(NSDate date, std::int64_t days) {
    const NSCalendar calendar = currentCalendarInCurrentZone();
    const auto units = NSCalendarUnit::Era | NSCalendarUnit::Year | NSCalendarUnit::Month | NSCalendarUnit::Day;
    auto components = calendar.components(units, date);
    if (!components.day || days < -365'000'000 || days > 365'000'000) return date;
    // Noon of that date (the calendar carries a day past the month's end into the next month); midnight
    // itself may not exist there.
    components.day = *components.day + days;
    components.hour = 12;
    const auto noon = calendar.dateFromComponents(components);
    return noon ? calendar.startOfDayForDate(*noon) : date;
}

std::string dateTextFromTemplate(NSDate date, const std::string& dateTemplate) {
    platform::NSDateFormatter formatter;
    const auto format = platform::NSDateFormatter::dateFormatFromTemplate(
        dateTemplate, 0, platform::NSLocale::currentLocale());
    formatter.setDateFormat(format.value_or(""));
    return formatter.stringFromDate(date);
}

}  // namespace quorvel
