#include "platform/uikit/controls/ui_switch.h"

#include <algorithm>
#include <cmath>

#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"
#include "platform/uikit/touches/ui_touch.h"

namespace platform {

namespace {

std::shared_ptr<UIColor> offTrackColor() {
    return UIColor::colorWithRed(0.914, 0.914, 0.922, 1);
}

}  // namespace

UISwitch::UISwitch(const CGRect& frame)
    : UIControl(CGRect(frame.isNull() ? CGPoint{} : frame.origin, kSize)),
      onTint_(UIColor::colorWithRed(0.204, 0.78, 0.349, 1)) {
    setOpaque(false);
    track_ = std::make_shared<UIView>(CGRect({0, 0}, kSize));
    track_->setUserInteractionEnabled(false);
    track_->layer()->setCornerRadius(kSize.height / 2);
    thumb_ = std::make_shared<ControlThumb>(kSize.height - 4);
    addSubview(track_);
    addSubview(thumb_);
    showThumbAt(kOffX);
}

void UISwitch::setFrame(const CGRect& frame) {
    if (frame.isNull()) return;
    UIControl::setFrame(CGRect(frame.origin, kSize));
}

void UISwitch::setOn(bool on, bool animated) {
    on_ = on;
    const auto place = [this] { showThumbAt(on_ ? kOnX : kOffX); };
    if (animated) {
        UIView::animateWithDuration(0.25, place);
    } else {
        UIView::performWithoutAnimation(place);
    }
}

void UISwitch::showThumbAt(CGFloat x) {
    thumb_->setFrame(CGRect(x, 2, kSize.height - 4, kSize.height - 4));
    track_->setBackgroundColor(x > (kOffX + kOnX) / 2 ? onTint_ : offTrackColor());
}

bool UISwitch::beginTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)event;
    touchStartX_ = touch.locationInView(this).x;
    dragging_ = false;
    return true;
}

bool UISwitch::continueTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)event;
    const CGFloat moved = touch.locationInView(this).x - touchStartX_;
    dragging_ = dragging_ || std::abs(moved) > UITapGestureRecognizer::kAllowableMovement;
    if (dragging_) showThumbAt(std::clamp((on_ ? kOnX : kOffX) + moved, kOffX, kOnX));
    return true;
}

void UISwitch::endTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)touch;
    (void)event;
    const bool on =
        dragging_ ? thumb_->frame().origin.x > (kOffX + kOnX) / 2 : (isTouchInside() ? !on_ : on_);
    const bool changed = on != on_;
    setOn(on, true);
    if (changed) sendActionsForControlEvents(UIControlEventValueChanged);
}

void UISwitch::cancelTrackingWithEvent(const UIEvent* event) {
    (void)event;
    setOn(on_, true);
}

bool UISwitch::takesPrecedenceOverGestureRecognizer(const UIGestureRecognizer& recognizer) const {
    return UIControl::takesPrecedenceOverGestureRecognizer(recognizer) ||
           (isEnabled() && isSidewaysPan(recognizer));
}

}  // namespace platform
