#include "platform/coregraphics/cg_path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

constexpr CGFloat kTwoPi = 2 * std::numbers::pi;
constexpr int kCurveSteps = 32;  // line segments per curve for the hit test

CGPoint onCircle(CGPoint center, CGFloat radius, CGFloat angle) {
    return {center.x + radius * std::cos(angle), center.y + radius * std::sin(angle)};
}

CGPoint cubicAt(CGPoint p0, CGPoint p1, CGPoint p2, CGPoint p3, CGFloat t) {
    const CGFloat u = 1 - t;
    const CGFloat a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

// Parameters in (0, 1) where one coordinate of a cubic has a zero derivative.
void cubicExtrema(CGFloat p0, CGFloat p1, CGFloat p2, CGFloat p3, std::vector<CGFloat>& out) {
    // Derivative / 3: a t² + b t + c.
    const CGFloat a = -p0 + 3 * p1 - 3 * p2 + p3;
    const CGFloat b = 2 * (p0 - 2 * p1 + p2);
    const CGFloat c = p1 - p0;
    auto keep = [&](CGFloat t) {
        if (t > 0 && t < 1) out.push_back(t);
    };
    if (std::abs(a) < 1e-12) {
        if (std::abs(b) > 1e-12) keep(-c / b);
        return;
    }
    const CGFloat disc = b * b - 4 * a * c;
    if (disc < 0) return;
    const CGFloat root = std::sqrt(disc);
    keep((-b + root) / (2 * a));
    keep((-b - root) / (2 * a));
}

CGPoint quadControl(CGPoint from, CGPoint control) {
    return {from.x + 2.0 / 3.0 * (control.x - from.x), from.y + 2.0 / 3.0 * (control.y - from.y)};
}

}  // namespace

bool CGPathElement::operator==(const CGPathElement& other) const {
    return type == other.type && points[0] == other.points[0] && points[1] == other.points[1] &&
           points[2] == other.points[2];
}

void CGPath::moveTo(CGPoint p) {
    elements_.push_back({CGPathElementType::moveToPoint, {p, {}, {}}});
    current_ = subpathStart_ = p;
}

void CGPath::addLineTo(CGPoint p) {
    if (!current_) return moveTo(p);
    elements_.push_back({CGPathElementType::addLineToPoint, {p, {}, {}}});
    current_ = p;
}

void CGPath::addQuadCurveTo(CGPoint control, CGPoint end) {
    if (!current_) moveTo(control);
    elements_.push_back({CGPathElementType::addQuadCurveToPoint, {control, end, {}}});
    current_ = end;
}

void CGPath::addCurveTo(CGPoint control1, CGPoint control2, CGPoint end) {
    if (!current_) moveTo(control1);
    elements_.push_back({CGPathElementType::addCurveToPoint, {control1, control2, end}});
    current_ = end;
}

void CGPath::closeSubpath() {
    if (!current_) return;
    elements_.push_back({CGPathElementType::closeSubpath, {}});
    current_ = subpathStart_;
}

void CGPath::addRect(const CGRect& rect) {
    if (rect.isNull()) return;
    const CGRect r = rect.standardized();
    moveTo({r.minX(), r.minY()});
    addLineTo({r.maxX(), r.minY()});
    addLineTo({r.maxX(), r.maxY()});
    addLineTo({r.minX(), r.maxY()});
    closeSubpath();
}

void CGPath::addEllipseInRect(const CGRect& rect) {
    if (rect.isNull()) return;
    const CGRect r = rect.standardized();
    const CGFloat rx = r.width() / 2, ry = r.height() / 2;
    const CGPoint c = r.center();
    // A quarter of a unit circle as a cubic: control arms of 4/3·tan(π/8).
    const CGFloat k = 4.0 / 3.0 * std::tan(std::numbers::pi / 8);
    moveTo({c.x + rx, c.y});
    addCurveTo({c.x + rx, c.y + k * ry}, {c.x + k * rx, c.y + ry}, {c.x, c.y + ry});
    addCurveTo({c.x - k * rx, c.y + ry}, {c.x - rx, c.y + k * ry}, {c.x - rx, c.y});
    addCurveTo({c.x - rx, c.y - k * ry}, {c.x - k * rx, c.y - ry}, {c.x, c.y - ry});
    addCurveTo({c.x + k * rx, c.y - ry}, {c.x + rx, c.y - k * ry}, {c.x + rx, c.y});
    closeSubpath();
}

