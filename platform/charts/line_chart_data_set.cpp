#include "platform/charts/line_chart_data_set.h"

#include <cstdlib>

namespace platform {

LineChartDataSet::LineChartDataSet(std::vector<ChartDataEntry> entries, std::string label)
    : ChartDataSet(std::move(entries), std::move(label)), circleColors_(colors()) {}

void LineChartDataSet::setCircleColor(std::shared_ptr<UIColor> color) {
    circleColors_ = {color ? std::move(color) : UIColor::blackColor()};
}

std::shared_ptr<UIColor> LineChartDataSet::circleColorAt(long index) const {
    if (circleColors_.empty()) return colorAt(index);
    return circleColors_[std::size_t(std::abs(index)) % circleColors_.size()];
}

}  // namespace platform
