#include "app/screens/statistics/session_day_totals_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace quorvel {

using platform::NSDate;
using platform::Value;

namespace {

constexpr const char* kFirstLine = "session quarter totals 2";
constexpr const char* kEnd = "end\n";

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

// Records as the machine lays them out: the file is a cache of this machine's.
template <typename Record>
void append(std::string& bytes, const std::vector<Record>& records) {
    bytes.append(reinterpret_cast<const char*>(records.data()), records.size() * sizeof(Record));
}

template <typename Record>
bool take(const std::string& bytes, std::size_t& at, std::size_t count, std::vector<Record>& records) {
    if (count > (bytes.size() - at) / sizeof(Record)) return false;
    records.resize(count);
    if (count) std::memcpy(records.data(), bytes.data() + at, count * sizeof(Record));
    at += count * sizeof(Record);
    return true;
}

}  // namespace

std::string SessionDayTotalsFile::bytes() const {
    std::ostringstream head;
    head << kFirstLine << '\n' << storeIdentifier << '\n';
    head << lastRow << ' ' << valueText(lastTimestamp) << ' ' << valueText(lastDuration) << '\n';
    head << totals.quarters().size() << ' ' << totals.loose().size() << '\n';
    std::string bytes = head.str();
    append(bytes, totals.quarters());
    append(bytes, totals.loose());
    return bytes + kEnd;
}

std::optional<SessionDayTotalsFile> SessionDayTotalsFile::parse(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string line;
    SessionDayTotalsFile file;
    if (!std::getline(in, line) || line != kFirstLine) return std::nullopt;
    if (!std::getline(in, file.storeIdentifier)) return std::nullopt;
    std::string timestamp, duration;
    std::size_t quarterCount = 0, looseCount = 0;
    if (!(in >> file.lastRow >> timestamp >> duration >> quarterCount >> looseCount) || file.lastRow < 0 ||
        in.get() != '\n')
        return std::nullopt;
    const auto lastTimestamp = parseValue(timestamp);
    const auto lastDuration = parseValue(duration);
    if (!lastTimestamp || !lastDuration) return std::nullopt;
    file.lastTimestamp = *lastTimestamp;
    file.lastDuration = *lastDuration;
    std::size_t at = static_cast<std::size_t>(in.tellg());
    std::vector<QuarterHourTotals::Quarter> quarters;
    std::vector<QuarterHourTotals::Loose> loose;
    if (!take(bytes, at, quarterCount, quarters) || !take(bytes, at, looseCount, loose) ||
        bytes.compare(at, std::string::npos, kEnd) != 0)
        return std::nullopt;
    auto totals = QuarterHourTotals::from(std::move(quarters), std::move(loose));
    if (!totals) return std::nullopt;
    file.totals = std::move(*totals);
    return file;
}

}  // namespace quorvel
