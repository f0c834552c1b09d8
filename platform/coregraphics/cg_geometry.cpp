#include "platform/coregraphics/cg_geometry.h"

namespace platform {

void CGRectDivide(const CGRect& r, CGRect* slice, CGRect* remainder, CGFloat amount, CGRectEdge edge) {
    CGRect s = r.standardized();
    bool horizontal = edge == CGRectEdge::minXEdge || edge == CGRectEdge::maxXEdge;
    CGFloat extent = horizontal ? s.size.width : s.size.height;
    amount = std::clamp(amount, CGFloat(0), extent);
    CGRect a = s, b = s;
    switch (edge) {
        case CGRectEdge::minXEdge:
            a.size.width = amount;
            b.origin.x += amount;
            b.size.width -= amount;
            break;
        case CGRectEdge::maxXEdge:
            a.origin.x = s.maxX() - amount;
            a.size.width = amount;
            b.size.width -= amount;
            break;
        case CGRectEdge::minYEdge:
            a.size.height = amount;
            b.origin.y += amount;
            b.size.height -= amount;
            break;
        case CGRectEdge::maxYEdge:
            a.origin.y = s.maxY() - amount;
            a.size.height = amount;
            b.size.height -= amount;
            break;
    }
    if (slice) *slice = a;
    if (remainder) *remainder = b;
}

}  // namespace platform
