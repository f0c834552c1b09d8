#include "platform/quartzcore/ca_transform_3d.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace platform {

namespace {

using Matrix = std::array<std::array<CGFloat, 4>, 4>;
using Vec3 = std::array<CGFloat, 3>;

Matrix toMatrix(const CATransform3D& t) {
    return {{{t.m11, t.m12, t.m13, t.m14},
             {t.m21, t.m22, t.m23, t.m24},
             {t.m31, t.m32, t.m33, t.m34},
             {t.m41, t.m42, t.m43, t.m44}}};
}

CATransform3D fromMatrix(const Matrix& m) {
    return {m[0][0], m[0][1], m[0][2], m[0][3], m[1][0], m[1][1], m[1][2], m[1][3],
            m[2][0], m[2][1], m[2][2], m[2][3], m[3][0], m[3][1], m[3][2], m[3][3]};
}

// Gauss–Jordan elimination with partial pivoting; nothing for a singular matrix.
std::optional<Matrix> invert(Matrix a, CGFloat* determinant = nullptr) {
    Matrix inv{};
    for (int i = 0; i < 4; ++i) inv[i][i] = 1;
    CGFloat det = 1;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row) {
            if (std::abs(a[row][col]) > std::abs(a[pivot][col])) pivot = row;
        }
        if (a[pivot][col] == 0 || !std::isfinite(a[pivot][col])) {
            if (determinant) *determinant = 0;
            return std::nullopt;
        }
        if (pivot != col) {
            std::swap(a[pivot], a[col]);
            std::swap(inv[pivot], inv[col]);
            det = -det;
        }
        const CGFloat p = a[col][col];
        det *= p;
        for (int j = 0; j < 4; ++j) {
            a[col][j] /= p;
            inv[col][j] /= p;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == col || a[row][col] == 0) continue;
            const CGFloat f = a[row][col];
            for (int j = 0; j < 4; ++j) {
                a[row][j] -= f * a[col][j];
                inv[row][j] -= f * inv[col][j];
            }
        }
    }
    if (determinant) *determinant = det;
    return inv;
}

CGFloat dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
CGFloat length(const Vec3& v) {
    return std::sqrt(dot(v, v));
}

constexpr CGFloat kTiny = 1e-12;

// A unit vector orthogonal to the first `count` rows of `u`, to complete the basis of a flattened matrix.
Vec3 completeBasis(const Vec3 u[3], int count) {
    if (count == 2) return cross(u[0], u[1]);
    Vec3 best{};
    CGFloat bestLength = -1;
    for (int axis = 0; axis < 3; ++axis) {
        Vec3 v{};
        v[axis] = 1;
        for (int j = 0; j < count; ++j) {
            const CGFloat d = dot(v, u[j]);
            for (int k = 0; k < 3; ++k) v[k] -= d * u[j][k];
        }
        const CGFloat len = length(v);
        if (len > bestLength) {
            bestLength = len;
            best = {v[0] / len, v[1] / len, v[2] / len};
        }
    }
    return best;
}

}  // namespace

std::optional<CATransform3DParts> CATransform3DParts::decompose(const CATransform3D& t) {
    const Matrix m = toMatrix(t);
    CATransform3DParts d;
    auto& c = d.scaleShear;
    Vec3 rows[3];
    for (int i = 0; i < 3; ++i) rows[i] = {m[i][0], m[i][1], m[i][2]};
    for (int i = 0; i < 3; ++i) d.translation[i] = m[3][i];
    const Vec3 translation = {m[3][0], m[3][1], m[3][2]};

    const Vec3 lastColumn = {m[0][3], m[1][3], m[2][3]};
    if (lastColumn[0] != 0 || lastColumn[1] != 0 || lastColumn[2] != 0) {
        Matrix a{};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) a[i][j] = m[i][j];
        }
        a[3][3] = 1;
        const auto inverse = invert(a);
        if (!inverse) return std::nullopt;  // a flattened matrix with perspective: no decomposition
        for (int i = 0; i < 3; ++i) {
            d.perspective[i] = 0;
            for (int k = 0; k < 3; ++k) d.perspective[i] += (*inverse)[i][k] * lastColumn[k];
        }
    }
    d.perspective[3] = m[3][3] - dot(translation, {d.perspective[0], d.perspective[1], d.perspective[2]});

    // Gram–Schmidt on the rows: rows[i] = Σ_j c[i][j] u[j].
    Vec3 u[3];
    for (int i = 0; i < 3; ++i) {
        Vec3 v = rows[i];
        for (int j = 0; j < i; ++j) {
            c[i][j] = dot(rows[i], u[j]);
            for (int k = 0; k < 3; ++k) v[k] -= c[i][j] * u[j][k];
        }
        const CGFloat len = length(v);
        c[i][i] = len;
        if (len > kTiny) {
            u[i] = {v[0] / len, v[1] / len, v[2] / len};
        } else {
            c[i][i] = 0;
            u[i] = completeBasis(u, i);
        }
    }
    if (dot(u[0], cross(u[1], u[2])) < 0) {  // a reflection: keep R a rotation
        c[2][2] = -c[2][2];
        for (CGFloat& x : u[2]) x = -x;
    }

    // Quaternion of R (rows u), in the row-vector convention.
    const CGFloat trace = u[0][0] + u[1][1] + u[2][2];
    CGFloat x, y, z, w;
    if (trace > 0) {
        const CGFloat s = 0.5 / std::sqrt(trace + 1);
        w = 0.25 / s;
        x = (u[1][2] - u[2][1]) * s;
        y = (u[2][0] - u[0][2]) * s;
        z = (u[0][1] - u[1][0]) * s;
    } else if (u[0][0] > u[1][1] && u[0][0] > u[2][2]) {
        const CGFloat s = 2 * std::sqrt(1 + u[0][0] - u[1][1] - u[2][2]);
        w = (u[1][2] - u[2][1]) / s;
        x = 0.25 * s;
        y = (u[1][0] + u[0][1]) / s;
        z = (u[2][0] + u[0][2]) / s;
    } else if (u[1][1] > u[2][2]) {
        const CGFloat s = 2 * std::sqrt(1 + u[1][1] - u[0][0] - u[2][2]);
        w = (u[2][0] - u[0][2]) / s;
        x = (u[1][0] + u[0][1]) / s;
        y = 0.25 * s;
        z = (u[2][1] + u[1][2]) / s;
    } else {
        const CGFloat s = 2 * std::sqrt(1 + u[2][2] - u[0][0] - u[1][1]);
        w = (u[0][1] - u[1][0]) / s;
        x = (u[2][0] + u[0][2]) / s;
        y = (u[2][1] + u[1][2]) / s;
        z = 0.25 * s;
    }
    d.rotation[0] = x, d.rotation[1] = y, d.rotation[2] = z, d.rotation[3] = w;
    return d;
}

