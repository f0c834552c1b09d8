// The statistics' days checked against an independent count: each session's local date as the C library
// gives it (localtime_r), in zones whose clocks change at midnight, go back across a midnight, or kept a
// local mean time whose midnight falls inside a quarter of an hour, over two centuries. The zone is the
// one the app reads from TZ, so both sides take the same offsets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/core/formatting_helpers.h"
#include "app/screens/statistics/day_grouping.h"
#include "app/screens/statistics/quarter_hour_totals.h"
#include "platform/foundation/host_time_zone.h"
#include "platform/foundation/ns_time_zone.h"

namespace quorvel {
namespace {

using platform::NSDate;

constexpr double kReferenceSince1970 = 978'307'200;
constexpr double kFrom = -2'208'988'800 - kReferenceSince1970;  // 1900
constexpr double kUntil = 4'102'444'800 - kReferenceSince1970;  // 2100

struct Finished {
    double at;  // seconds since the reference date
    std::int64_t minutes;
};

using LocalDate = std::tuple<int, int, int>;
using DaysByDate = std::map<LocalDate, DayNumber>;

std::tm cLocal(double at) {
    const auto seconds = static_cast<std::time_t>(std::floor(at + kReferenceSince1970));
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

LocalDate dateOf(double at) {
    const std::tm local = cLocal(at);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void countIn(DayNumber& day, std::int64_t sessions, std::int64_t minutes) {
    day.pomodoros += sessions;
    day.minutes += std::max<std::int64_t>(minutes, 0);
}

// The independent count.
DaysByDate byTheCLibrary(const std::vector<Finished>& sessions) {
    DaysByDate days;
    for (const auto& session : sessions) countIn(days[dateOf(session.at)], 1, session.minutes);
    return days;
}

// Our days by the C library's dates of their keys; each key must be its date's first instant: the
// instant before it lies on another date, and it is midnight unless the clocks changed right there.
DaysByDate byDate(const DayNumbers& days, const std::string& zone) {
    DaysByDate result;
    for (const auto& [key, day] : days) {
        const double at = key.timeIntervalSinceReferenceDate();
        const LocalDate date = dateOf(at);
        const std::tm local = cLocal(at);
        EXPECT_NE(dateOf(at - 1), date) << zone << ": a key after its day's start, at " << at;
        EXPECT_TRUE((local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0) ||
                    cLocal(at - 1).tm_gmtoff != local.tm_gmtoff)
            << zone << ": a key that is no midnight and no change of the clocks, at " << at;
        EXPECT_FALSE(result.contains(date)) << zone << ": two keys for one date, at " << at;
        result[date] = day;
    }
    return result;
}

// Sessions near the zone's changes of the clocks and near its local midnights, and anywhere, from
// 1900 to 2100, some of them sharing a quarter of an hour.
std::vector<Finished> sessionsFor(const platform::NSTimeZone& zone, std::mt19937& random) {
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    auto minutes = [&] { return std::uniform_int_distribution<std::int64_t>(-5, 90)(random); };
    std::vector<double> changes;
    for (auto change = zone.nextDaylightSavingTimeTransitionAfterDate(NSDate(kFrom));
         change && change->timeIntervalSinceReferenceDate() < kUntil;
         change = zone.nextDaylightSavingTimeTransitionAfterDate(*change))
        changes.push_back(change->timeIntervalSinceReferenceDate());
    std::shuffle(changes.begin(), changes.end(), random);
    changes.resize(std::min<std::size_t>(changes.size(), 40));

    // The local midnight the C library shows on the day of `any` (or near it, where the clocks changed).
    auto midnightOf = [](double any) {
        const std::tm local = cLocal(any);
        return std::floor(any) - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    };
    std::vector<Finished> sessions;
    for (const double change : changes) {
        for (const double near : {-1.0, 0.0, 0.5, 59.0, uniform(-3 * 3600, 3 * 3600), uniform(-900, 900)})
            sessions.push_back({change + near, minutes()});
        // The days after a change, whose starts a change at midnight would move.
        for (int days = 1; days <= 3; ++days) {
            const double midnight = midnightOf(change + days * 86400);
            for (const double near : {-1.0, 0.0, uniform(-3600, 3600)}) sessions.push_back({midnight + near, minutes()});
        }
    }
    for (int i = 0; i < 300; ++i) {
        const double midnight = midnightOf(uniform(kFrom, kUntil));
        const double near = i % 3 ? uniform(-5400, 5400) : std::round(uniform(-3, 3)) * 900;
        sessions.push_back({midnight + near, minutes()});
        sessions.push_back({midnight + near + uniform(0, 120), minutes()});
    }
    for (int i = 0; i < 150; ++i) sessions.push_back({uniform(kFrom, kUntil), minutes()});
    return sessions;
}

DayNumbers grouped(const std::vector<Finished>& sessions) {
    DayNumbers days;
    DayGrouping grouping(days);
    for (const auto& session : sessions) grouping.add(NSDate(session.at), 1, std::max<std::int64_t>(session.minutes, 0));
    return days;
}

// As the kept totals count them: from the quarters, and the quarters that hold a change of date from
// their sessions.
DayNumbers fromQuarters(const std::vector<Finished>& sessions) {
    QuarterHourTotals totals;
    for (const auto& session : sessions) totals.add(session.at, session.minutes);
    auto local = totals.localDays();
    DayGrouping grouping(local.days);
    for (const auto& session : sessions) {
        for (const auto& quarter : local.across) {
            if (QuarterHourTotals::startOf(quarter) <= session.at && session.at < QuarterHourTotals::endOf(quarter))
                grouping.add(NSDate(session.at), 1, std::max<std::int64_t>(session.minutes, 0));
        }
    }
    return local.days;
}

DayNumbers oneByOne(const std::vector<Finished>& sessions) {
    DayNumbers days;
    for (const auto& session : sessions) countIn(days[startOfDay(NSDate(session.at))], 1, session.minutes);
    return days;
}

class LocalDatesAgainstTheCLibrary : public ::testing::Test {
protected:
    ~LocalDatesAgainstTheCLibrary() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
    }

private:
    std::optional<std::string> saved_ =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

TEST_F(LocalDatesAgainstTheCLibrary, EveryWayOfCountingGivesEachSessionItsLocalDate) {
    // Clocks that skip a midnight (today and in the past), that go back across one, days that start
    // inside a quarter of an hour, a skipped date, rules written out in TZ, and zones without any of it.
    const char* const zones[] = {
        "America/Santiago", "America/Havana",  "Asia/Beirut",       "Africa/Cairo",      "America/Sao_Paulo",
        "Asia/Tehran",      "Asia/Amman",      "Asia/Damascus",     "America/Asuncion",  "Europe/Moscow",
        "Asia/Kolkata",     "Asia/Kathmandu",  "Pacific/Apia",      "America/St_Johns",  "America/Goose_Bay",
        "America/Toronto",  "Africa/Monrovia", "Europe/Amsterdam",  "Pacific/Kwajalein", "Australia/Lord_Howe",
        "Pacific/Chatham",  "Antarctica/Troll", "Europe/Dublin",    "Africa/Casablanca", "America/Scoresbysund",
        "Europe/Berlin",    "America/New_York", "Australia/Eucla",  "UTC",
        "<-04>4<-03>,M9.1.6/24,M4.1.6/24",      "NST3:30NDT,M3.2.0/0:01,M11.1.0/0:01"};
    std::mt19937 random(82);
    int sessionsChecked = 0;
    for (const char* zone : zones) {
        setenv("TZ", zone, 1);
        const platform::NSTimeZone host = platform::HostTimeZone::current();
        if (std::string(zone) != "UTC") {
            ASSERT_NE(host.name(), "UTC") << zone << " is not read";
        }
        platform::NSTimeZone::setDefaultTimeZone(host);

        auto sessions = sessionsFor(host, random);
        const DaysByDate expected = byTheCLibrary(sessions);
        std::sort(sessions.begin(), sessions.end(), [](const Finished& a, const Finished& b) { return a.at < b.at; });
        EXPECT_EQ(byDate(grouped(sessions), zone), expected) << zone << ": sessions in the order they ended";
        EXPECT_EQ(byDate(fromQuarters(sessions), zone), expected) << zone << ": the kept quarter-hour totals";
        EXPECT_EQ(byDate(oneByOne(sessions), zone), expected) << zone << ": each session's start of day";
        std::shuffle(sessions.begin(), sessions.end(), random);
        EXPECT_EQ(byDate(grouped(sessions), zone), expected) << zone << ": sessions in any order";
        if (HasFailure()) return;
        sessionsChecked += int(sessions.size());
    }
    EXPECT_GT(sessionsChecked, 30'000);
}

}  // namespace
}  // namespace quorvel
