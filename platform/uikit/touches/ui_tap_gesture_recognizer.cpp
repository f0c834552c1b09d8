#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"

#include <algorithm>
#include <cmath>

#include "platform/dispatch/dispatch_queue.h"

namespace platform {

namespace {

CGFloat distance(CGPoint a, CGPoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool lifted(const UITouch& touch) {
    return touch.phase() == UITouchPhase::ended || touch.phase() == UITouchPhase::cancelled;
}

}  // namespace

void UITapGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    (void)event;
    ++wait_;
    for (const auto& touch : touches) {
        const CGPoint at = touch->locationInView(nullptr);
        starts_.emplace_back(touch.get(), at);
        if (taps_ == 0 && starts_.size() == 1) firstTap_ = at;
        if (taps_ > 0 && distance(at, firstTap_) > UITouch::kMultipleTapDistance) {
            return setState(UIGestureRecognizerState::failed);
        }
    }
    mostFingers_ = std::max(mostFingers_, numberOfTouches());
    if (numberOfTouches() > touchesRequired_) setState(UIGestureRecognizerState::failed);
}

void UITapGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent& event) {
    (void)event;
    for (const auto& touch : touches) {
        auto start = std::ranges::find_if(starts_, [&](const auto& s) { return s.first == touch.get(); });
        if (start != starts_.end() &&
            distance(touch->locationInView(nullptr), start->second) > kAllowableMovement) {
            return setState(UIGestureRecognizerState::failed);
        }
    }
}

void UITapGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    touchesMoved(touches, event);
    if (state() != UIGestureRecognizerState::possible) return;
    // A tap is over when all its fingers have lifted.
    if (!std::ranges::all_of(this->touches(), [](const auto& t) { return lifted(*t); })) return;
    if (mostFingers_ != touchesRequired_) return setState(UIGestureRecognizerState::failed);
    starts_.clear();
    mostFingers_ = 0;
    if (++taps_ == tapsRequired_) return setState(UIGestureRecognizerStateRecognized);
    waitForNextTap();
}

void UITapGestureRecognizer::touchesCancelled(const UITouchSet& touches, const UIEvent& event) {
    (void)touches;
    (void)event;
    setState(UIGestureRecognizerState::failed);
}

void UITapGestureRecognizer::waitForNextTap() {
    const unsigned wait = ++wait_;
    DispatchQueue::main()->asyncAfter(UITouch::kMultipleTapInterval, [weak = weak_from_this(), wait] {
        auto self = std::static_pointer_cast<UITapGestureRecognizer>(weak.lock());
        if (self && self->wait_ == wait && self->state() == UIGestureRecognizerState::possible) {
            self->setState(UIGestureRecognizerState::failed);
        }
    });
}

void UITapGestureRecognizer::reset() {
    taps_ = 0;
    mostFingers_ = 0;
    starts_.clear();
    ++wait_;
}

}  // namespace platform
