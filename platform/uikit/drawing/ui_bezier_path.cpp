#include "platform/uikit/drawing/ui_bezier_path.h"

#include <algorithm>

namespace platform {

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPath() {
    return std::make_shared<UIBezierPath>();
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithOvalInRect(const CGRect& rect) {
    auto path = bezierPath();
    path->path_.addEllipseInRect(rect);
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithRoundedRect(const CGRect& rect,
                                                                      CGFloat cornerRadius) {
    auto path = bezierPath();
    // Circular corners: a radius too large for the shorter side turns that side into a half circle.
    const CGRect r = rect.standardized();
    const CGFloat radius = std::min(cornerRadius, std::min(r.width(), r.height()) / 2);
    path->path_.addRoundedRect(r, radius, radius);
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithArcCenter(CGPoint center, CGFloat radius,
                                                                    CGFloat startAngle, CGFloat endAngle,
                                                                    bool clockwise) {
    auto path = bezierPath();
    path->addArcWithCenter(center, radius, startAngle, endAngle, clockwise);
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithCGPath(const CGPathRef& source) {
    auto path = bezierPath();
    if (source) path->path_ = *source;
    return path;
}

}  // namespace platform
