#include "app/screens/statistics/quarter_hour_totals.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/screens/statistics/day_grouping.h"
#include "platform/foundation/saturating_cast.h"

namespace quorvel {

namespace {

constexpr double kQuarter = 900;
// About 31,700 years either side of the reference date: a quarter's start is an exact double.
constexpr double kFarthest = 1e12;

bool inQuarters(double timestamp) {
    return std::fabs(timestamp) < kFarthest;
}

std::int64_t quarterOf(double timestamp) {
    return static_cast<std::int64_t>(std::floor(timestamp / kQuarter));
}

void combine(QuarterHourTotals::Quarter& into, const QuarterHourTotals::Quarter& more) {
    into.sessions = platform::addSaturating(into.sessions, more.sessions);
    into.minutes = platform::addSaturating(into.minutes, more.minutes);
}

bool byIndex(const QuarterHourTotals::Quarter& a, const QuarterHourTotals::Quarter& b) {
    return a.index < b.index;
}

}  // namespace

std::optional<QuarterHourTotals> QuarterHourTotals::from(std::vector<Quarter> quarters, std::vector<Loose> loose) {
    for (std::size_t i = 0; i < quarters.size(); ++i) {
        const auto& quarter = quarters[i];
        if (quarter.sessions <= 0 || quarter.minutes < 0 || !inQuarters(double(quarter.index) * kQuarter) ||
            (i > 0 && quarters[i - 1].index >= quarter.index))
            return std::nullopt;
    }
    for (const auto& session : loose) {
        if (!std::isfinite(session.timestamp) || inQuarters(session.timestamp) || session.minutes < 0)
            return std::nullopt;
    }
    QuarterHourTotals totals;
    totals.quarters_ = std::move(quarters);
    totals.loose_ = std::move(loose);
    return totals;
}

void QuarterHourTotals::add(std::optional<double> timestamp, std::int64_t minutes) {
    if (!timestamp || !std::isfinite(*timestamp)) return;
    minutes = std::max<std::int64_t>(minutes, 0);
    if (!inQuarters(*timestamp)) {
        loose_.push_back({*timestamp, minutes});
        return;
    }
    const std::int64_t index = quarterOf(*timestamp);
    // Sessions mostly arrive in the order they ended: the last quarter, or a new one after it.
    if (quarters_.empty() || quarters_.back().index < index) {
        quarters_.push_back({index, 1, minutes});
    } else if (quarters_.back().index == index) {
        combine(quarters_.back(), {index, 1, minutes});
    } else {
        unsettled_.push_back({index, 1, minutes});
    }
}

void QuarterHourTotals::settle() const {
    if (emptied_) {
        std::erase_if(quarters_, [](const Quarter& quarter) { return quarter.sessions == 0; });
        emptied_ = false;
    }
    if (unsettled_.empty()) return;
    std::stable_sort(unsettled_.begin(), unsettled_.end(), byIndex);
    std::vector<Quarter> merged;
    merged.reserve(quarters_.size() + unsettled_.size());
    auto in = quarters_.begin();
    for (const auto& quarter : unsettled_) {
        for (; in != quarters_.end() && in->index < quarter.index; ++in) merged.push_back(*in);
        if (merged.empty() || merged.back().index != quarter.index) {
            if (in != quarters_.end() && in->index == quarter.index) {
                merged.push_back(*in++);
            } else {
                merged.push_back({quarter.index, 0, 0});
            }
        }
        combine(merged.back(), quarter);
    }
    merged.insert(merged.end(), in, quarters_.end());
    quarters_ = std::move(merged);
    unsettled_.clear();
}

const std::vector<QuarterHourTotals::Quarter>& QuarterHourTotals::quarters() const {
    settle();
    return quarters_;
}

bool QuarterHourTotals::remove(std::optional<double> timestamp, std::int64_t minutes) {
    if (!timestamp || !std::isfinite(*timestamp)) return true;
    minutes = std::max<std::int64_t>(minutes, 0);
    if (!inQuarters(*timestamp)) {
        const auto found = std::find(loose_.begin(), loose_.end(), Loose{*timestamp, minutes});
        if (found == loose_.end()) return false;
        loose_.erase(found);
        return true;
    }
    if (!unsettled_.empty()) settle();
    const std::int64_t index = quarterOf(*timestamp);
    const auto at = std::lower_bound(quarters_.begin(), quarters_.end(), Quarter{index, 0, 0}, byIndex);
    constexpr auto kMost = std::numeric_limits<std::int64_t>::max();
    if (at == quarters_.end() || at->index != index || at->sessions == 0 || at->minutes < minutes ||
        at->minutes == kMost || at->sessions == kMost || (at->sessions == 1 && at->minutes != minutes))
        return false;
    at->sessions -= 1;
    at->minutes -= minutes;
    emptied_ = emptied_ || at->sessions == 0;
    return true;
}

double QuarterHourTotals::startOf(const Quarter& quarter) {
    return double(quarter.index) * kQuarter;
}

double QuarterHourTotals::endOf(const Quarter& quarter) {
    return double(quarter.index + 1) * kQuarter;
}

QuarterHourTotals::LocalDays QuarterHourTotals::localDays() const {
    LocalDays local;
    DayGrouping grouping(local.days);
    for (const auto& quarter : quarters()) {
        const platform::NSDate start(startOf(quarter));
        if (grouping.onOneDay(start, platform::NSDate(endOf(quarter)))) {
            grouping.add(start, quarter.sessions, quarter.minutes);
        } else {
            local.across.push_back(quarter);
        }
    }
    for (const auto& session : loose_) grouping.add(platform::NSDate(session.timestamp), 1, session.minutes);
    return local;
}

std::optional<DayNumbers> QuarterHourTotals::days() const {
    auto local = localDays();
    if (!local.across.empty()) return std::nullopt;
    return std::move(local.days);
}

}  // namespace quorvel
