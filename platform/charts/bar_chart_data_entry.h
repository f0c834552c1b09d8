#pragma once

#include "platform/charts/chart_data_entry.h"

namespace platform {

// A bar: from zero up (or down) to y, centred on x.
class BarChartDataEntry : public ChartDataEntry {
public:
    using ChartDataEntry::ChartDataEntry;
};

}  // namespace platform
