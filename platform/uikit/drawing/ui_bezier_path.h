#pragma once

#include <memory>

#include "platform/coregraphics/cg_path.h"

namespace platform {

// A path with the drawing settings UIKit keeps beside it. Its arc flag is UIKit's: `clockwise` turns
// clockwise on the y-down screen (the angle grows), so an arc from −π/2 to 3π/2 clockwise is a full ring
// that starts and ends at twelve o'clock.
class UIBezierPath {
public:
    static std::shared_ptr<UIBezierPath> bezierPath();
    static std::shared_ptr<UIBezierPath> bezierPathWithOvalInRect(const CGRect& rect);
    static std::shared_ptr<UIBezierPath> bezierPathWithRoundedRect(const CGRect& rect, CGFloat cornerRadius);
    static std::shared_ptr<UIBezierPath> bezierPathWithArcCenter(CGPoint center, CGFloat radius,
                                                                 CGFloat startAngle, CGFloat endAngle,
                                                                 bool clockwise);
    static std::shared_ptr<UIBezierPath> bezierPathWithCGPath(const CGPathRef& path);

    void moveToPoint(CGPoint p) { path_.moveTo(p); }
    void addLineToPoint(CGPoint p) { path_.addLineTo(p); }
    void addQuadCurveToPoint(CGPoint end, CGPoint control) { path_.addQuadCurveTo(control, end); }
    void addCurveToPoint(CGPoint end, CGPoint control1, CGPoint control2) {
        path_.addCurveTo(control1, control2, end);
    }
    void addArcWithCenter(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
                          bool clockwise) {
        path_.addArc(center, radius, startAngle, endAngle, !clockwise);
    }
    void closePath() { path_.closeSubpath(); }
    void appendPath(const UIBezierPath& other) { path_.addPath(other.path_); }
    void applyTransform(const CGAffineTransform& t) { path_.applyTransform(t); }

    // A snapshot of the path as layers take it.
    CGPathRef CGPath() const { return std::make_shared<const platform::CGPath>(path_); }
    const platform::CGPath& path() const { return path_; }

    bool isEmpty() const { return path_.isEmpty(); }
    // The box of all points, control points included, as the platform reports it.
    CGRect bounds() const { return path_.boundingBox(); }
    CGPoint currentPoint() const { return path_.currentPoint().value_or(CGPoint{}); }
    // Uses the path's own fill rule.
    bool containsPoint(CGPoint p) const {
        return path_.containsPoint(p,
                                   usesEvenOddFillRule_ ? CGPathFillRule::evenOdd : CGPathFillRule::winding);
    }

    void setUsesEvenOddFillRule(bool v) { usesEvenOddFillRule_ = v; }
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat v) { lineWidth_ = v; }

private:
    platform::CGPath path_;
    bool usesEvenOddFillRule_ = false;
    CGFloat lineWidth_ = 1.0;
};

}  // namespace platform
