#pragma once

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

// Where a chart draws its values and how values map to points there: x grows to the right, y
// upwards, the ranges spanning the content rectangle.
class ViewPortHandler {
public:
    const CGRect& contentRect() const { return contentRect_; }
    void setContentRect(const CGRect& rect) { contentRect_ = rect; }

    // An empty or reversed range is widened around its value by half a unit on either side, so a
    // single value sits in the middle and nothing divides by zero.
    void setRanges(double xMin, double xMax, double yMin, double yMax);
    double xMin() const { return xMin_; }
    double xMax() const { return xMax_; }
    double yMin() const { return yMin_; }
    double yMax() const { return yMax_; }

    CGPoint pixelForValues(double x, double y) const;
    double xValueForPixel(CGFloat px) const;
    // Points per x unit and per y unit.
    CGFloat scaleX() const { return contentRect_.width() / (xMax_ - xMin_); }
    CGFloat scaleY() const { return contentRect_.height() / (yMax_ - yMin_); }

private:
    CGRect contentRect_;
    double xMin_ = 0, xMax_ = 1, yMin_ = 0, yMax_ = 1;
};

}  // namespace platform
