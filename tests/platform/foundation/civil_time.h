#pragma once

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "platform/foundation/ns_date.h"

// UTC instants written as calendar dates without going through ICU, so calendar tests check ICU
// against independent arithmetic.
namespace quorvel::testing {

// Days from 1970-01-01 to the given proleptic Gregorian date.
constexpr long daysFromCivil(long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long>(dayOfEra) - 719468;
}

constexpr platform::NSDate utc(long year, unsigned month, unsigned day, int hour = 0, int minute = 0,
                               double second = 0) {
    const double seconds = static_cast<double>(daysFromCivil(year, month, day)) * 86400.0 + hour * 3600.0 +
                           minute * 60.0 + second;
    return platform::NSDate::dateWithTimeIntervalSince1970(seconds);
}

}  // namespace quorvel::testing

namespace platform {

// Failure messages show dates as UTC text instead of raw bytes.
inline void PrintTo(const NSDate& date, std::ostream* out) {
    const double since1970 = date.timeIntervalSince1970();
    long days = static_cast<long>(std::floor(since1970 / 86400.0));
    const double secondOfDay = since1970 - static_cast<double>(days) * 86400.0;
    // Civil date from a day count (the inverse of daysFromCivil).
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const long year = static_cast<long>(yearOfEra) + era * 400 + (month <= 2);
    char text[64];
    std::snprintf(text, sizeof text, "%04ld-%02u-%02u %02d:%02d:%06.3f UTC", year, month, day,
                  static_cast<int>(secondOfDay / 3600), static_cast<int>(std::fmod(secondOfDay, 3600) / 60),
                  std::fmod(secondOfDay, 60));
    *out << text;
}

}  // namespace platform
