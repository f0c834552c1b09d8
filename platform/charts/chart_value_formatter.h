#pragma once

#include <string>

#include "platform/charts/chart_data_entry.h"

namespace platform {

class ViewPortHandler;

// Turns an entry's value into the text drawn beside it.
class ChartValueFormatter {
public:
    virtual ~ChartValueFormatter() = default;
    virtual std::string stringForValue(double value, const ChartDataEntry& entry, int dataSetIndex,
                                       const ViewPortHandler* viewPortHandler) const = 0;
};

}  // namespace platform
