#include "platform/uikit/touches/ui_gesture_recognizer.h"

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/touches/gesture_arbiter.h"

namespace platform {

UIGestureRecognizer::UIGestureRecognizer(Action action) {
    targets_.add(nullptr, std::move(action));
}

std::shared_ptr<UIView> UIGestureRecognizer::view() const {
    return view_ ? view_->weak_from_this().lock() : nullptr;
}

void UIGestureRecognizer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!enabled) GestureArbiter::shared().withdraw(*this, true);
}

void UIGestureRecognizer::requireGestureRecognizerToFail(const std::shared_ptr<UIGestureRecognizer>& other) {
    if (other && other.get() != this) mustFail_.push_back(other);
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state) {
    GestureArbiter::shared().transition(*this, state);
}

bool UIGestureRecognizer::takesTouches() const {
    return enabled_ && !pending_ &&
           (state_ == UIGestureRecognizerState::possible || state_ == UIGestureRecognizerState::began ||
            state_ == UIGestureRecognizerState::changed);
}

CGPoint UIGestureRecognizer::centroidInWindow() const {
    if (touches_.empty()) return lastLocation_;
    CGPoint sum;
    for (const auto& touch : touches_) {
        const CGPoint p = touch->locationInView(nullptr);
        sum.x += p.x;
        sum.y += p.y;
    }
    return {sum.x / CGFloat(touches_.size()), sum.y / CGFloat(touches_.size())};
}

CGPoint UIGestureRecognizer::pointInView(CGPoint windowPoint, const UIView* view) const {
    auto window = view_ ? view_->window() : nullptr;
    if (!view || !window || view == window.get()) return windowPoint;
    return view->convertPointFromView(windowPoint, window.get());
}

CGPoint UIGestureRecognizer::pointInWindow(CGPoint viewPoint, const UIView* view) const {
    auto window = view_ ? view_->window() : nullptr;
    if (!view || !window || view == window.get()) return viewPoint;
    return view->convertPointToView(viewPoint, window.get());
}

CGPoint UIGestureRecognizer::locationInView(const UIView* view) const {
    return pointInView(centroidInWindow(), view);
}

void UIGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    (void)touches;
    (void)event;
}

void UIGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent& event) {
    (void)touches;
    (void)event;
}

void UIGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    (void)touches;
    (void)event;
}

void UIGestureRecognizer::touchesCancelled(const UITouchSet& touches, const UIEvent& event) {
    (void)touches;
    (void)event;
    // The system took the touches: a gesture in progress is cancelled, one still possible fails.
    setState(state_ == UIGestureRecognizerState::possible ? UIGestureRecognizerState::failed
                                                          : UIGestureRecognizerState::cancelled);
}

}  // namespace platform
