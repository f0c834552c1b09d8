#include "app/screens/statistics/data_value_formatter.h"

#include <cmath>

#include "platform/foundation/saturating_cast.h"

namespace quorvel {

std::string DataValueFormatter::stringForValue(double value, const platform::ChartDataEntry& entry,
                                               int dataSetIndex,
                                               const platform::ViewPortHandler* viewPortHandler) const {
    (void)entry;
    (void)dataSetIndex;
    (void)viewPortHandler;
    return stringForValue(value);
}

std::string DataValueFormatter::stringForValue(double value) const {
    // NaN is not above 0 either: no count to show.
    if (!(value > 0)) return "";
    return std::to_string(platform::truncatedSaturating(value));
}

}  // namespace quorvel
