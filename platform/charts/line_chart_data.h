#pragma once

#include "platform/charts/chart_data.h"
#include "platform/charts/line_chart_data_set.h"

namespace platform {

// The data of a line chart.
class LineChartData : public ChartData {
public:
    explicit LineChartData(std::shared_ptr<LineChartDataSet> dataSet) : ChartData(std::move(dataSet)) {}
};

}  // namespace platform
