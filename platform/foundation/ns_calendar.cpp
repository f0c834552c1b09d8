#include "platform/foundation/ns_calendar.h"

#include <unicode/gregocal.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "platform/foundation/icu_support.h"

namespace platform {

namespace {

// ICU keeps years and day numbers in 32-bit integers; dates and amounts beyond these bounds would
// overflow inside it (or, for dates, in a difference counted in microseconds), so they are refused
// instead. They lie far beyond any date the app meets.
constexpr double kMaxSecondsFromReferenceDate = 1e12;  // about 31,000 years

struct UnitField {
    NSCalendarUnit unit;
    UCalendarDateFields field;
    std::int64_t maxMagnitude;
};

// Largest unit first: the order of addition and of differences.
constexpr std::array<UnitField, 9> kUnitFields{{
    {NSCalendarUnit::Era, UCAL_ERA, 1'000'000},
    {NSCalendarUnit::Year, UCAL_YEAR, 1'000'000},
    {NSCalendarUnit::Month, UCAL_MONTH, 12'000'000},
    {NSCalendarUnit::WeekdayOrdinal, UCAL_DAY_OF_WEEK_IN_MONTH, 52'000'000},
    {NSCalendarUnit::Day, UCAL_DATE, 365'000'000},
    {NSCalendarUnit::Weekday, UCAL_DAY_OF_WEEK, 365'000'000},
    {NSCalendarUnit::Hour, UCAL_HOUR_OF_DAY, INT32_MAX},
    {NSCalendarUnit::Minute, UCAL_MINUTE, INT32_MAX},
    {NSCalendarUnit::Second, UCAL_SECOND, INT32_MAX},
}};

struct ElapsedUnit {
    NSCalendarUnit unit;
    std::int64_t seconds;
};
constexpr std::array<ElapsedUnit, 3> kElapsedUnits{{
    {NSCalendarUnit::Hour, 3600},
    {NSCalendarUnit::Minute, 60},
    {NSCalendarUnit::Second, 1},
}};

const ElapsedUnit* elapsedUnit(NSCalendarUnit unit) {
    for (const ElapsedUnit& entry : kElapsedUnits) {
        if (entry.unit == unit) return &entry;
    }
    return nullptr;
}

const UnitField& unitField(NSCalendarUnit unit) {
    return *std::find_if(kUnitFields.begin(), kUnitFields.end(),
                         [unit](const UnitField& e) { return e.unit == unit; });
}

// The calendar fields that tell two dates apart down to `granularity`; none for the units measured
// in elapsed time.
std::optional<NSCalendarUnit> fieldsDownTo(NSCalendarUnit granularity) {
    switch (granularity) {
        case NSCalendarUnit::Era:
            return NSCalendarUnit::Era;
        case NSCalendarUnit::Year:
            return NSCalendarUnit::Era | NSCalendarUnit::Year;
        case NSCalendarUnit::Month:
            return NSCalendarUnit::Era | NSCalendarUnit::Year | NSCalendarUnit::Month;
        case NSCalendarUnit::Day:
        case NSCalendarUnit::Weekday:
        case NSCalendarUnit::WeekdayOrdinal:
            return NSCalendarUnit::Era | NSCalendarUnit::Year | NSCalendarUnit::Month | NSCalendarUnit::Day;
        default:
            return std::nullopt;
    }
}

template <typename T>
NSComparisonResult order(const T& a, const T& b) {
    return a < b ? NSOrderedAscending : (b < a ? NSOrderedDescending : NSOrderedSame);
}

// ICU months count from 0.
std::int64_t toIcuValue(NSCalendarUnit unit, std::int64_t value) {
    return unit == NSCalendarUnit::Month ? value - 1 : value;
}
std::int64_t fromIcuValue(NSCalendarUnit unit, std::int32_t value) {
    return unit == NSCalendarUnit::Month ? std::int64_t{value} + 1 : value;
}

bool withinBounds(const UnitField& entry, std::int64_t value) {
    return value >= -entry.maxMagnitude && value <= entry.maxMagnitude;
}

bool isSupported(NSDate date) {
    const double seconds = date.timeIntervalSinceReferenceDate();
    return std::isfinite(seconds) && std::fabs(seconds) <= kMaxSecondsFromReferenceDate;
}

std::unique_ptr<icu::Calendar> makeCalendar(const NSTimeZone& zone) {
    const icu::TimeZone* icuZone = icu_support::timeZoneNamed(zone.name());
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(icuZone ? *icuZone : *icu::TimeZone::getGMT(),
                                                             icu::Locale::getUS(), status);
    if (U_FAILURE(status)) return nullptr;
    calendar->setLenient(true);
    calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    calendar->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
    return calendar;
}

// Puts the calendar on the whole millisecond at or before `date` and returns that millisecond, so
// results can be given as `date` plus a whole-millisecond delta without losing its fraction.
std::optional<UDate> setDate(icu::Calendar& calendar, NSDate date) {
    if (!isSupported(date)) return std::nullopt;
    const UDate millis = std::floor(icu_support::toUDate(date.timeIntervalSinceReferenceDate()));
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(millis, status);
    if (U_FAILURE(status)) return std::nullopt;
    return millis;
}

std::optional<UDate> currentMillis(const icu::Calendar& calendar) {
    UErrorCode status = U_ZERO_ERROR;
    const UDate millis = calendar.getTime(status);
    if (U_FAILURE(status) || !std::isfinite(millis)) return std::nullopt;
    return millis;
}

std::optional<std::int32_t> fieldValue(const icu::Calendar& calendar, UCalendarDateFields field) {
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t value = calendar.get(field, status);
    if (U_FAILURE(status)) return std::nullopt;
    return value;
}

// The nanoseconds past the whole second the calendar shows for `date` (set with setDate).
std::int64_t nanosecondOf(NSDate date, UDate calendarMillis) {
    const UDate secondStart = std::floor(calendarMillis / 1000.0) * 1000.0;
    const double fraction = date.timeIntervalSinceReferenceDate() - icu_support::fromUDate(secondStart);
    const auto nanos = static_cast<std::int64_t>(std::llround(fraction * 1e9));
    return std::clamp<std::int64_t>(nanos, 0, 999'999'999);
}

std::optional<NSDate> dateAtWallTime(const NSTimeZone& zone, NSDate day, int hour, int minute, int second) {
    auto calendar = makeCalendar(zone);
    if (!calendar || !setDate(*calendar, day)) return std::nullopt;
    const auto era = fieldValue(*calendar, UCAL_ERA);
    const auto year = fieldValue(*calendar, UCAL_YEAR);
    const auto month = fieldValue(*calendar, UCAL_MONTH);
    const auto date = fieldValue(*calendar, UCAL_DATE);
    if (!era || !year || !month || !date) return std::nullopt;
    calendar->clear();
    calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
    calendar->set(UCAL_ERA, *era);
    calendar->set(*year, *month, *date, hour, minute, second);
    const auto millis = currentMillis(*calendar);
    if (!millis) return std::nullopt;
    return NSDate(icu_support::fromUDate(*millis));
}

}  // namespace

NSCalendar::NSCalendar() : timeZone_(NSTimeZone::defaultTimeZone()) {}

NSDateComponents NSCalendar::components(NSCalendarUnit units, NSDate date) const {
    auto calendar = makeCalendar(timeZone_);
    if (!calendar) return {};
    const auto millis = setDate(*calendar, date);
    if (!millis) return {};
    NSDateComponents result;
    for (const UnitField& entry : kUnitFields) {
        if (!containsUnit(units, entry.unit)) continue;
        const auto value = fieldValue(*calendar, entry.field);
        if (!value) return {};
        *result.field(entry.unit) = fromIcuValue(entry.unit, *value);
    }
    if (containsUnit(units, NSCalendarUnit::Nanosecond)) result.nanosecond = nanosecondOf(date, *millis);
    return result;
}

std::int64_t NSCalendar::component(NSCalendarUnit unit, NSDate date) const {
    const NSDateComponents all = components(unit, date);
    const std::optional<std::int64_t>* field = all.field(unit);
    return field && *field ? **field : NSDateComponentUndefined;
}

std::optional<NSDate> NSCalendar::dateFromComponents(const NSDateComponents& components) const {
    auto calendar = makeCalendar(timeZone_);
    if (!calendar) return std::nullopt;
    calendar->clear();
    // Weekday fields first: ICU resolves a date from the fields set last, and a given day of the
    // month takes precedence over a weekday.
    constexpr std::array<NSCalendarUnit, 9> kSetOrder{
        NSCalendarUnit::Weekday, NSCalendarUnit::WeekdayOrdinal, NSCalendarUnit::Era,
        NSCalendarUnit::Year,    NSCalendarUnit::Month,          NSCalendarUnit::Day,
        NSCalendarUnit::Hour,    NSCalendarUnit::Minute,         NSCalendarUnit::Second,
    };
    for (NSCalendarUnit unit : kSetOrder) {
        const std::optional<std::int64_t>& value = *components.field(unit);
        if (!value) continue;
        const UnitField& entry = unitField(unit);
        if (!withinBounds(entry, *value)) return std::nullopt;
        calendar->set(entry.field, static_cast<std::int32_t>(toIcuValue(unit, *value)));
    }
    const auto millis = currentMillis(*calendar);
    if (!millis) return std::nullopt;
    const double nanos = static_cast<double>(components.nanosecond.value_or(0));
    const double seconds = icu_support::fromUDate(*millis) + nanos / 1e9;
    if (!std::isfinite(seconds)) return std::nullopt;
    return NSDate(seconds);
}

NSDate NSCalendar::startOfDayForDate(NSDate date) const {
    return dateAtWallTime(timeZone_, date, 0, 0, 0).value_or(date);
}

std::optional<NSDate> NSCalendar::dateBySettingHour(int hour, int minute, int second, NSDate ofDate) const {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    return dateAtWallTime(timeZone_, ofDate, hour, minute, second);
}

std::optional<NSDate> NSCalendar::dateByAddingComponents(const NSDateComponents& components, NSDate date,
                                                         bool wrap) const {
    auto calendar = makeCalendar(timeZone_);
    if (!calendar) return std::nullopt;
    const auto start = setDate(*calendar, date);
    if (!start) return std::nullopt;
    double elapsedSeconds = 0;
    for (const UnitField& entry : kUnitFields) {
        const std::optional<std::int64_t>& value = *components.field(entry.unit);
        if (!value || *value == 0) continue;
        if (!withinBounds(entry, *value)) return std::nullopt;
        // Hours, minutes and seconds are elapsed time unless they wrap.
        if (const ElapsedUnit* elapsed = elapsedUnit(entry.unit); elapsed && !wrap) {
            elapsedSeconds += static_cast<double>(*value) * static_cast<double>(elapsed->seconds);
            continue;
        }
        UErrorCode status = U_ZERO_ERROR;
        const auto amount = static_cast<std::int32_t>(*value);
        if (wrap) {
            calendar->roll(entry.field, amount, status);
        } else {
            calendar->add(entry.field, amount, status);
        }
        if (U_FAILURE(status)) return std::nullopt;
    }
    const auto end = currentMillis(*calendar);
    if (!end) return std::nullopt;
    elapsedSeconds += static_cast<double>(components.nanosecond.value_or(0)) / 1e9;
    const double seconds = date.timeIntervalSinceReferenceDate() + (*end - *start) / 1000.0 + elapsedSeconds;
    if (!std::isfinite(seconds)) return std::nullopt;
    return NSDate(seconds);
}

std::optional<NSDate> NSCalendar::dateByAddingUnit(NSCalendarUnit unit, std::int64_t value, NSDate date,
                                                   bool wrap) const {
    NSDateComponents components;
    std::optional<std::int64_t>* field = components.field(unit);
    if (!field) return std::nullopt;
    *field = value;
    return dateByAddingComponents(components, date, wrap);
}

NSDateComponents NSCalendar::components(NSCalendarUnit units, NSDate fromDate, NSDate toDate) const {
    auto calendar = makeCalendar(timeZone_);
    if (!calendar || !isSupported(toDate)) return {};
    const auto start = setDate(*calendar, fromDate);
    if (!start) return {};
    // The calendar stands on whole milliseconds; shift the target by the same fraction.
    const double fromFraction = icu_support::toUDate(fromDate.timeIntervalSinceReferenceDate()) - *start;
    const UDate target = icu_support::toUDate(toDate.timeIntervalSinceReferenceDate()) - fromFraction;

    NSDateComponents result;
    for (const UnitField& entry : kUnitFields) {
        if (!containsUnit(units, entry.unit) || elapsedUnit(entry.unit)) continue;
        UErrorCode status = U_ZERO_ERROR;
        const std::int32_t difference = calendar->fieldDifference(target, entry.field, status);
        if (U_FAILURE(status)) return result;
        *result.field(entry.unit) = difference;
    }
    const auto reached = currentMillis(*calendar);
    if (!reached) return result;
    // What is left is elapsed time. Counted in whole microseconds, so that an exact hour that
    // floating point puts a hair short still counts as one.
    const double remainingSeconds =
        toDate.timeIntervalSinceReferenceDate() -
        (fromDate.timeIntervalSinceReferenceDate() + (*reached - *start) / 1000.0);
    std::int64_t remaining = std::llround(remainingSeconds * 1e6);
    for (const ElapsedUnit& elapsed : kElapsedUnits) {
        if (!containsUnit(units, elapsed.unit)) continue;
        const std::int64_t length = elapsed.seconds * 1'000'000;
        *result.field(elapsed.unit) = remaining / length;
        remaining %= length;
    }
    if (containsUnit(units, NSCalendarUnit::Nanosecond)) result.nanosecond = remaining * 1000;
    return result;
}

bool NSCalendar::isDateInToday(NSDate date) const {
    return isDate(date, NSDate::now());
}

bool NSCalendar::isDate(NSDate date, NSDate inSameDayAsDate) const {
    return compareDate(date, inSameDayAsDate, NSCalendarUnit::Day) == NSOrderedSame;
}

NSComparisonResult NSCalendar::compareDate(NSDate date, NSDate toDate, NSCalendarUnit granularity) const {
    if (const auto fields = fieldsDownTo(granularity)) {
        // A day's calendar fields never repeat, so comparing them orders the days.
        const NSDateComponents a = components(*fields, date);
        const NSDateComponents b = components(*fields, toDate);
        if (a != NSDateComponents{} && b != NSDateComponents{}) {
            auto key = [](const NSDateComponents& c) {
                return std::array{c.era.value_or(0), c.year.value_or(0), c.month.value_or(0),
                                  c.day.value_or(0)};
            };
            return order(key(a), key(b));
        }
    } else if (const ElapsedUnit* elapsed = elapsedUnit(granularity)) {
        // The start of the hour (minute, second) in elapsed time, found through the local offset, so
        // the two occurrences of a repeated hour stay apart.
        const auto length = static_cast<double>(elapsed->seconds);
        auto unitStart = [&](NSDate d) {
            const double seconds = d.timeIntervalSinceReferenceDate();
            const double local = seconds + static_cast<double>(timeZone_.secondsFromGMTForDate(d));
            return seconds - (local - std::floor(local / length) * length);
        };
        return order(unitStart(date), unitStart(toDate));
    }
    return order(date.timeIntervalSinceReferenceDate(), toDate.timeIntervalSinceReferenceDate());
}

}  // namespace platform
