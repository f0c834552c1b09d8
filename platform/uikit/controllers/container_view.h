#pragma once

#include <algorithm>
#include <functional>

#include "platform/uikit/views/ui_view.h"

namespace platform {

// A plain view whose owner lays out its subviews: a container controller's view, which must keep its
// layout however a subclass of the controller overrides the layout callbacks. The owner may also say
// what its own bars cover of the view, so the views inside keep clear of them through the safe area.
class ContainerView : public UIView {
public:
    using Layout = std::function<void(ContainerView&)>;
    // Given the safe area the view has from its superview, the insets the owner's bars cover.
    using Cover = std::function<UIEdgeInsets(const ContainerView&, const UIEdgeInsets&)>;

    ContainerView(const CGRect& frame, Layout layout, Cover cover = {})
        : UIView(frame), layout_(std::move(layout)), cover_(std::move(cover)) {}

    void layoutSubviews() override {
        if (layout_) layout_(*this);
    }

    UIEdgeInsets safeAreaInsets() const override {
        UIEdgeInsets insets = UIView::safeAreaInsets();
        if (!cover_) return insets;
        const UIEdgeInsets bars = cover_(*this, insets);
        return {std::max(insets.top, bars.top), std::max(insets.left, bars.left),
                std::max(insets.bottom, bars.bottom), std::max(insets.right, bars.right)};
    }

private:
    Layout layout_;
    Cover cover_;
};

}  // namespace platform
