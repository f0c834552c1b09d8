// The per-day figures of the statistics screen: the sessions grouped by local day, the averages and
// the chart entries of the last days.
#include <algorithm>
#include <cmath>

#include "app/core/core_data_manager.h"
#include "app/core/formatting_helpers.h"
#include "app/screens/secondary/charts_view_controller.h"
#include "platform/foundation/saturating_cast.h"

namespace quorvel {

using namespace platform;

namespace {

std::optional<NSDate> timestampOf(const std::vector<Value>& session) {
    const auto date = session.at(0).dateValue();
    // A session without a real time belongs to no day.
    if (!date || !std::isfinite(date->timeIntervalSinceReferenceDate())) return std::nullopt;
    return date;
}

std::int64_t durationOf(const std::vector<Value>& session) {
    // A damaged or foreign record cannot take minutes away from a day.
    return std::max<std::int64_t>(session.at(1).intValue().value_or(0), 0);
}

}  // namespace

void ChartsViewController::aggregateSessionsByDay() {
    dayNumbersDict_.clear();
    auto context = CoreDataManager::context();
    if (!context) return;
    // Two values of every session, unsaved ones included, read as they come: an object for each would
    // cost several times as much on a store of years of sessions. In store order, as the sums need no
    // order and sorting costs as much as reading.
    auto request = NSFetchRequest::fetchRequestWithEntityName("Session");
    request.propertiesToFetch = {"timestamp", "duration"};
    // Sessions are mostly stored in the order they ended, so consecutive ones mostly share a day, or
    // fall on the next: the day found last is kept with its end, and the calendar is asked for a day's
    // start only when a session falls on neither.
    NSDate dayStart, nextDayStart;
    DayNumber* record = nullptr;
    auto enter = [&](NSDate start, NSDate end) {
        dayStart = start;
        nextDayStart = end;
        record = &dayNumbersDict_[dayStart];
    };
    const bool read = context->enumerateFetchRequestForPropertyValues(request, [&](const std::vector<Value>& session) {
        const auto timestamp = timestampOf(session);
        if (!timestamp) return;
        if (!record || *timestamp < dayStart) {
            const NSDate start = startOfDay(*timestamp);
            enter(start, dateByAddingDays(start, 1));
        } else if (!(*timestamp < nextDayStart)) {
            // A start of day moved by whole days stays one.
            const NSDate following = dateByAddingDays(nextDayStart, 1);
            const NSDate start = *timestamp < following ? nextDayStart : startOfDay(*timestamp);
            enter(start, start == nextDayStart ? following : dateByAddingDays(start, 1));
        }
        record->pomodoros = addSaturating(record->pomodoros, 1);
        record->minutes = addSaturating(record->minutes, durationOf(session));
    });
    // A failed read shows no sessions rather than some of them.
    if (!read) dayNumbersDict_.clear();
}

std::pair<double, double> ChartsViewController::averagesOverLastDays(std::int64_t days) {
    if (days <= 0) return {0, 0};
    const DayNumber sum = sumOfDays(dayNumbersDict_, startOfDay(NSDate::now()), days);
    return {double(sum.pomodoros) / double(days), double(sum.minutes) / double(days)};
}

void ChartsViewController::buildChartEntries(std::int64_t days, bool line) {
    const NSDate today = startOfDay(NSDate::now());
    std::vector<BarChartDataEntry> entries;
    for (std::int64_t i = 0; i < days; ++i) {
        const NSDate day = startOfDay(dateByAddingDays(today, i - (days - 1)));
        entries.emplace_back(day.timeIntervalSince1970(), double(dayNumberOf(dayNumbersDict_, day).pomodoros));
    }
    if (line) {
        lineChartDatas_.assign(entries.begin(), entries.end());
    } else {
        barChartDatas_ = std::move(entries);
    }
}

}  // namespace quorvel
