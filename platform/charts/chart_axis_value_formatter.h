#pragma once

#include <string>

namespace platform {

class AxisBase;

// Turns a position on an axis into the label drawn there.
class ChartAxisValueFormatter {
public:
    virtual ~ChartAxisValueFormatter() = default;
    virtual std::string stringForValue(double value, const AxisBase* axis) const = 0;
};

}  // namespace platform
