#include "platform/charts/chart_data.h"

#include <algorithm>

namespace platform {

ChartData::ChartData(std::shared_ptr<ChartDataSet> dataSet) {
    if (dataSet) dataSets_.push_back(std::move(dataSet));
}

long ChartData::entryCount() const {
    long count = 0;
    for (const auto& set : dataSets_) count += set->entryCount();
    return count;
}

ChartData::Range ChartData::range() const {
    Range range;
    bool any = false;
    for (const auto& set : dataSets_) {
        if (!std::any_of(set->entries().begin(), set->entries().end(), ChartDataSet::isDrawable)) continue;
        if (!any) {
            range = {set->xMin(), set->xMax(), set->yMin(), set->yMax()};
            any = true;
            continue;
        }
        range.xMin = std::min(range.xMin, set->xMin());
        range.xMax = std::max(range.xMax, set->xMax());
        range.yMin = std::min(range.yMin, set->yMin());
        range.yMax = std::max(range.yMax, set->yMax());
    }
    return range;
}

}  // namespace platform
