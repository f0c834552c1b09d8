#pragma once

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

// A selected value: the entry's x and y, the data set it belongs to, and where the chart drew it.
struct Highlight {
    double x = 0;
    double y = 0;
    int dataSetIndex = 0;
    CGPoint drawPoint;

    bool operator==(const Highlight&) const = default;
};

}  // namespace platform
