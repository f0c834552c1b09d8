#pragma once

#include <cmath>
#include <ctime>
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
    char text[64] = "(no calendar date)";
    std::tm parts{};
    if (std::abs(since1970) < 1e15) {
        const auto whole = static_cast<std::time_t>(std::floor(since1970));
        if (gmtime_r(&whole, &parts)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    }
    *out << text << " (" << since1970 << " s)";
}

}  // namespace platform
