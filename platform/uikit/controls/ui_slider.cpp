#include "platform/uikit/controls/ui_slider.h"

#include <algorithm>
#include <cmath>

#include "platform/uikit/touches/ui_touch.h"

namespace platform {

UISlider::UISlider(const CGRect& frame)
    : UIControl(frame), maximumTint_(UIColor::colorWithRed(0.89, 0.89, 0.91, 1)) {
    setOpaque(false);
    for (auto* track : {&minimumTrack_, &maximumTrack_}) {
        *track = std::make_shared<UIView>();
        (*track)->setUserInteractionEnabled(false);
        (*track)->layer()->setCornerRadius(kTrackHeight / 2);
        addSubview(*track);
    }
    thumb_ = std::make_shared<ControlThumb>(kThumbDiameter);
    addSubview(thumb_);
    layoutSubviews();
}

void UISlider::setValue(float value, bool animated) {
    if (std::isnan(value)) return;
    value_ = std::clamp(value, minimum_, std::max(minimum_, maximum_));
    if (animated) {
        UIView::animateWithDuration(0.2, [this] { layoutSubviews(); });
    } else {
        UIView::performWithoutAnimation([this] { layoutSubviews(); });
    }
}

void UISlider::setMinimumValue(float value) {
    minimum_ = value;
    maximum_ = std::max(maximum_, value);
    setValue(value_);
}

void UISlider::setMaximumValue(float value) {
    maximum_ = value;
    minimum_ = std::min(minimum_, value);
    setValue(value_);
}

std::shared_ptr<UIColor> UISlider::minimumTrackTintColor() const {
    return minimumTint_ ? minimumTint_ : tintColor();
}

CGRect UISlider::trackRectForBounds(const CGRect& bounds) const {
    return CGRect(bounds.minX(), bounds.midY() - kTrackHeight / 2, bounds.size.width, kTrackHeight);
}

CGRect UISlider::thumbRectForBounds(const CGRect& bounds, const CGRect& trackRect, float value) const {
    const float share =
        maximum_ > minimum_ ? std::clamp((value - minimum_) / (maximum_ - minimum_), 0.f, 1.f) : 0;
    const CGFloat travel = std::max<CGFloat>(0, trackRect.size.width - kThumbDiameter);
    return CGRect(trackRect.minX() + travel * share, bounds.midY() - kThumbDiameter / 2, kThumbDiameter,
                  kThumbDiameter);
}

void UISlider::layoutSubviews() {
    const CGRect track = trackRectForBounds(bounds());
    const CGRect thumb = thumbRectForBounds(bounds(), track, value_);
    minimumTrack_->setFrame(
        CGRect(track.minX(), track.minY(), thumb.midX() - track.minX(), track.size.height));
    maximumTrack_->setFrame(
        CGRect(thumb.midX(), track.minY(), track.maxX() - thumb.midX(), track.size.height));
    minimumTrack_->setBackgroundColor(minimumTrackTintColor());
    maximumTrack_->setBackgroundColor(maximumTint_);
    thumb_->setFrame(thumb);
}

bool UISlider::beginTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)event;
    const CGPoint at = touch.locationInView(this);
    const CGRect thumb = thumbRectForBounds(bounds(), trackRectForBounds(bounds()), value_);
    if (!thumb.insetBy(-kThumbReach, -kThumbReach).contains(at)) return false;
    grabOffset_ = at.x - thumb.midX();
    valueAtGrab_ = value_;
    return true;
}

bool UISlider::continueTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)event;
    const CGRect track = trackRectForBounds(bounds());
    const CGFloat travel = track.size.width - kThumbDiameter;
    if (travel <= 0) return true;
    const CGFloat centre = touch.locationInView(this).x - grabOffset_;
    const auto share = float((centre - track.minX() - kThumbDiameter / 2) / travel);
    const float before = value_;
    setValue(minimum_ + std::clamp(share, 0.f, 1.f) * (maximum_ - minimum_));
    if (continuous_ && value_ != before) sendActionsForControlEvents(UIControlEventValueChanged);
    return true;
}

void UISlider::endTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)touch;
    (void)event;
    if (!continuous_ && value_ != valueAtGrab_) sendActionsForControlEvents(UIControlEventValueChanged);
}

bool UISlider::takesPrecedenceOverGestureRecognizer(const UIGestureRecognizer& recognizer) const {
    return UIControl::takesPrecedenceOverGestureRecognizer(recognizer) ||
           (isTracking() && isSidewaysPan(recognizer));
}

}  // namespace platform
