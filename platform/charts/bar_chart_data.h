#pragma once

#include "platform/charts/bar_chart_data_set.h"
#include "platform/charts/chart_data.h"

namespace platform {

// The data of a bar chart; each bar is `barWidth` wide in x units, centred on its entry's x.
class BarChartData : public ChartData {
public:
    explicit BarChartData(std::shared_ptr<BarChartDataSet> dataSet) : ChartData(std::move(dataSet)) {}

    double barWidth() const { return barWidth_; }
    // A width that is not a positive finite number draws no bars.
    void setBarWidth(double width) { barWidth_ = width; }

private:
    double barWidth_ = 0.85;
};

}  // namespace platform
