#include "platform/foundation/iso8601_date.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace platform {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr auto kReferenceSince1970 = static_cast<std::int64_t>(NSDate::kReferenceDateSince1970);
// 0001-01-01T00:00:00Z and 10000-01-01T00:00:00Z, in seconds since the reference date.
constexpr double kEarliest = -63113904000.0;
constexpr double kEnd = 252423993600.0;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void civilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2);
}

unsigned daysInMonth(std::int64_t year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// 10^n minus the n fractional digits, kept at n digits: the fraction's distance to the next second.
// The digits are not all 0. Trailing zeros stay zeros, the last other digit d becomes 10 - d and every
// digit before it 9 - d, so no borrow or carry is ever needed.
std::string complement(std::string_view digits) {
    std::string result(digits);
    const std::size_t last = result.find_last_not_of('0');
    for (std::size_t i = 0; i < last; ++i) result[i] = static_cast<char>('9' - (result[i] - '0'));
    result[last] = static_cast<char>('0' + 10 - (result[last] - '0'));
    return result;
}

// A date's seconds from its whole seconds (rounded down) and its fractional digits. The sum is done
// in decimal and rounded once, so every double date can be written in a form that reads back exact.
std::optional<double> combine(std::int64_t wholeSeconds, std::string_view digits) {
    if (digits.find_first_not_of('0') == std::string_view::npos) return static_cast<double>(wholeSeconds);
    std::string text = wholeSeconds >= 0 ? std::string() : std::string("-");
    text += std::to_string(wholeSeconds >= 0 ? wholeSeconds : -(wholeSeconds + 1));
    text += '.';
    text += wholeSeconds >= 0 ? std::string(digits) : complement(digits);
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return seconds;
}

// Reads exactly `count` decimal digits.
bool readDigits(std::string_view text, std::size_t& at, std::size_t count, unsigned& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    at += count;
    return true;
}

bool expect(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

}  // namespace

std::optional<std::string> Iso8601Date::format(NSDate date) {
    const double seconds = date.timeIntervalSinceReferenceDate();
    if (!std::isfinite(seconds) || seconds < kEarliest || seconds >= kEnd) return std::nullopt;
    // The shortest decimal that reads back as this double, split at the point.
    char buffer[400];  // room for the smallest subnormal in fixed notation
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed);
    if (written.ec != std::errc()) return std::nullopt;
    std::string_view decimal(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const bool negative = decimal.front() == '-';
    if (negative) decimal.remove_prefix(1);
    const auto point = decimal.find('.');
    std::string digits(point == std::string_view::npos ? std::string_view() : decimal.substr(point + 1));
    std::int64_t wholeSeconds = 0;
    std::from_chars(decimal.data(), decimal.data() + std::min(point, decimal.size()), wholeSeconds);
    if (negative) {
        wholeSeconds = -wholeSeconds;
        if (!digits.empty()) {
            wholeSeconds -= 1;
            digits = complement(digits);
        }
    }

    const std::int64_t unixSeconds = wholeSeconds + kReferenceSince1970;
    std::int64_t days = unixSeconds / kSecondsPerDay;
    std::int64_t secondOfDay = unixSeconds % kSecondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += kSecondsPerDay;
        --days;
    }
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(days, year, month, day);
    char fields[40];
    std::snprintf(fields, sizeof fields, "%04d-%02u-%02uT%02d:%02d:%02d", static_cast<int>(year), month, day,
                  static_cast<int>(secondOfDay / 3600), static_cast<int>(secondOfDay / 60 % 60),
                  static_cast<int>(secondOfDay % 60));
    std::string text = fields;
    if (!digits.empty()) {
        text += '.';
        text += digits;
    }
    text += 'Z';
    return text;
}

std::optional<NSDate> Iso8601Date::parse(std::string_view text) {
    while (!text.empty() &&
           (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' || text.front() == '\r')) {
        text.remove_prefix(1);
    }
    while (!text.empty() &&
           (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    std::size_t at = 0;
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    const bool fieldsRead =
        readDigits(text, at, 4, year) && expect(text, at, '-') && readDigits(text, at, 2, month) &&
        expect(text, at, '-') && readDigits(text, at, 2, day) && expect(text, at, 'T') &&
        readDigits(text, at, 2, hour) && expect(text, at, ':') && readDigits(text, at, 2, minute) &&
        expect(text, at, ':') && readDigits(text, at, 2, second);
    if (!fieldsRead) return std::nullopt;
    std::string_view digits;
    if (at < text.size() && text[at] == '.') {
        const std::size_t start = ++at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        digits = text.substr(start, at - start);
        if (digits.empty()) return std::nullopt;
    }
    if (!expect(text, at, 'Z') || at != text.size()) return std::nullopt;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59) {
        return std::nullopt;
    }
    const std::int64_t unixSeconds =
        daysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    const auto seconds = combine(unixSeconds - kReferenceSince1970, digits);
    // A fraction just below the end of year 9999 can round up to it: that date has no form to be
    // written back in, so it is refused here rather than lost by a later write.
    if (!seconds || *seconds < kEarliest || *seconds >= kEnd) return std::nullopt;
    return NSDate(*seconds);
}

}  // namespace platform
