#include "platform/charts/view_port_handler.h"

#include <cmath>

namespace platform {

namespace {

// A range that spans something: an empty, reversed or unknown one becomes a unit around its start.
void widen(double& min, double& max) {
    if (!std::isfinite(min) || !std::isfinite(max)) min = max = 0;
    if (max > min) return;
    const double middle = min;
    min = middle - 0.5;
    max = middle + 0.5;
}

}  // namespace

void ViewPortHandler::setRanges(double xMin, double xMax, double yMin, double yMax) {
    widen(xMin, xMax);
    widen(yMin, yMax);
    xMin_ = xMin;
    xMax_ = xMax;
    yMin_ = yMin;
    yMax_ = yMax;
}

CGPoint ViewPortHandler::pixelForValues(double x, double y) const {
    return {contentRect_.minX() + (x - xMin_) * scaleX(), contentRect_.maxY() - (y - yMin_) * scaleY()};
}

double ViewPortHandler::xValueForPixel(CGFloat px) const {
    const CGFloat scale = scaleX();
    return scale > 0 ? xMin_ + (px - contentRect_.minX()) / scale : xMin_;
}

}  // namespace platform
