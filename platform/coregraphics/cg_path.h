#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/coregraphics/cg_affine_transform.h"
#include "platform/coregraphics/cg_geometry.h"

namespace platform {

enum class CGPathElementType {
    moveToPoint,
    addLineToPoint,
    addQuadCurveToPoint,
    addCurveToPoint,
    closeSubpath
};

// One step of a path: move and line use points[0]; a quadratic curve has its control point then its end;
// a cubic curve its two control points then its end.
struct CGPathElement {
    CGPathElementType type = CGPathElementType::moveToPoint;
    CGPoint points[3];
    bool operator==(const CGPathElement& other) const;
};

enum class CGPathFillRule { winding, evenOdd };

// A path as a list of elements. Arcs, ellipses and rounded corners become cubic curves (a quarter turn
// at most each), so a renderer and the hit test need only lines and curves.
class CGPath {
public:
    void moveTo(CGPoint p);
    // Without a current point these start a new subpath at the point instead.
    void addLineTo(CGPoint p);
    void addQuadCurveTo(CGPoint control, CGPoint end);
    void addCurveTo(CGPoint control1, CGPoint control2, CGPoint end);
    void closeSubpath();

    void addRect(const CGRect& rect);
    void addEllipseInRect(const CGRect& rect);
    // Corner radii are limited to half the rectangle's sides.
    void addRoundedRect(const CGRect& rect, CGFloat cornerWidth, CGFloat cornerHeight);
    // An arc of the circle round `center`; a point at angle a is center + r·(cos a, sin a). With
    // `clockwise` the angle decreases, as in Core Graphics' y-up sense (on a y-down screen that turns
    // anticlockwise; UIBezierPath's flag is the other way round). A current point is joined to the arc's
    // start by a line. Sweeps are taken modulo a full turn; equal angles draw nothing, a difference of a
    // whole non-zero number of turns draws the full circle.
    void addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
    void addPath(const CGPath& other);
    void applyTransform(const CGAffineTransform& t);

    const std::vector<CGPathElement>& elements() const { return elements_; }
    bool isEmpty() const { return elements_.empty(); }
    // The end of the last element (the start of the subpath after a close); nothing for an empty path.
    std::optional<CGPoint> currentPoint() const;

    // The box of every point, control points included; the null rectangle for an empty path.
    CGRect boundingBox() const;
    // The tight box of the drawn outline (curves at their extremes, not their control points).
    CGRect pathBoundingBox() const;
    // Whether a fill of the path would cover the point; open subpaths count as closed.
    bool containsPoint(CGPoint p, CGPathFillRule rule = CGPathFillRule::winding) const;

    bool operator==(const CGPath& other) const { return elements_ == other.elements_; }

private:
    std::vector<CGPathElement> elements_;
    std::optional<CGPoint> current_;
    std::optional<CGPoint> subpathStart_;
};

// Paths as layers hold them: immutable and shared.
using CGPathRef = std::shared_ptr<const CGPath>;

}  // namespace platform
