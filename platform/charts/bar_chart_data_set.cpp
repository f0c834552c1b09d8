#include "platform/charts/bar_chart_data_set.h"

namespace platform {

BarChartDataSet::BarChartDataSet(const std::vector<BarChartDataEntry>& entries, std::string label)
    : ChartDataSet(std::vector<ChartDataEntry>(entries.begin(), entries.end()), std::move(label)) {}

}  // namespace platform
