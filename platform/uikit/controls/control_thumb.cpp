#include "platform/uikit/controls/control_thumb.h"

#include <algorithm>

namespace platform {

ControlThumb::ControlThumb(CGFloat diameter) : UIView(CGRect(0, 0, diameter, diameter)) {
    setUserInteractionEnabled(false);
    setOpaque(false);
    setThumbTintColor(nullptr);
    const auto& l = layer();
    l->setCornerRadius(diameter / 2);
    l->setBorderWidth(0.5);
    l->setBorderColor(UIColor::colorWithWhite(0, 0.04));
    l->setShadowColor(UIColor::blackColor());
    l->setShadowOpacity(0.2f);
    l->setShadowRadius(2.5);
    l->setShadowOffset({0, 2});
}

void ControlThumb::setThumbTintColor(const std::shared_ptr<UIColor>& color) {
    setBackgroundColor(color ? color : UIColor::whiteColor());
}

void ControlThumb::setFrame(const CGRect& frame) {
    UIView::setFrame(frame);
    layer()->setCornerRadius(std::min(frame.size.width, frame.size.height) / 2);
}

}  // namespace platform
