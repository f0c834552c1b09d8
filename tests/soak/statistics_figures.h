#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::soak {

// What the statistics screen should show, worked out afresh from the stored sessions: the sessions and
// minutes of each local day (days begin at midnight in the process's time zone), the averages over the
// last 14 and 30 days, the two boxes that hold a period against the one before it, and the value of each
// day in the charts. Times are seconds since 2001.
class StatisticsFigures {
public:
    struct Session {
        double stamp = 0;
        std::int64_t minutes = 0;
    };
    struct Day {
        std::int64_t sessions = 0;
        std::int64_t minutes = 0;
    };

    // `today`: the start of the day the figures end with.
    StatisticsFigures(const std::vector<Session>& sessions, double today);

    // Midnight of the local day the moment lies in.
    static double dayStart(double moment);
    // Midnight of the local day `days` days before the one starting at `start`.
    static double daysBefore(double start, int days);

    Day day(double start) const;
    // Today and the `days` - 1 days before it.
    Day lastDays(int days) const;
    // "Average 0.7 Focus Sessions" and the bracketed minutes per day, rounded up.
    std::string averageText(int days) const;
    // A box's total, and its comparison with the `days` days that end the day before the day `days`
    // days ago.
    std::string boxTotal(int days) const;
    std::string boxComparison(int days) const;
    // Each day's (midnight in seconds since 1970, sessions), oldest first, ending today.
    std::vector<std::pair<double, double>> chartValues(int days) const;

private:
    std::map<double, Day> days_;
    double today_;
};

}  // namespace quorvel::soak
