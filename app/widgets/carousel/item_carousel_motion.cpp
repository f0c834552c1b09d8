// What moves the scroll offset: direct changes, timed scrolls, the run-out after a flick, bouncing,
// the snap between items and autoscroll, all stepped by one timer on the media clock.
#include <algorithm>
#include <cmath>

#include "app/widgets/carousel/carousel_arithmetic.h"
#include "app/widgets/carousel/item_carousel.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/quartzcore/ca_media_time.h"

namespace quorvel {

using platform::CACurrentMediaTime;
using namespace carousel_arithmetic;

namespace {

constexpr double kFrameInterval = 1.0 / 60;
// While the owner says its timer is running the carousel needs only a few steps a second.
constexpr double kRunningInterval = 0.25;
constexpr double kScrollDuration = 0.4;
// An offset this close to its item settles in a blink.
constexpr double kSettleDistance = double(0.01f);
constexpr double kSettleDuration = 0.01;
// Below this speed, in items per second, a drag's end neither runs out nor steps to the next item.
constexpr double kMinimumFlickSpeed = 2.0;
constexpr double kMinimumRunOut = double(0.1f);
constexpr double kDecelerationMultiplier = 30;
// The snap between items lasts between these, shorter the faster the carousel went.
constexpr double kMinimumToggleDuration = 0.2;
constexpr double kMaximumToggleDuration = 0.4;

}  // namespace

// Direct moves --------------------------------------------------------------------------------------

void ItemCarousel::setScrollOffset(double offset) {
    if (!std::isfinite(offset)) return;  // no place to show; the carousel stays where it is
    scrolling_ = false;
    decelerating_ = false;
    startOffset_ = endOffset_ = offset;
    if (offset == scrollOffset_) return;
    scrollOffset_ = offset;
    depthSortViews();
    didScroll();
}

void ItemCarousel::didScroll() {
    if (wrapEnabled_ || !bounces_) {
        scrollOffset_ = clampedOffset(scrollOffset_);
    } else {
        const double lowest = -bounceDistance_;
        const double highest = double(std::max(numberOfItems_ - 1, 0L)) + bounceDistance_;
        if (scrollOffset_ < lowest) {
            scrollOffset_ = lowest;
            startVelocity_ = 0;
        } else if (scrollOffset_ > highest) {
            scrollOffset_ = highest;
            startVelocity_ = 0;
        }
    }
    const long index = rounded(scrollOffset_);
    if (const long difference = minScrollDistanceFromIndex(previousItemIndex_, index); difference != 0) {
        toggleTime_ = CACurrentMediaTime();
        toggle_ = clampedToUnit(-double(difference));
        startAnimation();
    }
    loadUnloadViews();
    transformItemViews();
    notifyAnimated([this](ItemCarouselDelegate& delegate) { delegate.carouselDidScroll(*this); });
    if (clampedIndex(previousItemIndex_) != currentItemIndex()) {
        notifyAnimated(
            [this](ItemCarouselDelegate& delegate) { delegate.carouselCurrentItemIndexDidChange(*this); });
    }
    previousItemIndex_ = index;
}

long ItemCarousel::minScrollDistanceFromIndex(long from, long to) const {
    const long direct = to - from;
    if (!minScroll_ || !wrapEnabled_) return direct;
    const long around = std::min(from, to) + numberOfItems_ - std::max(from, to);
    if (std::labs(direct) > std::labs(around)) return to > from ? -around : around;
    return direct;
}

double ItemCarousel::minScrollDistanceFromOffset(double from, double to) const {
    const double direct = to - from;
    if (!wrapEnabled_ || (!minScroll_ && std::fabs(from) < double(numberOfItems_ - 1))) return direct;
    const double around =
        double(std::fmin(float(from), float(to)) + float(numberOfItems_) - std::fmax(float(from), float(to)));
    if (std::fabs(direct) <= std::fabs(around)) return direct;
    return from < to ? -around : around;
}

// Timed moves ---------------------------------------------------------------------------------------

void ItemCarousel::scrollByOffset(double offset, double duration) {
    if (!std::isfinite(offset)) return;
    if (!(duration > 0)) return setScrollOffset(scrollOffset_ + offset);
    decelerating_ = false;
    scrolling_ = true;
    startTime_ = CACurrentMediaTime();
    startOffset_ = scrollOffset_;
    scrollDuration_ = duration;
    previousItemIndex_ = rounded(scrollOffset_);
    endOffset_ = wrapEnabled_ ? startOffset_ + offset : clampedOffset(startOffset_ + offset);
    if (auto delegate = this->delegate()) delegate->carouselWillBeginScrollingAnimation(*this);
    startAnimation();
}

void ItemCarousel::scrollToOffset(double offset, double duration) {
    scrollByOffset(minScrollDistanceFromOffset(scrollOffset_, offset), duration);
}

void ItemCarousel::scrollByNumberOfItems(long count, double duration) {
    if (!(duration > 0)) return setScrollOffset(double(clampedIndex(previousItemIndex_ + count)));
    const float offset = float(scrollOffset_);
    float target = std::round(offset);
    if (count > 0) {
        target = std::floor(offset) + float(count);
    } else if (count < 0) {
        target = std::ceil(offset) + float(count);
    }
    scrollByOffset(double(target) - scrollOffset_, duration);
}

void ItemCarousel::scrollToItemAtIndex(long index, double duration) {
    scrollToOffset(double(index), duration);
}

void ItemCarousel::scrollToItemAtIndex(long index, bool animated) {
    scrollToItemAtIndex(index, animated ? kScrollDuration : 0.0);
}

void ItemCarousel::startRotatingWithDuration(double duration) {
    scrollByOffset(scrollOffset_, duration);
}

void ItemCarousel::stopRotating() {
    stopAnimation();
}

void ItemCarousel::settle(long itemsAhead) {
    const long current = currentItemIndex();
    if (std::fabs(scrollOffset_ - double(current)) < kSettleDistance) {
        scrollToItemAtIndex(current, kSettleDuration);
    } else {
        scrollToItemAtIndex(current + itemsAhead, true);
    }
}

// Run-out -------------------------------------------------------------------------------------------

double ItemCarousel::decelerationDistance() const {
    const double acceleration = startVelocity_ * kDecelerationMultiplier * (1 - decelerationRate_);
    return quotient(double(std::pow(float(startVelocity_), 2.0f)), 2 * acceleration);
}

bool ItemCarousel::shouldDecelerate() const {
    return std::fabs(startVelocity_) > kMinimumFlickSpeed &&
           std::fabs(decelerationDistance()) > kMinimumRunOut;
}

bool ItemCarousel::shouldScroll() const {
    return std::fabs(startVelocity_) > kMinimumFlickSpeed &&
           std::fabs(scrollOffset_ - double(currentItemIndex())) > kMinimumRunOut;
}

double ItemCarousel::easeInOut(double time) {
    const float t = float(time);
    return t < 0.5f ? 0.5f * std::pow(t * 2.0f, 3.0f) : 0.5f * std::pow(t * 2.0f - 2.0f, 3.0f) + 1.0f;
}

void ItemCarousel::startDecelerating() {
    const double distance = decelerationDistance();
    startOffset_ = scrollOffset_;
    endOffset_ = pagingEnabled_ ? startOffset_ : startOffset_ + distance;
    if (pagingEnabled_ || stopAtItemBoundary_) {
        endOffset_ = distance > 0 ? std::ceil(float(endOffset_)) : std::floor(float(endOffset_));
    }
    if (!wrapEnabled_ && bounces_) {
        const float reach = float(bounceDistance_);
        endOffset_ = std::fmax(-reach, std::fmin(float(numberOfItems_) - 1.0f + reach, float(endOffset_)));
    } else if (!wrapEnabled_) {
        endOffset_ = clampedOffset(endOffset_);
    }
    // Constant deceleration from the start velocity to rest over the run-out.
    scrollDuration_ = std::fabs(quotient(endOffset_ - startOffset_, startVelocity_ * 0.5));
    startTime_ = CACurrentMediaTime();
    if (endOffset_ != startOffset_) {
        decelerating_ = true;
        startAnimation();
    }
}

// The timer -----------------------------------------------------------------------------------------

void ItemCarousel::startAnimation() {
    if (timer_) return;
    timer_ = platform::NSTimer::timerWithTimeInterval(isRunning_ ? kRunningInterval : kFrameInterval, true,
                                                      [this](platform::NSTimer&) { step(); });
    platform::NSRunLoop::main().addTimer(timer_, platform::NSDefaultRunLoopMode);
    platform::NSRunLoop::main().addTimer(timer_, platform::UITrackingRunLoopMode);
    // Autoscroll moves by the time since the last step; a fresh timer has not stepped yet.
    lastTime_ = CACurrentMediaTime();
}

void ItemCarousel::stopAnimation() {
    if (!timer_) return;
    timer_->invalidate();
    timer_.reset();
}

void ItemCarousel::step() {
    auto keep = weakSelf().lock();
    pushAnimationState(false);
    const double now = CACurrentMediaTime();
    const double last = lastTime_;
    lastTime_ = now;

    if (toggle_ != 0) {
        const double speedShare =
            startVelocity_ == 0
                ? 1
                : double(std::fmin(1.0f, std::fmax(0.0f, float(1 / std::fabs(startVelocity_)))));
        const double duration =
            kMinimumToggleDuration + (kMaximumToggleDuration - kMinimumToggleDuration) * speedShare;
        const double eased = easeInOut(double(std::fmin(1.0f, float((now - toggleTime_) / duration))));
        toggle_ = toggle_ < 0 ? eased - 1 : 1 - eased;
        didScroll();
    }

    if (scrolling_) {
        const double t = double(std::fmin(1.0f, float((now - startTime_) / scrollDuration_)));
        scrollOffset_ = startOffset_ * (1 - t) + endOffset_ * t;
        didScroll();
        if (t == 1) {
            scrolling_ = false;
            depthSortViews();
            notifyAnimated(
                [this](ItemCarouselDelegate& delegate) { delegate.carouselDidEndScrollingAnimation(*this); });
        }
    } else if (decelerating_) {
        const double t = double(std::fmin(float(scrollDuration_), float(now - startTime_)));
        const double acceleration = startVelocity_ / scrollDuration_;
        scrollOffset_ = startOffset_ + startVelocity_ * t - 0.5 * acceleration * t * t;
        didScroll();
        if (t == single(scrollDuration_)) {
            decelerating_ = false;
            notifyAnimated(
                [this](ItemCarouselDelegate& delegate) { delegate.carouselDidEndDecelerating(*this); });
            if (scrollToItemBoundary_ || isBeyondEnds(scrollOffset_)) {
                settle(0);
            } else {
                // Left between items: the snap animation eases the toggle to rest instead.
                double difference = double(currentItemIndex()) - scrollOffset_;
                if (difference > 0.5) {
                    difference -= 1;
                } else if (difference < -0.5) {
                    difference += 1;
                }
                toggleTime_ = now - kMaximumToggleDuration * std::fabs(difference);
                toggle_ = clampedToUnit(-difference);
            }
        }
    } else if (autoscroll_ != 0) {
        if (!dragging_) setScrollOffset(clampedOffset(scrollOffset_ + (last - now) * autoscroll_));
    } else if (toggle_ == 0) {
        stopAnimation();
    }
    popAnimationState();
}

}  // namespace quorvel
