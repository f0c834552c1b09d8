// The per-day figures of the statistics screen: the sessions grouped by local day, the averages and
// the chart entries of the last days.
#include "app/core/core_data_manager.h"
#include "app/core/formatting_helpers.h"
#include "app/screens/statistics/charts_view_controller.h"

namespace quorvel {

using namespace platform;

void ChartsViewController::aggregateSessionsByDay() {
    dayNumbersDict_.clear();
    if (auto context = CoreDataManager::context()) dayNumbersDict_ = dayTotals_->figures(*context);
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
        const NSDate day = startOfDayDaysAfter(today, i - (days - 1));
        entries.emplace_back(day.timeIntervalSince1970(), double(dayNumberOf(dayNumbersDict_, day).pomodoros));
    }
    if (line) {
        lineChartDatas_.assign(entries.begin(), entries.end());
    } else {
        barChartDatas_ = std::move(entries);
    }
}

}  // namespace quorvel
