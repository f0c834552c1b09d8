#include "tests/soak/statistics_figures.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "app/core/formatting_helpers.h"

namespace quorvel::soak {

namespace {

constexpr double kSince1970 = 978307200;

double localMidnight(std::tm local) {
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1;
    return static_cast<double>(std::mktime(&local)) - kSince1970;
}

std::tm localTime(double moment) {
    const auto seconds = static_cast<std::time_t>(std::floor(moment + kSince1970));
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

}  // namespace

StatisticsFigures::StatisticsFigures(const std::vector<Session>& sessions, double today) : today_(today) {
    for (const auto& session : sessions) {
        Day& day = days_[dayStart(session.stamp)];
        ++day.sessions;
        day.minutes += session.minutes;
    }
}

double StatisticsFigures::dayStart(double moment) {
    return localMidnight(localTime(moment));
}

double StatisticsFigures::daysBefore(double start, int days) {
    // From midday, so that an hour more or less in a day never lands on the day's other side.
    std::tm local = localTime(start + 12 * 3600);
    local.tm_mday -= days;
    return localMidnight(local);
}

StatisticsFigures::Day StatisticsFigures::day(double start) const {
    const auto it = days_.find(start);
    return it == days_.end() ? Day{} : it->second;
}

StatisticsFigures::Day StatisticsFigures::lastDays(int days) const {
    Day sum;
    for (int k = 0; k < days; ++k) {
        const Day one = day(daysBefore(today_, k));
        sum.sessions += one.sessions;
        sum.minutes += one.minutes;
    }
    return sum;
}

std::string StatisticsFigures::averageText(int days) const {
    const Day sum = lastDays(days);
    const double sessions = static_cast<double>(sum.sessions) / days;
    const auto minutes = static_cast<std::int64_t>(std::ceil(static_cast<double>(sum.minutes) / days));
    char figure[40];
    std::snprintf(figure, sizeof figure, sessions < 1 ? "%.1f" : "%.0f", sessions);
    return "Average " + std::string(figure) + " Focus Sessions " + durationTextFromMinutes(true, minutes);
}

std::string StatisticsFigures::boxTotal(int days) const {
    return std::to_string(lastDays(days).sessions);
}

std::string StatisticsFigures::boxComparison(int days) const {
    const std::int64_t current = lastDays(days).sessions;
    std::int64_t previous = 0;
    for (int k = days + 1; k <= 2 * days; ++k) previous += day(daysBefore(today_, k)).sessions;
    const std::int64_t difference = current - previous;
    char text[64];
    if (previous == 0) {
        std::snprintf(text, sizeof text, "%.1f Sessions", static_cast<double>(difference));
    } else {
        std::snprintf(
            text, sizeof text, "%lld (%.1f%%)", static_cast<long long>(difference),
            static_cast<double>(static_cast<float>(difference) / static_cast<float>(previous) * 100));
    }
    return text;
}

std::vector<std::pair<double, double>> StatisticsFigures::chartValues(int days) const {
    std::vector<std::pair<double, double>> values;
    for (int k = days - 1; k >= 0; --k) {
        const double start = daysBefore(today_, k);
        values.emplace_back(start + kSince1970, static_cast<double>(day(start).sessions));
    }
    return values;
}

}  // namespace quorvel::soak
