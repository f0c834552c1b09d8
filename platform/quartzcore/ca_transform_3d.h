#pragma once

#include <optional>

#include "platform/coregraphics/cg_affine_transform.h"
#include "platform/coregraphics/cg_geometry.h"

namespace platform {

// A point in homogeneous coordinates, as a transform maps it before the perspective divide.
struct CAPoint4 {
    CGFloat x = 0, y = 0, z = 0, w = 1;
};

struct CATransform3D;

// A transform taken apart as animations need it: M = N · P with N affine, its 3 × 3 part C · R (C
// lower-triangular, scale on its diagonal and shear below; R a rotation, as quaternion x, y, z, w) and its
// translation; P the identity with its last column replaced by `perspective`.
struct CATransform3DParts {
    CGFloat translation[3] = {0, 0, 0};
    CGFloat scaleShear[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    CGFloat rotation[4] = {0, 0, 0, 1};
    CGFloat perspective[4] = {0, 0, 0, 1};

    // Nothing for a flattened matrix that also has perspective.
    static std::optional<CATransform3DParts> decompose(const CATransform3D& t);
    CATransform3D recompose() const;
};

// A 4 × 4 transform in the row-vector convention: [x y z 1] · M, so m41 m42 m43 translate and m34 gives
// perspective (w = 1 + z·m34 for an otherwise affine matrix). concat(a, b) applies a first; the
// translate/scale/rotate helpers act before the transform they are given, as the platform's do, so
// CATransform3DTranslate(CATransform3DRotate(I, …), …) translates, then rotates.
struct CATransform3D {
    CGFloat m11 = 1, m12 = 0, m13 = 0, m14 = 0;
    CGFloat m21 = 0, m22 = 1, m23 = 0, m24 = 0;
    CGFloat m31 = 0, m32 = 0, m33 = 1, m34 = 0;
    CGFloat m41 = 0, m42 = 0, m43 = 0, m44 = 1;

    static constexpr CATransform3D identity() { return {}; }
    static constexpr CATransform3D zero() { return {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }
    static CATransform3D makeTranslation(CGFloat tx, CGFloat ty, CGFloat tz);
    static CATransform3D makeScale(CGFloat sx, CGFloat sy, CGFloat sz);
    // Right-handed rotation by `angle` radians about the axis (x, y, z); with y pointing down on screen a
    // positive angle about z turns clockwise. A zero axis gives the identity.
    static CATransform3D makeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z);
    static CATransform3D makeAffineTransform(const CGAffineTransform& t);

    // this · other: this transform first, then `other`.
    CATransform3D concat(const CATransform3D& other) const;
    CATransform3D translatedBy(CGFloat tx, CGFloat ty, CGFloat tz) const;
    CATransform3D scaledBy(CGFloat sx, CGFloat sy, CGFloat sz) const;
    CATransform3D rotatedBy(CGFloat angle, CGFloat x, CGFloat y, CGFloat z) const;
    // A singular transform has no inverse and is returned unchanged, as the platform does.
    CATransform3D inverted() const;
    bool isInvertible() const;
    CGFloat determinant() const;

    bool isIdentity() const { return *this == identity(); }
    // True when the transform is a 2-D affine one (no z, no perspective).
    bool isAffine() const;
    // The 2-D part: m11 m12 m21 m22 m41 m42. It ignores z and perspective.
    CGAffineTransform affineTransform() const { return {m11, m12, m21, m22, m41, m42}; }

    CAPoint4 apply(const CAPoint4& p) const;
    // Maps a point of the z = 0 plane and divides by w; nothing when the point lands at or behind the
    // eye (w ≤ 0), where it cannot be seen.
    std::optional<CGPoint> projectPoint(CGPoint p) const;
    // The inverse of projectPoint: the point of the z = 0 plane that projects onto `p`, or nothing when
    // no visible point of the plane does (the plane is seen edge-on, or the point is behind the eye).
    std::optional<CGPoint> unprojectPoint(CGPoint p) const;

    bool operator==(const CATransform3D&) const = default;

    // Interpolates between two transforms the way animations do: translation, scale and shear, and
    // perspective linearly and the rotation along the shorter great circle, so that a turn by π
    // about y passes through edge-on instead of through a squashed matrix. t outside 0…1 extrapolates.
    static CATransform3D interpolate(const CATransform3D& from, const CATransform3D& to, CGFloat t);
};

inline const CATransform3D CATransform3DIdentity{};

inline CATransform3D CATransform3DMakeTranslation(CGFloat tx, CGFloat ty, CGFloat tz) {
    return CATransform3D::makeTranslation(tx, ty, tz);
}
inline CATransform3D CATransform3DMakeScale(CGFloat sx, CGFloat sy, CGFloat sz) {
    return CATransform3D::makeScale(sx, sy, sz);
}
inline CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z) {
    return CATransform3D::makeRotation(angle, x, y, z);
}
inline CATransform3D CATransform3DTranslate(const CATransform3D& t, CGFloat tx, CGFloat ty, CGFloat tz) {
    return t.translatedBy(tx, ty, tz);
}
inline CATransform3D CATransform3DScale(const CATransform3D& t, CGFloat sx, CGFloat sy, CGFloat sz) {
    return t.scaledBy(sx, sy, sz);
}
inline CATransform3D CATransform3DRotate(const CATransform3D& t, CGFloat angle, CGFloat x, CGFloat y,
                                         CGFloat z) {
    return t.rotatedBy(angle, x, y, z);
}
inline CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b) {
    return a.concat(b);
}
inline CATransform3D CATransform3DInvert(const CATransform3D& t) {
    return t.inverted();
}
inline CATransform3D CATransform3DMakeAffineTransform(const CGAffineTransform& t) {
    return CATransform3D::makeAffineTransform(t);
}
inline CGAffineTransform CATransform3DGetAffineTransform(const CATransform3D& t) {
    return t.affineTransform();
}

}  // namespace platform
