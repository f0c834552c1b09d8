#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"

#include <cmath>

namespace platform {

namespace {

using State = UIGestureRecognizerState;

bool lifted(const UITouch& touch) {
    return touch.phase() == UITouchPhase::ended || touch.phase() == UITouchPhase::cancelled;
}

CGPoint minus(CGPoint a, CGPoint b) {
    return {a.x - b.x, a.y - b.y};
}

CGPoint plus(CGPoint a, CGPoint b) {
    return {a.x + b.x, a.y + b.y};
}

}  // namespace

CGPoint UIPanGestureRecognizer::centreOfFingers(bool allLifting) const {
    CGPoint sum;
    size_t count = 0;
    for (const auto& touch : touches()) {
        if (lifted(*touch) && !allLifting) continue;
        const CGPoint p = touch->locationInView(nullptr);
        sum = plus(sum, p);
        ++count;
    }
    return count ? CGPoint{sum.x / CGFloat(count), sum.y / CGFloat(count)} : centre_;
}

void UIPanGestureRecognizer::refit(CGPoint centre) {
    const CGPoint shift = minus(centre, centre_);
    origin_ = plus(origin_, shift);
    for (auto& sample : samples_) sample.location = plus(sample.location, shift);
    centre_ = centre;
}

void UIPanGestureRecognizer::follow(CGPoint centre, double time) {
    lastEvent_ = time;
    if (centre == centre_ && !samples_.empty()) return;
    centre_ = centre;
    samples_.push_back({time, centre});
    // Keep one sample at or before the window's start, to measure from.
    while (samples_.size() > 2 && samples_[1].time <= time - kVelocityWindow) samples_.pop_front();
}

void UIPanGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    (void)touches;
    const CGPoint centre = centreOfFingers(false);
    if (!tracking_) {
        tracking_ = true;
        origin_ = centre_ = centre;
        samples_.clear();
        follow(centre, event.timestamp());
        return;
    }
    refit(centre);
}

void UIPanGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent& event) {
    (void)touches;
    follow(centreOfFingers(false), event.timestamp());
    const size_t fingers = numberOfTouches();
    if (state() == State::possible) {
        const CGPoint moved = minus(centre_, origin_);
        if (fingers >= minimumTouches_ && fingers <= maximumTouches_ &&
            std::hypot(moved.x, moved.y) >= kHysteresis) {
            setState(State::began);
        }
    } else {
        setState(State::changed);
    }
}

void UIPanGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    (void)touches;
    const size_t remaining =
        std::ranges::count_if(this->touches(), [](const auto& t) { return !lifted(*t); });
    if (remaining == 0) {
        follow(centreOfFingers(true), event.timestamp());
        setState(state() == State::possible ? State::failed : State::ended);
        return;
    }
    refit(centreOfFingers(false));
    lastEvent_ = event.timestamp();
    if (remaining < minimumTouches_ && state() != State::possible) setState(State::ended);
}

void UIPanGestureRecognizer::reset() {
    tracking_ = false;
    samples_.clear();
}

CGPoint UIPanGestureRecognizer::vectorInView(CGPoint vector, const UIView* view) const {
    return minus(pointInView(plus(centre_, vector), view), pointInView(centre_, view));
}

CGPoint UIPanGestureRecognizer::vectorInWindow(CGPoint vector, const UIView* view) const {
    const CGPoint anchor = pointInView(centre_, view);
    return minus(pointInWindow(plus(anchor, vector), view), pointInWindow(anchor, view));
}

CGPoint UIPanGestureRecognizer::translationInView(const UIView* view) const {
    return vectorInView(minus(centre_, origin_), view);
}

void UIPanGestureRecognizer::setTranslation(CGPoint translation, const UIView* view) {
    origin_ = minus(centre_, vectorInWindow(translation, view));
    samples_.clear();
    samples_.push_back({lastEvent_, centre_});
}

CGPoint UIPanGestureRecognizer::velocityInView(const UIView* view) const {
    if (samples_.size() < 2 || lastEvent_ - samples_.back().time > kVelocityWindow) return {};
    const Sample& first = samples_.front();
    const Sample& last = samples_.back();
    const double seconds = last.time - first.time;
    if (seconds <= 0) return {};
    const CGPoint moved = minus(last.location, first.location);
    return vectorInView({moved.x / seconds, moved.y / seconds}, view);
}

}  // namespace platform
