#include "platform/quartzcore/ca_value.h"

#include <cmath>
#include <numbers>

namespace platform {

std::pair<std::string, std::string> splitKeyPath(const std::string& keyPath) {
    const auto dot = keyPath.find('.');
    if (dot == std::string::npos) return {keyPath, ""};
    return {keyPath.substr(0, dot), keyPath.substr(dot + 1)};
}

namespace {

int axisIndex(const std::string& name) {
    if (name == "x") return 0;
    if (name == "y") return 1;
    if (name == "z") return 2;
    return -1;
}

double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

// The angle of the parts' rotation about one axis; exact when the rotation is about that axis.
double rotationAbout(const CATransform3DParts& parts, int axis) {
    double angle = 2 * std::atan2(parts.rotation[axis], parts.rotation[3]);
    if (angle > std::numbers::pi) angle -= 2 * std::numbers::pi;
    if (angle <= -std::numbers::pi) angle += 2 * std::numbers::pi;
    return angle;
}

CAValue transformComponent(const CATransform3D& t, const std::string& path) {
    const auto parts = CATransform3DParts::decompose(t);
    if (!parts) return {};
    const auto [head, tail] = splitKeyPath(path);
    const int axis = axisIndex(tail);
    if (head == "scale") {
        if (tail.empty())
            return (parts->scaleShear[0][0] + parts->scaleShear[1][1] + parts->scaleShear[2][2]) / 3;
        if (axis >= 0) return parts->scaleShear[axis][axis];
    } else if (head == "rotation") {
        if (tail.empty()) return rotationAbout(*parts, 2);
        if (axis >= 0) return rotationAbout(*parts, axis);
    } else if (head == "translation") {
        if (tail.empty()) return CGSize{parts->translation[0], parts->translation[1]};
        if (axis >= 0) return parts->translation[axis];
    }
    return {};
}

// The transform of one part alone, used when the model cannot be taken apart.
CATransform3D elementary(const std::string& head, int axis, const CAValue& part) {
    const double v = part.toDouble();
    if (head == "scale") {
        if (axis < 0) return CATransform3D::makeScale(v, v, v);
        double s[3] = {1, 1, 1};
        s[axis] = v;
        return CATransform3D::makeScale(s[0], s[1], s[2]);
    }
    if (head == "rotation") {
        double a[3] = {0, 0, 0};
        a[axis < 0 ? 2 : axis] = 1;
        return CATransform3D::makeRotation(v, a[0], a[1], a[2]);
    }
    if (axis < 0) {
        const CGSize size = part.toSize();
        return CATransform3D::makeTranslation(size.width, size.height, 0);
    }
    double d[3] = {0, 0, 0};
    d[axis] = v;
    return CATransform3D::makeTranslation(d[0], d[1], d[2]);
}

CAValue transformWithComponent(const CATransform3D& t, const std::string& path, const CAValue& part) {
    const auto [head, tail] = splitKeyPath(path);
    const int axis = axisIndex(tail);
    const bool known =
        (head == "scale" || head == "rotation" || head == "translation") && (tail.empty() || axis >= 0);
    if (!known) return t;
    auto parts = CATransform3DParts::decompose(t);
    if (!parts) return elementary(head, axis, part).concat(t);
    if (head == "scale") {
        const double v = part.toDouble();
        for (int i = 0; i < 3; ++i) {
            if (axis < 0 || axis == i) parts->scaleShear[i][i] = v;
        }
    } else if (head == "rotation") {
        const int a = axis < 0 ? 2 : axis;
        const double angle = part.toDouble();
        for (double& q : parts->rotation) q = 0;
        parts->rotation[a] = std::sin(angle / 2);
        parts->rotation[3] = std::cos(angle / 2);
    } else if (axis < 0) {
        const CGSize size = part.toSize();
        parts->translation[0] = size.width;
        parts->translation[1] = size.height;
    } else {
        parts->translation[axis] = part.toDouble();
    }
    return parts->recompose();
}

CGColorRef interpolateColor(const CGColorRef& from, const CGColorRef& to, double t) {
    if (!from && !to) return nullptr;
    static const CGColorRef clear = CGColorCreateGenericGray(0, 0);
    const CGColorRef a = from ? from : clear;
    const CGColorRef b = to ? to : clear;
    if (a->colorSpace() == CGColor::ColorSpace::white && b->colorSpace() == CGColor::ColorSpace::white) {
        return CGColorCreateGenericGray(lerp(a->components()[0], b->components()[0], t),
                                        lerp(a->components()[1], b->components()[1], t));
    }
    double ca[4], cb[4];
    // A pattern has no components to blend: it switches halfway, like values of different kinds.
    if (!a->getRed(&ca[0], &ca[1], &ca[2], &ca[3]) || !b->getRed(&cb[0], &cb[1], &cb[2], &cb[3])) {
        return t < 0.5 ? a : b;
    }
    return CGColorCreateGenericRGB(lerp(ca[0], cb[0], t), lerp(ca[1], cb[1], t), lerp(ca[2], cb[2], t),
                                   lerp(ca[3], cb[3], t));
}

}  // namespace

double CAValue::toDouble() const {
    const double* v = std::get_if<double>(&storage_);
    return v ? *v : 0.0;
}
CGPoint CAValue::toPoint() const {
    const CGPoint* v = std::get_if<CGPoint>(&storage_);
    return v ? *v : CGPoint{};
}
CGSize CAValue::toSize() const {
    const CGSize* v = std::get_if<CGSize>(&storage_);
    return v ? *v : CGSize{};
}
CGRect CAValue::toRect() const {
    const CGRect* v = std::get_if<CGRect>(&storage_);
    return v ? *v : CGRect{};
}
CATransform3D CAValue::toTransform() const {
    const CATransform3D* v = std::get_if<CATransform3D>(&storage_);
    return v ? *v : CATransform3D::identity();
}
CGColorRef CAValue::toColor() const {
    const CGColorRef* v = std::get_if<CGColorRef>(&storage_);
    return v ? *v : nullptr;
}

CAValue CAValue::component(const std::string& path) const {
    if (path.empty()) return *this;
    if (const auto* t = std::get_if<CATransform3D>(&storage_)) return transformComponent(*t, path);
    const auto [head, tail] = splitKeyPath(path);
    CAValue part;
    if (const auto* p = std::get_if<CGPoint>(&storage_)) {
        if (head == "x") part = p->x;
        if (head == "y") part = p->y;
    } else if (const auto* s = std::get_if<CGSize>(&storage_)) {
        if (head == "width") part = s->width;
        if (head == "height") part = s->height;
    } else if (const auto* r = std::get_if<CGRect>(&storage_)) {
        if (head == "origin") part = r->origin;
        if (head == "size") part = r->size;
    }
    return part.isNull() ? part : part.component(tail);
}

CAValue CAValue::withComponent(const std::string& path, const CAValue& part) const {
    if (path.empty()) return part;
    if (const auto* t = std::get_if<CATransform3D>(&storage_)) return transformWithComponent(*t, path, part);
    const auto [head, tail] = splitKeyPath(path);
    if (auto* p = std::get_if<CGPoint>(&storage_)) {
        CGPoint v = *p;
        if (head == "x") v.x = part.toDouble();
        if (head == "y") v.y = part.toDouble();
        return v;
    }
    if (auto* s = std::get_if<CGSize>(&storage_)) {
        CGSize v = *s;
        if (head == "width") v.width = part.toDouble();
        if (head == "height") v.height = part.toDouble();
        return v;
    }
    if (auto* r = std::get_if<CGRect>(&storage_)) {
        CGRect v = *r;
        if (head == "origin") v.origin = CAValue(v.origin).withComponent(tail, part).toPoint();
        if (head == "size") v.size = CAValue(v.size).withComponent(tail, part).toSize();
        return v;
    }
    return *this;
}

CAValue CAValue::interpolate(const CAValue& from, const CAValue& to, double t) {
    if (from.storage_.index() != to.storage_.index()) {
        const bool colors = (from.is<CGColorRef>() || from.isNull()) && (to.is<CGColorRef>() || to.isNull());
        if (colors) return interpolateColor(from.toColor(), to.toColor(), t);
        return t < 0.5 ? from : to;
    }
    return std::visit(
        [&](const auto& a) -> CAValue {
            using T = std::decay_t<decltype(a)>;
            const T& b = std::get<T>(to.storage_);
            if constexpr (std::is_same_v<T, double>) {
                return lerp(a, b, t);
            } else if constexpr (std::is_same_v<T, CGPoint>) {
                return CGPoint{lerp(a.x, b.x, t), lerp(a.y, b.y, t)};
            } else if constexpr (std::is_same_v<T, CGSize>) {
                return CGSize{lerp(a.width, b.width, t), lerp(a.height, b.height, t)};
            } else if constexpr (std::is_same_v<T, CGRect>) {
                return CGRect{lerp(a.origin.x, b.origin.x, t), lerp(a.origin.y, b.origin.y, t),
                              lerp(a.size.width, b.size.width, t), lerp(a.size.height, b.size.height, t)};
            } else if constexpr (std::is_same_v<T, CATransform3D>) {
                return CATransform3D::interpolate(a, b, t);
            } else if constexpr (std::is_same_v<T, CGColorRef>) {
                return interpolateColor(a, b, t);
            } else {
                return CAValue();
            }
        },
        from.storage_);
}

CAValue CAValue::add(const CAValue& from, const CAValue& by, double sign) {
    if (from.storage_.index() != by.storage_.index()) return from;
    if (from.is<double>()) return from.toDouble() + sign * by.toDouble();
    if (from.is<CGPoint>()) {
        return CGPoint{from.toPoint().x + sign * by.toPoint().x, from.toPoint().y + sign * by.toPoint().y};
    }
    if (from.is<CGSize>()) {
        return CGSize{from.toSize().width + sign * by.toSize().width,
                      from.toSize().height + sign * by.toSize().height};
    }
    if (from.is<CGRect>()) {
        const CGRect a = from.toRect(), b = by.toRect();
        return CGRect{a.origin.x + sign * b.origin.x, a.origin.y + sign * b.origin.y,
                      a.size.width + sign * b.size.width, a.size.height + sign * b.size.height};
    }
    return from;
}

bool CAValue::operator==(const CAValue& other) const {
    if (storage_.index() != other.storage_.index()) return false;
    if (is<CGColorRef>()) {
        const CGColorRef a = toColor(), b = other.toColor();
        return a == b || (a && b && *a == *b);
    }
    if (is<CGRect>()) {  // field by field: CGRect's own equality standardises
        const CGRect a = toRect(), b = other.toRect();
        return a.origin == b.origin && a.size == b.size;
    }
    return storage_ == other.storage_;
}

}  // namespace platform
