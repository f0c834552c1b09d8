#pragma once

#include <string>

#include "platform/charts/chart_value_formatter.h"

namespace quorvel {

// The value labels over the charts: a day's session count as a whole number, nothing for a day
// without sessions, so empty days carry no label.
class DataValueFormatter : public platform::ChartValueFormatter {
public:
    std::string stringForValue(double value, const platform::ChartDataEntry& entry, int dataSetIndex,
                               const platform::ViewPortHandler* viewPortHandler) const override;
    // Empty for 0, less, or no number at all; otherwise the value truncated to a whole number.
    std::string stringForValue(double value) const;
};

}  // namespace quorvel
