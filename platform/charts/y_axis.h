#pragma once

#include "platform/charts/axis_base.h"

namespace platform {

// A vertical axis, on the left or the right of the values; its labels sit just inside the values'
// area at its side, so they take no room from the values.
class YAxis : public AxisBase {
public:
    enum class Side : int { left = 0, right = 1 };

    explicit YAxis(Side side) : side_(side) {}
    Side side() const { return side_; }

    // About how many labels the axis shows.
    int labelCount() const { return labelCount_; }

private:
    Side side_;
    int labelCount_ = 6;
};

}  // namespace platform