CATransform3D CATransform3DParts::recompose() const {
    const CGFloat x = rotation[0], y = rotation[1], z = rotation[2], w = rotation[3];
    // Rotation rows for the row-vector convention (the transpose of the usual column form).
    const CGFloat r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)},
                             {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)},
                             {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)}};
    Matrix m{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            CGFloat sum = 0;
            for (int k = 0; k <= i; ++k) sum += scaleShear[i][k] * r[k][j];
            m[i][j] = sum;
        }
    }
    const CGFloat* p = perspective;
    for (int j = 0; j < 3; ++j) m[3][j] = translation[j];
    for (int i = 0; i < 3; ++i) m[i][3] = m[i][0] * p[0] + m[i][1] * p[1] + m[i][2] * p[2];
    m[3][3] = translation[0] * p[0] + translation[1] * p[1] + translation[2] * p[2] + p[3];
    return fromMatrix(m);
}

namespace {
CGFloat lerp(CGFloat a, CGFloat b, CGFloat t) {
    return a + (b - a) * t;
}
}  // namespace

CATransform3D CATransform3D::makeTranslation(CGFloat tx, CGFloat ty, CGFloat tz) {
    CATransform3D t;
    t.m41 = tx, t.m42 = ty, t.m43 = tz;
    return t;
}

CATransform3D CATransform3D::makeScale(CGFloat sx, CGFloat sy, CGFloat sz) {
    CATransform3D t;
    t.m11 = sx, t.m22 = sy, t.m33 = sz;
    return t;
}

CATransform3D CATransform3D::makeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z) {
    const CGFloat len = std::sqrt(x * x + y * y + z * z);
    if (len == 0 || !std::isfinite(len)) return identity();
    x /= len, y /= len, z /= len;
    const CGFloat c = std::cos(angle), s = std::sin(angle), k = 1 - c;
    CATransform3D t;
    t.m11 = k * x * x + c, t.m12 = k * x * y + s * z, t.m13 = k * x * z - s * y;
    t.m21 = k * x * y - s * z, t.m22 = k * y * y + c, t.m23 = k * y * z + s * x;
    t.m31 = k * x * z + s * y, t.m32 = k * y * z - s * x, t.m33 = k * z * z + c;
    return t;
}

CATransform3D CATransform3D::makeAffineTransform(const CGAffineTransform& a) {
    CATransform3D t;
    t.m11 = a.a, t.m12 = a.b, t.m21 = a.c, t.m22 = a.d, t.m41 = a.tx, t.m42 = a.ty;
    return t;
}

CATransform3D CATransform3D::concat(const CATransform3D& other) const {
    const Matrix a = toMatrix(*this), b = toMatrix(other);
    Matrix r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
        }
    }
    return fromMatrix(r);
}

CATransform3D CATransform3D::translatedBy(CGFloat tx, CGFloat ty, CGFloat tz) const {
    return makeTranslation(tx, ty, tz).concat(*this);
}

CATransform3D CATransform3D::scaledBy(CGFloat sx, CGFloat sy, CGFloat sz) const {
    return makeScale(sx, sy, sz).concat(*this);
}

