#include "app/screens/timer/resizing_behavior.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

using namespace platform;

namespace {

// How much longer `to` is than `from`; 1 where `from` has no length to divide by.
CGFloat factor(CGFloat to, CGFloat from) {
    return from == 0 ? 1 : std::abs(to / from);
}

}  // namespace

std::optional<ResizingBehavior> ResizingBehavior::initWithRawValue(int rawValue) {
    if (rawValue < aspectFit || rawValue > center) return std::nullopt;
    return ResizingBehavior(static_cast<Case>(rawValue));
}

CGRect ResizingBehavior::apply(const CGRect& rect, const CGRect& target) const {
    if (rect == target || target == CGRect::zero()) return rect;
    CGFloat sx = factor(target.size.width, rect.size.width);
    CGFloat sy = factor(target.size.height, rect.size.height);
    switch (value_) {
        case aspectFit:
            sx = sy = std::min(sx, sy);
            break;
        case aspectFill:
            sx = sy = std::max(sx, sy);
            break;
        case stretch:
            break;
        case center:
            sx = sy = 1;
            break;
    }
    CGRect result = rect.standardized();
    result.size.width *= sx;
    result.size.height *= sy;
    result.origin.x = target.minX() + (target.width() - result.size.width) * 0.5;
    result.origin.y = target.minY() + (target.height() - result.size.height) * 0.5;
    return result;
}

}  // namespace quorvel
