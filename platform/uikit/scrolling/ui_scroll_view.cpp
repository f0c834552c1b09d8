#include "platform/uikit/scrolling/ui_scroll_view.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/ns_run_loop.h"
#include "platform/quartzcore/ca_display_link.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/uikit/scrolling/ui_scroll_view_pan_gesture_recognizer.h"

namespace platform {

namespace {

constexpr int kX = 0;
constexpr int kY = 1;
// A release faster than this (points per second) turns a page; a slower one settles on the nearest.
constexpr CGFloat kPageTurnSpeed = 100;

CGFloat& along(CGPoint& p, int axis) {
    return axis == kX ? p.x : p.y;
}
CGFloat along(const CGPoint& p, int axis) {
    return axis == kX ? p.x : p.y;
}
CGFloat along(const CGSize& s, int axis) {
    return axis == kX ? s.width : s.height;
}

// Along one axis: the least move of a viewport (start, length) that shows [low, high], its start
// first when it does not fit.
CGFloat revealing(CGFloat start, CGFloat length, CGFloat low, CGFloat high) {
    if (high > start + length) start = high - length;
    if (low < start) start = low;
    return start;
}

}  // namespace

UIScrollView::UIScrollView() : UIScrollView(CGRect::zero()) {}

UIScrollView::UIScrollView(const CGRect& frame)
    : UIView(frame), pan_(std::make_shared<UIScrollViewPanGestureRecognizer>()) {
    setClipsToBounds(true);
    addGestureRecognizer(pan_);
}

UIScrollView::~UIScrollView() {
    if (displayLink_) displayLink_->invalidate();
    holdTrackingMode(false);
}

std::shared_ptr<UIPanGestureRecognizer> UIScrollView::panGestureRecognizer() const {
    return pan_;
}

// Offsets -----------------------------------------------------------------------------------------

void UIScrollView::setContentOffset(CGPoint offset) {
    if (motion_ == Motion::animating) {
        stopMotion();
    } else if (motion_ == Motion::decelerating) {
        const double elapsed = CACurrentMediaTime() - motionStart_;
        const CGPoint now = contentOffset();
        for (int axis : {kX, kY}) {
            axes_[axis] = axes_[axis].movedBy(elapsed, along(offset, axis) - along(now, axis));
        }
        motionStart_ = CACurrentMediaTime();
    }
    // A finger dragging the content drags it on from the new offset.
    if (dragging_ && std::isfinite(offset.x) && std::isfinite(offset.y)) {
        const CGPoint now = contentOffset();
        dragOrigin_ = {dragOrigin_.x + offset.x - now.x, dragOrigin_.y + offset.y - now.y};
    }
    applyContentOffset(offset);
}

void UIScrollView::setContentOffset(CGPoint offset, bool animated) {
    stopMotion();
    if (!animated) return applyContentOffset(offset);
    const CGPoint now = contentOffset();
    if (offset == now || !std::isfinite(offset.x) || !std::isfinite(offset.y)) return;
    const double duration = ScrollAxisMotion::kAnimationDuration;
    startMotion(Motion::animating, {ScrollAxisMotion::timed(now.x, offset.x, duration),
                                    ScrollAxisMotion::timed(now.y, offset.y, duration)});
}

void UIScrollView::applyContentOffset(CGPoint offset) {
    if (!std::isfinite(offset.x) || !std::isfinite(offset.y) || offset == contentOffset()) return;
    auto keep = weak_from_this().lock();
    setBounds(CGRect(offset, bounds().size));
    if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

void UIScrollView::setContentSize(CGSize size) {
    if (!std::isfinite(size.width) || !std::isfinite(size.height)) return;
    contentSize_ = size;
}

void UIScrollView::setContentInset(const UIEdgeInsets& inset) {
    contentInset_ = inset;
}

CGPoint UIScrollView::minimumContentOffset() const {
    return {-contentInset_.left, -contentInset_.top};
}

CGPoint UIScrollView::maximumContentOffset() const {
    const CGPoint minimum = minimumContentOffset();
    const CGSize size = bounds().size;
    return {std::max(minimum.x, contentSize_.width + contentInset_.right - size.width),
            std::max(minimum.y, contentSize_.height + contentInset_.bottom - size.height)};
}

void UIScrollView::scrollRectToVisible(const CGRect& rect, bool animated) {
    if (rect.isNull()) return;
    const CGRect r = rect.standardized();
    const CGRect b = bounds();
    const UIEdgeInsets& in = contentInset_;
    const CGPoint minimum = minimumContentOffset(), maximum = maximumContentOffset();
    const CGFloat x =
        revealing(b.origin.x + in.left, b.size.width - in.left - in.right, r.minX(), r.maxX()) - in.left;
    const CGFloat y =
        revealing(b.origin.y + in.top, b.size.height - in.top - in.bottom, r.minY(), r.maxY()) - in.top;
    const CGPoint target{std::clamp(x, minimum.x, maximum.x), std::clamp(y, minimum.y, maximum.y)};
    if (target != contentOffset()) setContentOffset(target, animated);
}

void UIScrollView::setScrollEnabled(bool enabled) {
    scrollEnabled_ = enabled;
    pan_->setEnabled(enabled);
}

bool UIScrollView::canScroll(int axis) const {
    const bool alwaysBounces = axis == kX ? alwaysBounceHorizontal_ : alwaysBounceVertical_;
    return scrollEnabled_ && (along(maximumContentOffset(), axis) > along(minimumContentOffset(), axis) ||
                              (bounces_ && alwaysBounces));
}

// Motion ------------------------------------------------------------------------------------------

void UIScrollView::startMotion(Motion kind, const Axes& axes) {
    motion_ = kind;
    axes_ = axes;
    motionStart_ = CACurrentMediaTime();
    decelerating_ = kind == Motion::decelerating;
    if (displayLink_) return;
    std::weak_ptr<UIView> weak = weak_from_this();
    displayLink_ = CADisplayLink::displayLinkWithTarget([weak](CADisplayLink&) {
        if (auto self = weak.lock()) static_cast<UIScrollView&>(*self).advanceMotion();
    });
    // Common modes: the content keeps moving while the run loop tracks a finger.
    displayLink_->addToRunLoop(NSRunLoop::main(), NSRunLoopCommonModes);
}

void UIScrollView::stopMotion() {
    motion_ = Motion::none;
    decelerating_ = false;
    if (auto link = std::move(displayLink_)) link->invalidate();
    holdTrackingMode(dragging_);
}

void UIScrollView::glide(const Axes& axes) {
    startMotion(Motion::decelerating, axes);
    holdTrackingMode(true);
    if (auto d = delegate()) d->scrollViewWillBeginDecelerating(*this);
}

void UIScrollView::holdTrackingMode(bool hold) {
    if (hold == holdsTrackingMode_) return;
    holdsTrackingMode_ = hold;
    NSRunLoop::main().setCurrentMode(hold ? UITrackingRunLoopMode : NSDefaultRunLoopMode);
}

// Dragging ----------------------------------------------------------------------------------------

bool UIScrollView::gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) {
    if (&recognizer != pan_.get()) return UIView::gestureRecognizerShouldBegin(recognizer);
    const bool horizontal = canScroll(kX), vertical = canScroll(kY);
    if (horizontal && vertical) return true;
    // Along an axis that does not scroll the drag is left to others (a cell's swipe, an outer scroll view).
    const CGPoint moved = pan_->translationInView(this);
    if (horizontal) return std::abs(moved.x) >= std::abs(moved.y);
    if (vertical) return std::abs(moved.y) >= std::abs(moved.x);
    return false;
}

void UIScrollView::touchedDown() {
    tracking_ = true;
    if (motion_ != Motion::none) stopMotion();
}

void UIScrollView::panned(UIPanGestureRecognizer& pan) {
    auto keep = weak_from_this().lock();
    switch (pan.state()) {
        case UIGestureRecognizerState::began:
            beginDrag(pan);
            break;
        case UIGestureRecognizerState::changed:
            drag(pan);
            break;
        case UIGestureRecognizerState::ended: {
            drag(pan);
            const CGPoint v = pan.velocityInView(this);
            endDrag({canScroll(kX) ? -v.x : 0, canScroll(kY) ? -v.y : 0});
            break;
        }
        case UIGestureRecognizerState::cancelled:
        case UIGestureRecognizerState::failed:
            if (dragging_) endDrag({});
            break;
        case UIGestureRecognizerState::possible:
            break;
    }
}

void UIScrollView::touchesWereOver() {
    tracking_ = false;
    if (dragging_ || motion_ != Motion::none) return;
    // A finger that stopped a glide and lifted without dragging leaves the content to settle.
    const Axes axes = release(contentOffset(), {}, std::nullopt);
    if (!axes[kX].at(0).atRest || !axes[kY].at(0).atRest) glide(axes);
}

void UIScrollView::beginDrag(UIPanGestureRecognizer& pan) {
    stopMotion();
    dragging_ = true;
    holdTrackingMode(true);
    // Content already pulled past an edge goes on from the pull that shows it there.
    const CGPoint offset = contentOffset(), minimum = minimumContentOffset(),
                  maximum = maximumContentOffset();
    for (int axis : {kX, kY}) {
        const CGFloat p = along(offset, axis), lo = along(minimum, axis), hi = along(maximum, axis);
        const CGFloat dimension = along(bounds().size, axis);
        CGFloat& origin = along(dragOrigin_, axis);
        origin = p;
        if (p < lo) origin = lo - ScrollAxisMotion::rubberBandInverse(lo - p, dimension);
        if (p > hi) origin = hi + ScrollAxisMotion::rubberBandInverse(p - hi, dimension);
    }
    // The distance the pan needed to begin does not move the content; what the finger went beyond it does.
    const CGPoint moved = pan.translationInView(this);
    const CGFloat length = std::hypot(moved.x, moved.y);
    const CGFloat slop = length > 0 ? std::min(1.0, UIPanGestureRecognizer::kHysteresis / length) : 0;
    along(dragOrigin_, kX) += moved.x * slop;
    along(dragOrigin_, kY) += moved.y * slop;
    if (auto d = delegate()) d->scrollViewWillBeginDragging(*this);
    drag(pan);
}

void UIScrollView::drag(UIPanGestureRecognizer& pan) {
    if (!dragging_) return;
    const CGPoint moved = pan.translationInView(this);
    CGPoint offset = contentOffset();
    const CGPoint minimum = minimumContentOffset(), maximum = maximumContentOffset();
    for (int axis : {kX, kY}) {
        if (!canScroll(axis)) continue;
        const CGFloat p = along(dragOrigin_, axis) - along(moved, axis);
        const CGFloat lo = along(minimum, axis), hi = along(maximum, axis);
        const CGFloat dimension = along(bounds().size, axis);
        CGFloat shown = std::clamp(p, lo, hi);
        if (bounces_ && p < lo) shown = lo - ScrollAxisMotion::rubberBand(lo - p, dimension);
        if (bounces_ && p > hi) shown = hi + ScrollAxisMotion::rubberBand(p - hi, dimension);
        along(offset, axis) = shown;
    }
    applyContentOffset(offset);
}

void UIScrollView::endDrag(CGPoint velocity) {
    const CGPoint offset = contentOffset();
    const CGPoint resting = restingOffset(offset, velocity);
    CGPoint target = resting;
    if (auto d = delegate())
        d->scrollViewWillEndDragging(*this, {velocity.x / 1000, velocity.y / 1000}, target);
    const Axes axes = release(offset, velocity, target == resting ? std::nullopt : std::optional(target));
    const bool glides = !axes[kX].at(0).atRest || !axes[kY].at(0).atRest;
    dragging_ = false;
    if (auto d = delegate()) d->scrollViewDidEndDragging(*this, glides);
    if (glides) {
        glide(axes);
    } else {
        holdTrackingMode(false);
    }
}

CGPoint UIScrollView::restingOffset(CGPoint offset, CGPoint velocity) const {
    const CGPoint minimum = minimumContentOffset(), maximum = maximumContentOffset();
    for (int axis : {kX, kY}) {
        const CGFloat p = along(offset, axis), v = along(velocity, axis);
        const CGFloat lo = along(minimum, axis), hi = along(maximum, axis);
        if (!canScroll(axis)) continue;
        CGFloat rest = p + ScrollAxisMotion::projectedDistance(v, decelerationRate_);
        const CGFloat page = along(bounds().size, axis);
        if (pagingEnabled_ && page > 0) {
            const CGFloat at = p / page;
            const CGFloat turned = std::abs(v) < kPageTurnSpeed ? std::round(at)
                                   : v > 0                      ? std::floor(at) + 1
                                                                : std::ceil(at) - 1;
            rest = turned * page;
        }
        along(offset, axis) = std::clamp(rest, lo, hi);
    }
    return offset;
}

UIScrollView::Axes UIScrollView::release(CGPoint offset, CGPoint velocity,
                                         const std::optional<CGPoint>& target) const {
    const CGPoint resting = target ? *target : restingOffset(offset, velocity);
    const CGPoint minimum = minimumContentOffset(), maximum = maximumContentOffset();
    Axes axes;
    for (int axis : {kX, kY}) {
        const CGFloat p = along(offset, axis), v = along(velocity, axis);
        const CGFloat lo = along(minimum, axis), hi = along(maximum, axis);
        const CGFloat goal = std::clamp(along(resting, axis), lo, hi);
        if (!canScroll(axis)) {
            axes[axis] = ScrollAxisMotion::still(p);
        } else if (p < lo || p > hi) {
            axes[axis] = ScrollAxisMotion::bounce(p, goal, v);
        } else if (pagingEnabled_) {
            axes[axis] = ScrollAxisMotion::snap(p, goal, v);
        } else if (target) {
            axes[axis] = ScrollAxisMotion::decelerate(p, goal, decelerationRate_, lo, hi, bounces_);
        } else {
            // Unclamped, so that a glide into an edge meets it and bounces.
            const CGFloat glide = p + ScrollAxisMotion::projectedDistance(v, decelerationRate_);
            axes[axis] = ScrollAxisMotion::decelerate(p, glide, decelerationRate_, lo, hi, bounces_);
        }
    }
    return axes;
}

void UIScrollView::advanceMotion() {
    if (motion_ == Motion::none) return;
    auto keep = weak_from_this().lock();
    const double elapsed = displayLink_->timestamp() - motionStart_;
    const auto x = axes_[kX].at(elapsed), y = axes_[kY].at(elapsed);
    const Motion running = motion_;
    applyContentOffset({x.offset, y.offset});
    // The delegate may have stopped this motion, or started another, while it heard of the scroll.
    if (motion_ != running || !x.atRest || !y.atRest) return;
    stopMotion();
    if (auto d = delegate()) {
        if (running == Motion::decelerating) {
            d->scrollViewDidEndDecelerating(*this);
        } else {
            d->scrollViewDidEndScrollingAnimation(*this);
        }
    }
}

}  // namespace platform
