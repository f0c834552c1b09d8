#include "platform/uikit/controls/ui_control.h"

#include <algorithm>
#include <cmath>

#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"
#include "platform/uikit/touches/ui_touch.h"

namespace platform {

void UIControl::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    stateDidChange();
}

void UIControl::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    stateDidChange();
}

void UIControl::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    stateDidChange();
}

unsigned UIControl::state() const {
    unsigned s = UIControlStateNormal;
    if (highlighted_) s |= UIControlStateHighlighted;
    if (!enabled_) s |= UIControlStateDisabled;
    if (selected_) s |= UIControlStateSelected;
    return s;
}

void UIControl::setContentHorizontalAlignment(UIControlContentHorizontalAlignment a) {
    horizontal_ = a;
    setNeedsLayout();
}

bool UIControl::beginTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)touch;
    (void)event;
    return true;
}

bool UIControl::continueTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)touch;
    (void)event;
    return true;
}

void UIControl::endTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)touch;
    (void)event;
}

void UIControl::cancelTrackingWithEvent(const UIEvent* event) {
    (void)event;
}

std::shared_ptr<UITouch> UIControl::trackedIn(const UITouchSet& touches) const {
    auto tracked = touch_.lock();
    return tracked && std::ranges::find(touches, tracked) != touches.end() ? tracked : nullptr;
}

bool UIControl::isInside(const UITouch& touch) const {
    return bounds().insetBy(-kTouchSlop, -kTouchSlop).contains(touch.locationInView(this));
}

void UIControl::stopTracking() {
    touch_.reset();
    tracking_ = false;
    setHighlighted(false);
}

void UIControl::touchesBegan(const UITouchSet& touches, const UIEvent* event) {
    if (!enabled_) return UIView::touchesBegan(touches, event);
    if (!touch_.expired() || touches.empty()) return;
    auto keep = weak_from_this().lock();
    UITouch& touch = *touches.front();
    touch_ = touches.front();
    touchInside_ = true;
    setHighlighted(true);
    tracking_ = beginTrackingWithTouch(touch, event);
    sendActionsForControlEvents(UIControlEventTouchDown |
                                (touch.tapCount() > 1 ? unsigned(UIControlEventTouchDownRepeat) : 0u));
}

void UIControl::touchesMoved(const UITouchSet& touches, const UIEvent* event) {
    auto touch = trackedIn(touches);
    if (!touch) return UIView::touchesMoved(touches, event);
    auto keep = weak_from_this().lock();
    const bool inside = isInside(*touch);
    unsigned events = inside ? UIControlEventTouchDragInside : UIControlEventTouchDragOutside;
    if (inside != touchInside_) events |= inside ? UIControlEventTouchDragEnter : UIControlEventTouchDragExit;
    touchInside_ = inside;
    setHighlighted(inside);
    if (tracking_) tracking_ = continueTrackingWithTouch(*touch, event);
    sendActionsForControlEvents(events);
}

void UIControl::touchesEnded(const UITouchSet& touches, const UIEvent* event) {
    auto touch = trackedIn(touches);
    if (!touch) return UIView::touchesEnded(touches, event);
    auto keep = weak_from_this().lock();
    touchInside_ = isInside(*touch);
    const bool wasTracking = tracking_;
    stopTracking();
    if (wasTracking) endTrackingWithTouch(*touch, event);
    sendActionsForControlEvents(touchInside_ ? UIControlEventTouchUpInside : UIControlEventTouchUpOutside);
}

void UIControl::touchesCancelled(const UITouchSet& touches, const UIEvent* event) {
    auto touch = trackedIn(touches);
    if (!touch) return UIView::touchesCancelled(touches, event);
    auto keep = weak_from_this().lock();
    const bool wasTracking = tracking_;
    stopTracking();
    if (wasTracking) cancelTrackingWithEvent(event);
    sendActionsForControlEvents(UIControlEventTouchCancel);
}

bool UIControl::takesPrecedenceOverGestureRecognizer(const UIGestureRecognizer& recognizer) const {
    auto* tap = dynamic_cast<const UITapGestureRecognizer*>(&recognizer);
    return enabled_ && tap && tap->numberOfTapsRequired() == 1 && tap->numberOfTouchesRequired() == 1;
}

void UIControl::dimPartsWhenDisabled() {
    for (const auto& part : subviews()) part->setAlpha(enabled_ ? 1 : 0.5);
}

bool UIControl::isSidewaysPan(const UIGestureRecognizer& recognizer) {
    auto* pan = dynamic_cast<const UIPanGestureRecognizer*>(&recognizer);
    if (!pan || pan->numberOfTouches() != 1) return false;
    const CGPoint moved = pan->translationInView(nullptr);
    return std::abs(moved.x) >= std::abs(moved.y);
}

}  // namespace platform
