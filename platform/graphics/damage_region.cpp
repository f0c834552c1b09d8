#include "platform/graphics/damage_region.h"

#include <cmath>
#include <limits>

namespace platform {

namespace {

bool finite(const CGRect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

bool overlapsOrTouches(const CGRect& a, const CGRect& b) {
    return a.minX() <= b.maxX() && b.minX() <= a.maxX() && a.minY() <= b.maxY() && b.minY() <= a.maxY();
}

double areaOf(const CGRect& r) {
    return r.size.width * r.size.height;
}

// Two rectangles that meet become one unless their union would repaint much that neither covers
// (a ring above a label beside it): then both stay, and what they share is repainted twice.
bool worthJoining(const CGRect& a, const CGRect& b) {
    return areaOf(a.unionWith(b)) <= 1.25 * (areaOf(a) + areaOf(b) - areaOf(a.intersection(b)));
}

}  // namespace

void DamageRegion::add(const CGRect& area) {
    if (area.isNull()) return;
    // A box that cannot be worked out (an overflow, NaN) may be anywhere.
    const CGRect whole = finite(area) ? area.standardized().integral() : limit_;
    const CGRect inside = whole.intersection(limit_.integral());
    if (inside.isEmpty()) return;
    merge(inside);
}

void DamageRegion::merge(CGRect rect) {
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = rects_.begin(); it != rects_.end(); ++it) {
            if (overlapsOrTouches(*it, rect) && worthJoining(*it, rect)) {
                rect = rect.unionWith(*it);
                rects_.erase(it);
                grew = true;
                break;
            }
        }
    }
    rects_.push_back(rect);
    if (rects_.size() <= kMostRectangles) return;
    std::size_t bestI = 0, bestJ = 1;
    double leastWaste = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        for (std::size_t j = i + 1; j < rects_.size(); ++j) {
            const double waste = areaOf(rects_[i].unionWith(rects_[j])) - areaOf(rects_[i]) - areaOf(rects_[j]);
            if (waste < leastWaste) {
                leastWaste = waste;
                bestI = i;
                bestJ = j;
            }
        }
    }
    const CGRect joined = rects_[bestI].unionWith(rects_[bestJ]);
    rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(bestJ));
    rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(bestI));
    merge(joined);
}

bool DamageRegion::intersects(const CGRect& area) const {
    for (const CGRect& r : rects_) {
        if (r.intersects(area)) return true;
    }
    return false;
}

double DamageRegion::area() const {
    double total = 0;
    for (const CGRect& r : rects_) total += areaOf(r);
    return total;
}

}  // namespace platform