CATransform3D CATransform3D::rotatedBy(CGFloat angle, CGFloat x, CGFloat y, CGFloat z) const {
    return makeRotation(angle, x, y, z).concat(*this);
}

CATransform3D CATransform3D::inverted() const {
    const auto inverse = invert(toMatrix(*this));
    if (!inverse) return *this;
    for (const auto& row : *inverse) {
        for (const CGFloat v : row) {
            if (!std::isfinite(v)) return *this;
        }
    }
    return fromMatrix(*inverse);
}

bool CATransform3D::isInvertible() const {
    return invert(toMatrix(*this)).has_value();
}

CGFloat CATransform3D::determinant() const {
    CGFloat det = 0;
    invert(toMatrix(*this), &det);
    return det;
}

bool CATransform3D::isAffine() const {
    return m13 == 0 && m14 == 0 && m23 == 0 && m24 == 0 && m31 == 0 && m32 == 0 && m33 == 1 && m34 == 0 &&
           m43 == 0 && m44 == 1;
}

CAPoint4 CATransform3D::apply(const CAPoint4& p) const {
    return {p.x * m11 + p.y * m21 + p.z * m31 + p.w * m41, p.x * m12 + p.y * m22 + p.z * m32 + p.w * m42,
            p.x * m13 + p.y * m23 + p.z * m33 + p.w * m43, p.x * m14 + p.y * m24 + p.z * m34 + p.w * m44};
}

std::optional<CGPoint> CATransform3D::projectPoint(CGPoint p) const {
    const CAPoint4 q = apply({p.x, p.y, 0, 1});
    if (!(q.w > 0)) return std::nullopt;
    return CGPoint{q.x / q.w, q.y / q.w};
}

std::optional<CGPoint> CATransform3D::unprojectPoint(CGPoint p) const {
    // Solve [x y 0 1] · M = w · [p.x p.y · ·] for x and y: two linear equations.
    const CGFloat a11 = m11 - p.x * m14, a12 = m21 - p.x * m24, b1 = p.x * m44 - m41;
    const CGFloat a21 = m12 - p.y * m14, a22 = m22 - p.y * m24, b2 = p.y * m44 - m42;
    const CGFloat det = a11 * a22 - a12 * a21;
    const CGFloat size = std::max({std::abs(a11), std::abs(a12), std::abs(a21), std::abs(a22)});
    // Seen edge-on (up to rounding, as a turn by π/2 leaves cos = 6e-17): no single point.
    if (!(std::abs(det) > 1e-12 * size * size) || !std::isfinite(det)) return std::nullopt;
    const CGPoint local{(b1 * a22 - a12 * b2) / det, (a11 * b2 - b1 * a21) / det};
    const CGFloat w = local.x * m14 + local.y * m24 + m44;
    if (!(w > 0) || !std::isfinite(local.x) || !std::isfinite(local.y)) return std::nullopt;
    return local;
}

CATransform3D CATransform3D::interpolate(const CATransform3D& from, const CATransform3D& to, CGFloat t) {
    if (from == to) return from;
    const auto a = CATransform3DParts::decompose(from), b = CATransform3DParts::decompose(to);
    if (!a || !b) {  // no decomposition: entry by entry
        Matrix ma = toMatrix(from), mb = toMatrix(to);
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) ma[i][j] = lerp(ma[i][j], mb[i][j], t);
        }
        return fromMatrix(ma);
    }
    CATransform3DParts r;
    for (int i = 0; i < 3; ++i) r.translation[i] = lerp(a->translation[i], b->translation[i], t);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j <= i; ++j) r.scaleShear[i][j] = lerp(a->scaleShear[i][j], b->scaleShear[i][j], t);
    }
    for (int i = 0; i < 4; ++i) r.perspective[i] = lerp(a->perspective[i], b->perspective[i], t);

    const CGFloat* qa = a->rotation;
    CGFloat qb[4] = {b->rotation[0], b->rotation[1], b->rotation[2], b->rotation[3]};
    CGFloat cosAngle = qa[0] * qb[0] + qa[1] * qb[1] + qa[2] * qb[2] + qa[3] * qb[3];
    if (cosAngle < 0) {  // the shorter way round
        for (CGFloat& v : qb) v = -v;
        cosAngle = -cosAngle;
    }
    CGFloat wa = 1 - t, wb = t;
    if (cosAngle < 1 - 1e-12) {
        const CGFloat angle = std::acos(std::min<CGFloat>(cosAngle, 1));
        const CGFloat s = std::sin(angle);
        wa = std::sin((1 - t) * angle) / s;
        wb = std::sin(t * angle) / s;
    }
    CGFloat norm = 0;
    for (int i = 0; i < 4; ++i) {
        r.rotation[i] = wa * qa[i] + wb * qb[i];
        norm += r.rotation[i] * r.rotation[i];
    }
    norm = std::sqrt(norm);
    if (norm > 0) {
        for (CGFloat& v : r.rotation) v /= norm;
    }
    return r.recompose();
}

}  // namespace platform
