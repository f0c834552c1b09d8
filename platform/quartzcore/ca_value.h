#pragma once

#include <string>
#include <utility>
#include <variant>

#include "platform/coregraphics/cg_color.h"
#include "platform/coregraphics/cg_geometry.h"
#include "platform/quartzcore/ca_transform_3d.h"

namespace platform {

// The value of an animatable layer property: a number, point, size, rectangle, 3-D transform or colour
// (a null colour is "no colour"). Animations carry their from/to/key-frame values as these.
class CAValue {
public:
    using Storage = std::variant<std::monostate, double, CGPoint, CGSize, CGRect, CATransform3D, CGColorRef>;

    CAValue() = default;
    CAValue(double v) : storage_(v) {}
    CAValue(float v) : storage_(static_cast<double>(v)) {}
    CAValue(int v) : storage_(static_cast<double>(v)) {}
    CAValue(CGPoint v) : storage_(v) {}
    CAValue(CGSize v) : storage_(v) {}
    CAValue(CGRect v) : storage_(v) {}
    CAValue(const CATransform3D& v) : storage_(v) {}
    CAValue(CGColorRef v) : storage_(std::move(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(storage_); }
    template <typename T>
    bool is() const {
        return std::holds_alternative<T>(storage_);
    }
    // The held value, or a default one when the value holds another type.
    double toDouble() const;
    CGPoint toPoint() const;
    CGSize toSize() const;
    CGRect toRect() const;
    CATransform3D toTransform() const;
    CGColorRef toColor() const;
    const Storage& storage() const { return storage_; }

    // A part named by the rest of a key path: "x"/"y" of a point, "width"/"height" of a size,
    // "origin"/"size" (and their parts) of a rectangle; of a transform "scale", "scale.x|y|z",
    // "rotation" (= "rotation.z"), "rotation.x|y|z", "translation" (a size), "translation.x|y|z".
    // An empty path is the value itself; an unknown part is a null value.
    CAValue component(const std::string& path) const;
    // The value with that part replaced. Setting a transform part keeps the other parts: "scale" sets the
    // scale and keeps rotation and translation, "rotation.z" replaces the rotation, and so on.
    CAValue withComponent(const std::string& path, const CAValue& part) const;

    // Straight-line interpolation (t outside 0…1 extrapolates); transforms interpolate as
    // CATransform3D::interpolate does and colours component by component (null as clear). Values of
    // different types switch from `from` to `to` halfway.
    static CAValue interpolate(const CAValue& from, const CAValue& to, double t);
    // from + by for numbers, points, sizes and rectangles (others give `from`).
    static CAValue add(const CAValue& from, const CAValue& by, double sign = 1);

    bool operator==(const CAValue& other) const;

private:
    Storage storage_;
};

// The first part of a key path and the rest: "position.y" → {"position", "y"}, "opacity" → {"opacity", ""}.
std::pair<std::string, std::string> splitKeyPath(const std::string& keyPath);

}  // namespace platform
