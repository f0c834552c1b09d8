#include "platform/uikit/layout/ns_layout_anchor.h"

namespace platform {

std::shared_ptr<NSLayoutConstraint> NSLayoutAnchor::make(const NSLayoutAnchor* other, CGFloat multiplier,
                                                         CGFloat constant) const {
    auto constraint = NSLayoutConstraint::constraintWithItem(
        view_, attribute_, NSLayoutRelation::equal, other ? other->view_ : nullptr,
        other ? other->attribute_ : NSLayoutAttribute::notAnAttribute, multiplier, constant);
    constraint->firstSafeArea_ = safeArea_;
    constraint->secondSafeArea_ = other && other->safeArea_;
    return constraint;
}

std::shared_ptr<NSLayoutConstraint> NSLayoutXAxisAnchor::constraintEqualToAnchor(
    const NSLayoutXAxisAnchor& anchor, CGFloat constant) const {
    return make(&anchor, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutYAxisAnchor::constraintEqualToAnchor(
    const NSLayoutYAxisAnchor& anchor, CGFloat constant) const {
    return make(&anchor, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutDimension::constraintEqualToConstant(CGFloat constant) const {
    return make(nullptr, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutDimension::constraintEqualToAnchor(
    const NSLayoutDimension& anchor, CGFloat constant) const {
    return make(&anchor, 1, constant);
}

std::shared_ptr<NSLayoutConstraint> NSLayoutDimension::constraintEqualToAnchorMultiplier(
    const NSLayoutDimension& anchor, CGFloat multiplier, CGFloat constant) const {
    return make(&anchor, multiplier, constant);
}

}  // namespace platform
