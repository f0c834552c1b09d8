#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel::soak {

// When the app owes its daily reset of the counters: the reset is on, and a reset moment (the chosen
// hour of a local day, in the process's time zone) lies after the last time the app checked and no
// later than now. Times are seconds since 2001.
class DailyReset {
public:
    enum class Due {
        no,     // no moment was crossed: the counters must stay
        maybe,  // a moment lies too near the check or now to tell, or in an hour a change of daylight time
                // skips or repeats
        yes,    // the counters must be reset
    };

    // The reset hour, from the settings word a life reports; nothing when the reset is off.
    static std::optional<int> hourOf(const std::string& settings);
    // `slack`: how far the moment the app looked may lie before `now`.
    static Due due(int hour, double checked, double now, double slack);
    // The first moment of `hour` after `now`, never more than a day and an hour ahead; an hour no day has
    // (the reset turned off keeps "never", 666) gives the turn of the day.
    static double nextMoment(std::int64_t hour, double now);
};

}  // namespace quorvel::soak
