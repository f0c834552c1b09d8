#pragma once

#include "platform/uikit/layout/ns_layout_anchor.h"

namespace platform {

// The part of a view inside its safe area, as anchors for constraints: content tied to them keeps
// clear of a bar over the view and of the sensor housing. The safe area is read each time the
// constraints are solved. Ties to it hold where the view is the one whose subviews are placed (or
// placed already); a view being placed in the same pass is tied by its plain edges.
class UILayoutGuide {
public:
    explicit UILayoutGuide(UIView* owningView) : view_(owningView) {}

    NSLayoutYAxisAnchor topAnchor() const { return {view_, NSLayoutAttribute::top, true}; }
    NSLayoutYAxisAnchor bottomAnchor() const { return {view_, NSLayoutAttribute::bottom, true}; }
    NSLayoutXAxisAnchor leadingAnchor() const { return {view_, NSLayoutAttribute::leading, true}; }
    NSLayoutXAxisAnchor trailingAnchor() const { return {view_, NSLayoutAttribute::trailing, true}; }

private:
    UIView* view_;
};

}  // namespace platform
