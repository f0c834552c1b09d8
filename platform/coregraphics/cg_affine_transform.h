#pragma once

#include <cmath>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

// Row-vector convention: [x y 1] * M, so x' = a·x + c·y + tx and y' = b·x + d·y + ty, and
// concat(t1, t2) applies t1 first.
struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr CGAffineTransform identity() { return {}; }
    static constexpr CGAffineTransform makeTranslation(CGFloat x, CGFloat y) { return {1, 0, 0, 1, x, y}; }
    static constexpr CGAffineTransform makeScale(CGFloat sx, CGFloat sy) { return {sx, 0, 0, sy, 0, 0}; }
    static CGAffineTransform makeRotation(CGFloat angle) {
        CGFloat cs = std::cos(angle), sn = std::sin(angle);
        return {cs, sn, -sn, cs, 0, 0};
    }

    bool isIdentity() const { return *this == identity(); }

    CGAffineTransform concat(const CGAffineTransform& t2) const {
        return {a * t2.a + b * t2.c, a * t2.b + b * t2.d,           c * t2.a + d * t2.c,
                c * t2.b + d * t2.d, tx * t2.a + ty * t2.c + t2.tx, tx * t2.b + ty * t2.d + t2.ty};
    }

    // The transformations below act before this one, as the platform's helpers do.
    CGAffineTransform translatedBy(CGFloat x, CGFloat y) const { return makeTranslation(x, y).concat(*this); }
    CGAffineTransform scaledBy(CGFloat sx, CGFloat sy) const { return makeScale(sx, sy).concat(*this); }
    CGAffineTransform rotatedBy(CGFloat angle) const { return makeRotation(angle).concat(*this); }

    CGFloat determinant() const { return a * d - b * c; }

    // A singular transform has no inverse; it is returned unchanged.
    CGAffineTransform inverted() const {
        CGFloat det = determinant();
        if (det == 0 || !std::isfinite(det)) return *this;
        CGAffineTransform r{d / det, -b / det, -c / det, a / det, 0, 0};
        r.tx = -(tx * r.a + ty * r.c);
        r.ty = -(tx * r.b + ty * r.d);
        return r;
    }

    CGPoint apply(CGPoint p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    CGSize apply(CGSize s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
    // The bounding box of the transformed corners.
    CGRect apply(const CGRect& r) const {
        if (r.isNull()) return r;
        CGRect s = r.standardized();
        CGPoint p[4] = {apply(CGPoint{s.minX(), s.minY()}), apply(CGPoint{s.maxX(), s.minY()}),
                        apply(CGPoint{s.minX(), s.maxY()}), apply(CGPoint{s.maxX(), s.maxY()})};
        CGFloat x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
        for (const CGPoint& q : p) {
            x0 = std::min(x0, q.x);
            x1 = std::max(x1, q.x);
            y0 = std::min(y0, q.y);
            y1 = std::max(y1, q.y);
        }
        return {x0, y0, x1 - x0, y1 - y0};
    }

    bool operator==(const CGAffineTransform&) const = default;
};

inline const CGAffineTransform CGAffineTransformIdentity{};

inline CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx,
                                               CGFloat ty) {
    return {a, b, c, d, tx, ty};
}
inline CGAffineTransform CGAffineTransformMakeTranslation(CGFloat x, CGFloat y) {
    return CGAffineTransform::makeTranslation(x, y);
}
inline CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy) {
    return CGAffineTransform::makeScale(sx, sy);
}
inline CGAffineTransform CGAffineTransformMakeRotation(CGFloat angle) {
    return CGAffineTransform::makeRotation(angle);
}
inline CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, CGFloat x, CGFloat y) {
    return t.translatedBy(x, y);
}
inline CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2) {
    return t1.concat(t2);
}

}  // namespace platform
