#pragma once

#include <vector>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

// The part of a picture to repaint, in whole device pixels: a few rectangles, so that a change at the
// top and one at the bottom do not repaint everything between. Rectangles that overlap or touch are
// merged unless their union would add much that neither covers; past a handful, the two whose union
// wastes least are merged.
class DamageRegion {
public:
    static constexpr std::size_t kMostRectangles = 8;

    // Adds `area`, rounded out to whole pixels and cut to the `limit` given by the last setLimit.
    void add(const CGRect& area);
    // The picture's own rectangle; damage outside it is dropped.
    void setLimit(const CGRect& limit) { limit_ = limit; }
    void clear() { rects_.clear(); }
    bool isEmpty() const { return rects_.empty(); }
    const std::vector<CGRect>& rects() const { return rects_; }
    bool intersects(const CGRect& area) const;
    // The pixels a repaint draws (what two rectangles share counts twice).
    double area() const;

private:
    void merge(CGRect rect);

    std::vector<CGRect> rects_;
    CGRect limit_ = CGRect::infinite();
};

}  // namespace platform
