#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

using CGFloat = double;

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;

    static constexpr CGPoint zero() { return {}; }
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;

    static constexpr CGSize zero() { return {}; }
    bool operator==(const CGSize&) const = default;
};

// A rectangle whose size may be negative; every query works on the standardised form. The null
// rectangle (the answer of an empty intersection) sits at infinity so it can never be mistaken for
// a real empty rectangle at the origin.
struct CGRect {
    CGPoint origin;
    CGSize size;

    constexpr CGRect() = default;
    constexpr CGRect(CGPoint o, CGSize s) : origin(o), size(s) {}
    constexpr CGRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) : origin{x, y}, size{w, h} {}

    static constexpr CGRect zero() { return {}; }
    static constexpr CGRect null() {
        return {std::numeric_limits<CGFloat>::infinity(), std::numeric_limits<CGFloat>::infinity(), 0, 0};
    }
    static constexpr CGRect infinite() {
        constexpr CGFloat big = std::numeric_limits<CGFloat>::max() / 2;
        return {-big / 2, -big / 2, big, big};
    }

    bool isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }
    bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

    CGRect standardized() const {
        if (isNull()) return null();
        CGRect r = *this;
        if (r.size.width < 0) {
            r.origin.x += r.size.width;
            r.size.width = -r.size.width;
        }
        if (r.size.height < 0) {
            r.origin.y += r.size.height;
            r.size.height = -r.size.height;
        }
        return r;
    }

    CGFloat minX() const { return std::min(origin.x, origin.x + size.width); }
    CGFloat maxX() const { return std::max(origin.x, origin.x + size.width); }
    CGFloat midX() const { return origin.x + size.width / 2; }
    CGFloat minY() const { return std::min(origin.y, origin.y + size.height); }
    CGFloat maxY() const { return std::max(origin.y, origin.y + size.height); }
    CGFloat midY() const { return origin.y + size.height / 2; }
    CGFloat width() const { return std::abs(size.width); }
    CGFloat height() const { return std::abs(size.height); }
    CGPoint center() const { return {midX(), midY()}; }

    // Smallest rectangle on whole numbers that contains this one.
    CGRect integral() const {
        if (isNull()) return null();
        CGRect s = standardized();
        CGFloat x0 = std::floor(s.minX()), y0 = std::floor(s.minY());
        CGFloat x1 = std::ceil(s.maxX()), y1 = std::ceil(s.maxY());
        return {x0, y0, x1 - x0, y1 - y0};
    }

    // Shrinks (or with negative amounts grows) each side; null once nothing is left.
    CGRect insetBy(CGFloat dx, CGFloat dy) const {
        if (isNull()) return null();
        CGRect s = standardized();
        s.origin.x += dx;
        s.origin.y += dy;
        s.size.width -= 2 * dx;
        s.size.height -= 2 * dy;
        if (s.size.width < 0 || s.size.height < 0) return null();
        return s;
    }

    CGRect offsetBy(CGFloat dx, CGFloat dy) const {
        if (isNull()) return null();
        CGRect s = standardized();
        s.origin.x += dx;
        s.origin.y += dy;
        return s;
    }

    CGRect unionWith(const CGRect& other) const {
        if (isNull()) return other.standardized();
        if (other.isNull()) return standardized();
        CGFloat x0 = std::min(minX(), other.minX()), y0 = std::min(minY(), other.minY());
        CGFloat x1 = std::max(maxX(), other.maxX()), y1 = std::max(maxY(), other.maxY());
        return {x0, y0, x1 - x0, y1 - y0};
    }

    // Null when the two do not overlap; rectangles that only touch give an empty rectangle.
    CGRect intersection(const CGRect& other) const {
        if (isNull() || other.isNull()) return null();
        CGFloat x0 = std::max(minX(), other.minX()), y0 = std::max(minY(), other.minY());
        CGFloat x1 = std::min(maxX(), other.maxX()), y1 = std::min(maxY(), other.maxY());
        if (x1 < x0 || y1 < y0) return null();
        return {x0, y0, x1 - x0, y1 - y0};
    }

    bool intersects(const CGRect& other) const {
        CGRect i = intersection(other);
        return !i.isNull() && !i.isEmpty();
    }

    // Half-open: the maximum edges are outside.
    bool contains(CGPoint p) const {
        if (isNull()) return false;
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    bool contains(const CGRect& other) const {
        if (isNull() || other.isNull()) return false;
        return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY() &&
               other.maxY() <= maxY();
    }

    // Equal when both are null or both standardise to the same rectangle.
    bool operator==(const CGRect& other) const {
        if (isNull() || other.isNull()) return isNull() && other.isNull();
        CGRect a = standardized(), b = other.standardized();
        return a.origin == b.origin && a.size == b.size;
    }
};

enum class CGRectEdge { minXEdge, minYEdge, maxXEdge, maxYEdge };

struct UIEdgeInsets {
    CGFloat top = 0;
    CGFloat left = 0;
    CGFloat bottom = 0;
    CGFloat right = 0;

    static constexpr UIEdgeInsets zero() { return {}; }
    bool operator==(const UIEdgeInsets&) const = default;
};

inline CGPoint CGPointMake(CGFloat x, CGFloat y) {
    return {x, y};
}
inline CGSize CGSizeMake(CGFloat w, CGFloat h) {
    return {w, h};
}
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
    return {x, y, w, h};
}
inline UIEdgeInsets UIEdgeInsetsMake(CGFloat top, CGFloat left, CGFloat bottom, CGFloat right) {
    return {top, left, bottom, right};
}

inline CGRect CGRectIntegral(const CGRect& r) {
    return r.integral();
}
inline CGRect CGRectInset(const CGRect& r, CGFloat dx, CGFloat dy) {
    return r.insetBy(dx, dy);
}
inline CGRect CGRectOffset(const CGRect& r, CGFloat dx, CGFloat dy) {
    return r.offsetBy(dx, dy);
}

inline CGRect UIEdgeInsetsInsetRect(const CGRect& r, const UIEdgeInsets& in) {
    CGRect s = r.standardized();
    s.origin.x += in.left;
    s.origin.y += in.top;
    s.size.width -= in.left + in.right;
    s.size.height -= in.top + in.bottom;
    return s;
}

// Splits `r` at `amount` from `edge` into the slice and the remainder.
void CGRectDivide(const CGRect& r, CGRect* slice, CGRect* remainder, CGFloat amount, CGRectEdge edge);

}  // namespace platform