void CGPath::addRoundedRect(const CGRect& rect, CGFloat cornerWidth, CGFloat cornerHeight) {
    if (rect.isNull()) return;
    const CGRect r = rect.standardized();
    const CGFloat rx = std::clamp(cornerWidth, 0.0, r.width() / 2);
    const CGFloat ry = std::clamp(cornerHeight, 0.0, r.height() / 2);
    if (!(rx > 0) || !(ry > 0)) return addRect(r);
    const CGFloat k = 4.0 / 3.0 * std::tan(std::numbers::pi / 8);
    const CGFloat x0 = r.minX(), x1 = r.maxX(), y0 = r.minY(), y1 = r.maxY();
    moveTo({x0 + rx, y0});
    addLineTo({x1 - rx, y0});
    addCurveTo({x1 - rx + k * rx, y0}, {x1, y0 + ry - k * ry}, {x1, y0 + ry});
    addLineTo({x1, y1 - ry});
    addCurveTo({x1, y1 - ry + k * ry}, {x1 - rx + k * rx, y1}, {x1 - rx, y1});
    addLineTo({x0 + rx, y1});
    addCurveTo({x0 + rx - k * rx, y1}, {x0, y1 - ry + k * ry}, {x0, y1 - ry});
    addLineTo({x0, y0 + ry});
    addCurveTo({x0, y0 + ry - k * ry}, {x0 + rx - k * rx, y0}, {x0 + rx, y0});
    closeSubpath();
}

void CGPath::addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise) {
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle) || !std::isfinite(radius)) return;
    radius = std::abs(radius);
    CGFloat sweep = std::fmod(clockwise ? startAngle - endAngle : endAngle - startAngle, kTwoPi);
    if (sweep < 0) sweep += kTwoPi;
    if (sweep == 0 && startAngle != endAngle) sweep = kTwoPi;
    if (clockwise) sweep = -sweep;

    const CGPoint start = onCircle(center, radius, startAngle);
    if (current_) {
        addLineTo(start);
    } else {
        moveTo(start);
    }
    const int segments = static_cast<int>(std::ceil(std::abs(sweep) / (kTwoPi / 4) - 1e-9));
    const CGFloat step = segments > 0 ? sweep / segments : 0;
    for (int i = 0; i < segments; ++i) {
        const CGFloat a0 = startAngle + step * i;
        const CGFloat a1 = i + 1 == segments ? startAngle + sweep : a0 + step;
        const CGFloat k = 4.0 / 3.0 * std::tan((a1 - a0) / 4) * radius;
        const CGPoint p0 = onCircle(center, radius, a0), p3 = onCircle(center, radius, a1);
        addCurveTo({p0.x - k * std::sin(a0), p0.y + k * std::cos(a0)},
                   {p3.x + k * std::sin(a1), p3.y - k * std::cos(a1)}, p3);
    }
}

void CGPath::addPath(const CGPath& other) {
    for (const CGPathElement& e : other.elements_) elements_.push_back(e);
    if (!other.elements_.empty()) {
        current_ = other.current_;
        subpathStart_ = other.subpathStart_;
    }
}

void CGPath::applyTransform(const CGAffineTransform& t) {
    for (CGPathElement& e : elements_) {
        for (CGPoint& p : e.points) p = t.apply(p);
    }
    if (current_) current_ = t.apply(*current_);
    if (subpathStart_) subpathStart_ = t.apply(*subpathStart_);
}

