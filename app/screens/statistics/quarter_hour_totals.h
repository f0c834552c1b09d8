#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/screens/statistics/day_number.h"

namespace quorvel {

// The stored sessions' counts and minutes per quarter of an hour of universal time. Every zone offset
// of our days is a whole number of quarters, so a local day starts on a quarter and these totals give the
// day totals of any zone without reading a session again; a quarter that a local midnight or a change of
// the clocks falls inside (a local mean time of long ago, clocks set back a minute past midnight) needs
// its sessions themselves.
class QuarterHourTotals {
public:
    struct Quarter {
        std::int64_t index;  // quarters since the reference date
        std::int64_t sessions;
        std::int64_t minutes;
        bool operator==(const Quarter&) const = default;
    };
    // A session too far from the present for a quarter's index to hold its time exactly.
    struct Loose {
        double timestamp;
        std::int64_t minutes;
        bool operator==(const Loose&) const = default;
    };

    QuarterHourTotals() = default;
    // None unless the quarters are in order, once each, and every count is a real one.
    static std::optional<QuarterHourTotals> from(std::vector<Quarter> quarters, std::vector<Loose> loose);

    // A session that ended at `timestamp` (seconds since the reference date; none or not finite: no
    // day). Negative minutes count as none.
    void add(std::optional<double> timestamp, std::int64_t minutes);
    // Takes back a session added before; false when it cannot be taken back exactly (it was never
    // added, or its quarter's minutes ran over). Takes no more than finding its quarter, so many
    // sessions are best taken back before the new ones come.
    bool remove(std::optional<double> timestamp, std::int64_t minutes);

    // The totals per local day in the present time zone, but for the quarters whose sessions may lie on
    // two days: those are left to be counted from their sessions.
    struct LocalDays {
        DayNumbers days;
        std::vector<Quarter> across;  // in order
    };
    LocalDays localDays() const;
    // The totals per local day; none when a quarter with sessions holds a change of date.
    std::optional<DayNumbers> days() const;
    // Where the sessions of a quarter lie: from its start (seconds since the reference date) up to the next.
    static double startOf(const Quarter& quarter);
    static double endOf(const Quarter& quarter);

    const std::vector<Quarter>& quarters() const;
    const std::vector<Loose>& loose() const { return loose_; }
    bool operator==(const QuarterHourTotals& other) const { return quarters() == other.quarters() && loose_ == other.loose_; }

private:
    // Puts the quarters that came out of order in their places.
    void settle() const;

    mutable std::vector<Quarter> quarters_;  // in order of their index
    // Quarters before the last one, added since the last settle, in the order they came: a merge of
    // another installation's sessions brings them in any order.
    mutable std::vector<Quarter> unsettled_;
    // Whether a quarter was left without sessions (it goes at the next settle).
    mutable bool emptied_ = false;
    std::vector<Loose> loose_;
};

}  // namespace quorvel
