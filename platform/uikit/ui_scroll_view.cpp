#include "platform/uikit/ui_scroll_view.h"

#include <algorithm>
#include <cmath>

#include "platform/quartzcore/ca_display_link.h"
#include "platform/quartzcore/ca_media_time.h"

namespace platform {

namespace {

// Along one axis: the least move of a viewport (start, length) that shows [low, high], its start
// first when it does not fit.
CGFloat revealing(CGFloat start, CGFloat length, CGFloat low, CGFloat high) {
    if (high > start + length) start = high - length;
    if (low < start) start = low;
    return start;
}

}  // namespace

UIScrollView::UIScrollView() : UIScrollView(CGRect::zero()) {}

UIScrollView::UIScrollView(const CGRect& frame) : UIView(frame) {
    setClipsToBounds(true);
}

UIScrollView::~UIScrollView() {
    if (displayLink_) displayLink_->invalidate();
}

// Offsets -----------------------------------------------------------------------------------------

void UIScrollView::setContentOffset(CGPoint offset) {
    if (motion_ == Motion::animating) {
        stopMotion();
    } else if (motion_ == Motion::decelerating) {
        const double elapsed = CACurrentMediaTime() - motionStart_;
        const CGPoint now = contentOffset();
        axes_ = {axes_.x.movedBy(elapsed, offset.x - now.x), axes_.y.movedBy(elapsed, offset.y - now.y)};
        motionStart_ = CACurrentMediaTime();
    }
    applyContentOffset(offset);
}

void UIScrollView::setContentOffset(CGPoint offset, bool animated) {
    stopMotion();
    if (!animated) return applyContentOffset(offset);
    const CGPoint now = contentOffset();
    if (offset == now || !std::isfinite(offset.x) || !std::isfinite(offset.y)) return;
    const double duration = ScrollAxisMotion::kAnimationDuration;
    startMotion(Motion::animating,
                {ScrollAxisMotion::timed(now.x, offset.x, duration), ScrollAxisMotion::timed(now.y, offset.y, duration)});
}

void UIScrollView::applyContentOffset(CGPoint offset) {
    if (!std::isfinite(offset.x) || !std::isfinite(offset.y) || offset == contentOffset()) return;
    auto keep = weak_from_this().lock();
    setBounds(CGRect(offset, bounds().size));
    contentOffsetDidChange();
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
    const CGFloat x = revealing(b.origin.x + in.left, b.size.width - in.left - in.right, r.minX(), r.maxX()) - in.left;
    const CGFloat y = revealing(b.origin.y + in.top, b.size.height - in.top - in.bottom, r.minY(), r.maxY()) - in.top;
    const CGPoint target{std::clamp(x, minimum.x, maximum.x), std::clamp(y, minimum.y, maximum.y)};
    if (target != contentOffset()) setContentOffset(target, animated);
}

void UIScrollView::setScrollEnabled(bool enabled) {
    scrollEnabled_ = enabled;
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
        if (auto self = weak.lock()) static_cast<UIScrollView&>(*self).frame();
    });
    // Common modes: the content keeps moving while the run loop tracks a finger.
    displayLink_->addToRunLoop(NSRunLoop::main(), NSRunLoopCommonModes);
}

void UIScrollView::stopMotion() {
    motion_ = Motion::none;
    decelerating_ = false;
    if (auto link = std::move(displayLink_)) link->invalidate();
}

void UIScrollView::frame() {
    if (motion_ == Motion::none) return;
    auto keep = weak_from_this().lock();
    const double elapsed = displayLink_->timestamp() - motionStart_;
    const auto x = axes_.x.at(elapsed), y = axes_.y.at(elapsed);
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