std::optional<CGPoint> CGPath::currentPoint() const {
    return current_;
}

CGRect CGPath::boundingBox() const {
    CGRect box = CGRect::null();
    auto include = [&](CGPoint p) { box = box.unionWith({p.x, p.y, 0, 0}); };
    for (const CGPathElement& e : elements_) {
        switch (e.type) {
            case CGPathElementType::moveToPoint:
            case CGPathElementType::addLineToPoint:
                include(e.points[0]);
                break;
            case CGPathElementType::addQuadCurveToPoint:
                include(e.points[0]);
                include(e.points[1]);
                break;
            case CGPathElementType::addCurveToPoint:
                for (const CGPoint& p : e.points) include(p);
                break;
            case CGPathElementType::closeSubpath:
                break;
        }
    }
    return box;
}

CGRect CGPath::pathBoundingBox() const {
    CGRect box = CGRect::null();
    auto include = [&](CGPoint p) { box = box.unionWith({p.x, p.y, 0, 0}); };
    CGPoint last{};
    for (const CGPathElement& e : elements_) {
        CGPoint c1, c2, end;
        switch (e.type) {
            case CGPathElementType::moveToPoint:
            case CGPathElementType::addLineToPoint:
                include(e.points[0]);
                last = e.points[0];
                continue;
            case CGPathElementType::closeSubpath:
                continue;
            case CGPathElementType::addQuadCurveToPoint:
                c1 = quadControl(last, e.points[0]);
                c2 = quadControl(e.points[1], e.points[0]);
                end = e.points[1];
                break;
            case CGPathElementType::addCurveToPoint:
                c1 = e.points[0], c2 = e.points[1], end = e.points[2];
                break;
        }
        std::vector<CGFloat> ts;
        cubicExtrema(last.x, c1.x, c2.x, end.x, ts);
        cubicExtrema(last.y, c1.y, c2.y, end.y, ts);
        for (CGFloat t : ts) include(cubicAt(last, c1, c2, end, t));
        include(end);
        last = end;
    }
    return box;
}

bool CGPath::containsPoint(CGPoint p, CGPathFillRule rule) const {
    int winding = 0;
    int crossings = 0;
    std::optional<CGPoint> start;
    CGPoint last{};
    auto edge = [&](CGPoint a, CGPoint b) {
        if ((a.y <= p.y) == (b.y <= p.y)) return;
        const CGFloat x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (x <= p.x) return;
        ++crossings;
        winding += b.y > a.y ? 1 : -1;
    };
    auto closeOpen = [&] {
        if (start) edge(last, *start);
    };
    for (const CGPathElement& e : elements_) {
        switch (e.type) {
            case CGPathElementType::moveToPoint:
                closeOpen();
                start = last = e.points[0];
                break;
            case CGPathElementType::addLineToPoint:
                edge(last, e.points[0]);
                last = e.points[0];
                break;
            case CGPathElementType::addQuadCurveToPoint:
            case CGPathElementType::addCurveToPoint: {
                const bool quad = e.type == CGPathElementType::addQuadCurveToPoint;
                const CGPoint end = quad ? e.points[1] : e.points[2];
                const CGPoint c1 = quad ? quadControl(last, e.points[0]) : e.points[0];
                const CGPoint c2 = quad ? quadControl(end, e.points[0]) : e.points[1];
                CGPoint previous = last;
                for (int i = 1; i <= kCurveSteps; ++i) {
                    const CGPoint next = cubicAt(last, c1, c2, end, static_cast<CGFloat>(i) / kCurveSteps);
                    edge(previous, next);
                    previous = next;
                }
                last = end;
                break;
            }
            case CGPathElementType::closeSubpath:
                closeOpen();
                if (start) last = *start;
                break;
        }
    }
    closeOpen();
    return rule == CGPathFillRule::evenOdd ? (crossings % 2) == 1 : winding != 0;
}

}  // namespace platform
