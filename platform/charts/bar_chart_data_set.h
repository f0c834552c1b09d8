#pragma once

#include "platform/charts/bar_chart_data_entry.h"
#include "platform/charts/chart_data_set.h"

namespace platform {

// A series drawn as bars; a highlighted bar is covered with the highlight colour at this alpha.
class BarChartDataSet : public ChartDataSet {
public:
    BarChartDataSet(const std::vector<BarChartDataEntry>& entries, std::string label);

    CGFloat highlightAlpha() const { return highlightAlpha_; }

private:
    CGFloat highlightAlpha_ = 120 / 255.0;
};

}  // namespace platform
