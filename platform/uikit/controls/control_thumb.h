#pragma once

#include "platform/uikit/views/ui_view.h"

namespace platform {

// The round knob that switches and sliders are dragged by: a disc in the thumb colour (white unless
// set) with a soft shadow below it. It takes no touches itself; its control does.
class ControlThumb : public UIView {
public:
    explicit ControlThumb(CGFloat diameter);

    void setThumbTintColor(const std::shared_ptr<UIColor>& color);
    void setFrame(const CGRect& frame) override;
};

}  // namespace platform
