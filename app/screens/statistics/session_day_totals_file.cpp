#include "app/screens/statistics/session_day_totals_file.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace quorvel {

using platform::NSDate;
using platform::Value;

namespace {

constexpr const char* kFirstLine = "session day totals 1";

std::string numberText(double number) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", number);
    return text;
}

// A row's value as the store reads it: a date, a whole number, or missing.
std::string valueText(const Value& value) {
    std::ostringstream text;
    if (value.kind() == Value::Kind::Date) {
        text << 'd' << numberText(value.dateValue()->timeIntervalSinceReferenceDate());
    } else if (value.kind() == Value::Kind::Int) {
        text << 'i' << *value.intValue();
    } else {
        text << '-';
    }
    return text.str();
}

std::optional<Value> parseValue(const std::string& text) {
    if (text == "-") return Value();
    if (text.size() < 2) return std::nullopt;
    const char* digits = text.c_str() + 1;
    char* end = nullptr;
    if (text[0] == 'd') {
        const double seconds = std::strtod(digits, &end);
        if (*end == '\0') return Value(NSDate(seconds));
    } else if (text[0] == 'i') {
        const long long number = std::strtoll(digits, &end, 10);
        if (*end == '\0') return Value(static_cast<std::int64_t>(number));
    }
    return std::nullopt;
}

}  // namespace

std::string SessionDayTotalsFile::text() const {
    std::ostringstream out;
    out << kFirstLine << '\n' << storeIdentifier << '\n' << timeZone << '\n';
    out << lastRow << ' ' << valueText(lastTimestamp) << ' ' << valueText(lastDuration) << '\n';
    out << days.size() << '\n';
    for (const auto& [day, figures] : days)
        out << numberText(day.timeIntervalSinceReferenceDate()) << ' ' << figures.pomodoros << ' ' << figures.minutes << '\n';
    out << "end\n";
    return out.str();
}

std::optional<SessionDayTotalsFile> SessionDayTotalsFile::parse(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    SessionDayTotalsFile file;
    if (!std::getline(in, line) || line != kFirstLine) return std::nullopt;
    if (!std::getline(in, file.storeIdentifier) || !std::getline(in, file.timeZone)) return std::nullopt;
    std::string timestamp, duration;
    std::size_t count = 0;
    if (!(in >> file.lastRow >> timestamp >> duration >> count) || file.lastRow < 0) return std::nullopt;
    const auto lastTimestamp = parseValue(timestamp);
    const auto lastDuration = parseValue(duration);
    if (!lastTimestamp || !lastDuration) return std::nullopt;
    file.lastTimestamp = *lastTimestamp;
    file.lastDuration = *lastDuration;
    for (std::size_t i = 0; i < count; ++i) {
        double seconds = 0;
        DayNumber figures;
        if (!(in >> seconds >> figures.pomodoros >> figures.minutes)) return std::nullopt;
        file.days[NSDate(seconds)] = figures;
    }
    std::string end;
    if (!(in >> end) || end != "end" || file.days.size() != count) return std::nullopt;
    return file;
}

}  // namespace quorvel
