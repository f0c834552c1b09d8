#include "platform/quartzcore/ca_media_timing_function.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// One coordinate of the curve at parameter s, with end points 0 and 1.
double bezier(double c1, double c2, double s) {
    const double u = 1 - s;
    return 3 * u * u * s * c1 + 3 * u * s * s * c2 + s * s * s;
}

double bezierSlope(double c1, double c2, double s) {
    const double u = 1 - s;
    return 3 * u * u * c1 + 6 * u * s * (c2 - c1) + 3 * s * s * (1 - c2);
}

}  // namespace

CAMediaTimingFunction::CAMediaTimingFunction(double c1x, double c1y, double c2x, double c2y)
    : c1x_(std::clamp(c1x, 0.0, 1.0)), c1y_(c1y), c2x_(std::clamp(c2x, 0.0, 1.0)), c2y_(c2y) {}

std::shared_ptr<CAMediaTimingFunction> CAMediaTimingFunction::functionWithName(
    CAMediaTimingFunctionName name) {
    static const auto linear = functionWithControlPoints(0, 0, 1, 1);
    static const auto easeIn = functionWithControlPoints(0.42, 0, 1, 1);
    static const auto easeOut = functionWithControlPoints(0, 0, 0.58, 1);
    static const auto easeInEaseOut = functionWithControlPoints(0.42, 0, 0.58, 1);
    static const auto defaultTiming = functionWithControlPoints(0.25, 0.1, 0.25, 1);
    switch (name) {
        case CAMediaTimingFunctionName::linear:
            return linear;
        case CAMediaTimingFunctionName::easeIn:
            return easeIn;
        case CAMediaTimingFunctionName::easeOut:
            return easeOut;
        case CAMediaTimingFunctionName::easeInEaseOut:
            return easeInEaseOut;
        case CAMediaTimingFunctionName::defaultTiming:
            return defaultTiming;
    }
    return linear;
}

std::shared_ptr<CAMediaTimingFunction> CAMediaTimingFunction::functionWithControlPoints(double c1x,
                                                                                        double c1y,
                                                                                        double c2x,
                                                                                        double c2y) {
    return std::make_shared<CAMediaTimingFunction>(c1x, c1y, c2x, c2y);
}

double CAMediaTimingFunction::solve(double x) const {
    if (!(x > 0)) return 0;
    if (x >= 1) return 1;
    // x(s) rises monotonically from 0 to 1: Newton steps kept inside a shrinking bracket.
    double lo = 0, hi = 1, s = x;
    for (int i = 0; i < 100; ++i) {
        const double error = bezier(c1x_, c2x_, s) - x;
        if (error == 0) break;
        if (error > 0) {
            hi = s;
        } else {
            lo = s;
        }
        if (hi - lo <= 1e-16) break;
        const double slope = bezierSlope(c1x_, c2x_, s);
        double next = slope > 1e-12 ? s - error / slope : (lo + hi) / 2;
        if (!(next > lo && next < hi)) next = (lo + hi) / 2;
        if (next == s) break;
        s = next;
    }
    return bezier(c1y_, c2y_, s);
}

}  // namespace platform
