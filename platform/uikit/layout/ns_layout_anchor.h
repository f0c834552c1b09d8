#pragma once

#include <memory>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/layout/ns_layout_constraint.h"

namespace platform {

class UIView;

// One edge, centre or dimension of a view, or of the part of it inside its safe area (see
// UILayoutGuide), from which constraints are made. Anchors are values; the constraints they make are
// inactive until activated. Only anchors of the same kind can be tied.
class NSLayoutAnchor {
public:
    NSLayoutAnchor(UIView* view, NSLayoutAttribute attribute, bool safeArea = false)
        : view_(view), attribute_(attribute), safeArea_(safeArea) {}

    UIView* view() const { return view_; }
    NSLayoutAttribute attribute() const { return attribute_; }

protected:
    std::shared_ptr<NSLayoutConstraint> make(const NSLayoutAnchor* other, CGFloat multiplier,
                                             CGFloat constant) const;

    UIView* view_;
    NSLayoutAttribute attribute_;
    bool safeArea_;
};

class NSLayoutXAxisAnchor : public NSLayoutAnchor {
public:
    using NSLayoutAnchor::NSLayoutAnchor;
    std::shared_ptr<NSLayoutConstraint> constraintEqualToAnchor(const NSLayoutXAxisAnchor& anchor,
                                                                CGFloat constant = 0) const;
};

class NSLayoutYAxisAnchor : public NSLayoutAnchor {
public:
    using NSLayoutAnchor::NSLayoutAnchor;
    std::shared_ptr<NSLayoutConstraint> constraintEqualToAnchor(const NSLayoutYAxisAnchor& anchor,
                                                                CGFloat constant = 0) const;
};

class NSLayoutDimension : public NSLayoutAnchor {
public:
    using NSLayoutAnchor::NSLayoutAnchor;
    std::shared_ptr<NSLayoutConstraint> constraintEqualToConstant(CGFloat constant) const;
    std::shared_ptr<NSLayoutConstraint> constraintEqualToAnchor(const NSLayoutDimension& anchor,
                                                                CGFloat constant = 0) const;
    std::shared_ptr<NSLayoutConstraint> constraintEqualToAnchorMultiplier(const NSLayoutDimension& anchor,
                                                                          CGFloat multiplier,
                                                                          CGFloat constant = 0) const;
};

}  // namespace platform
