#pragma once

#include <functional>

#include "platform/uikit/ui_view.h"

namespace platform {

// A plain view whose owner lays out its subviews: a container controller's view, which must keep its
// layout however a subclass of the controller overrides the layout callbacks.
class ContainerView : public UIView {
public:
    using Layout = std::function<void(ContainerView&)>;

    ContainerView(const CGRect& frame, Layout layout) : UIView(frame), layout_(std::move(layout)) {}

    void layoutSubviews() override {
        if (layout_) layout_(*this);
    }

private:
    Layout layout_;
};

}  // namespace platform
