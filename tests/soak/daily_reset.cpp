#include "tests/soak/daily_reset.h"

#include <cmath>
#include <ctime>

namespace quorvel::soak {

namespace {

constexpr double kSince1970 = 978307200;

struct Moment {
    double earliest;
    double latest;
};

// The reset hour of the local day `days` after the one the moment lies in; an hour wide when daylight
// time begins or ends around it.
Moment resetMoment(double moment, int days, int hour) {
    const auto seconds = static_cast<std::time_t>(std::floor(moment + kSince1970));
    std::tm local{};
    localtime_r(&seconds, &local);
    local.tm_mday += days;
    local.tm_hour = hour;
    local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1;
    const std::time_t at = std::mktime(&local);
    std::tm before{}, after{};
    const std::time_t early = at - 3600, late = at + 3600;
    localtime_r(&early, &before);
    localtime_r(&late, &after);
    const double exact = static_cast<double>(at) - kSince1970;
    if (local.tm_hour != hour || before.tm_isdst != after.tm_isdst) return {exact - 3600, exact + 3600};
    return {exact, exact};
}

}  // namespace

std::optional<int> DailyReset::hourOf(const std::string& settings) {
    const auto switches = settings.find("switches:");
    const auto reset = settings.find(";reset:");
    // The fifth switch is the daily reset's.
    if (switches == std::string::npos || reset == std::string::npos || switches + 9 + 4 >= settings.size())
        return std::nullopt;
    if (settings[switches + 9 + 4] != '1') return std::nullopt;
    try {
        return std::stoi(settings.substr(reset + 7));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

double DailyReset::nextMoment(std::int64_t hour, double now) {
    const int dayHour = hour >= 0 && hour < 24 ? static_cast<int>(hour) : 0;
    // The later edge of an hour a change of daylight time blurs, so the moment surely passes.
    for (int days = 0;; ++days) {
        const Moment moment = resetMoment(now, days, dayHour);
        if (moment.latest > now) return moment.latest;
    }
}

DailyReset::Due DailyReset::due(int hour, double checked, double now, double slack) {
    Due answer = Due::no;
    // The moments of the days from the check's to now's; a check in the future (the clock was set back)
    // leaves none between.
    for (int days = 0; checked <= now; ++days) {
        const Moment moment = resetMoment(checked, days, hour);
        if (moment.earliest > now) break;
        if (moment.latest <= checked) continue;
        if (moment.earliest > checked && moment.latest <= now - slack) return Due::yes;
        answer = Due::maybe;
    }
    return answer;
}

}  // namespace quorvel::soak
