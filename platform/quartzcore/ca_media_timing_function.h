#pragma once

#include <memory>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

enum class CAMediaTimingFunctionName { linear, easeIn, easeOut, easeInEaseOut, defaultTiming };

// A timing curve: the cubic Bézier from (0, 0) through two control points to (1, 1), mapping the
// elapsed fraction of an animation (x) to its progress (y).
class CAMediaTimingFunction {
public:
    // linear (0, 0, 1, 1), easeIn (0.42, 0, 1, 1), easeOut (0, 0, 0.58, 1),
    // easeInEaseOut (0.42, 0, 0.58, 1), default (0.25, 0.1, 0.25, 1). Shared instances.
    static std::shared_ptr<CAMediaTimingFunction> functionWithName(CAMediaTimingFunctionName name);
    // Control x values are limited to 0…1 so that the curve is a function of x.
    static std::shared_ptr<CAMediaTimingFunction> functionWithControlPoints(double c1x, double c1y,
                                                                            double c2x, double c2y);

    // The progress at elapsed fraction x (clamped to 0…1): the curve's parameter is solved to double
    // precision, so a linear function is exact and the named curves match their closed forms.
    double solve(double x) const;

    bool operator==(const CAMediaTimingFunction& other) const {
        return c1x_ == other.c1x_ && c1y_ == other.c1y_ && c2x_ == other.c2x_ && c2y_ == other.c2y_;
    }

    CAMediaTimingFunction(double c1x, double c1y, double c2x, double c2y);

private:
    double c1x_, c1y_, c2x_, c2y_;
};

}  // namespace platform
