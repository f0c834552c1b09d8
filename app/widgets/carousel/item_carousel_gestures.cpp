// Touches: which the carousel's recognisers take, and what a pan or a tap does.
#include <cmath>

#include "app/widgets/carousel/carousel_arithmetic.h"
#include "app/widgets/carousel/item_carousel.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "platform/uikit/touches/ui_touch.h"

namespace quorvel {

using platform::UIGestureRecognizerState;
using platform::UITouchPhase;
using platform::UIView;
using namespace carousel_arithmetic;

bool ItemCarousel::gestureRecognizerShouldReceiveTouch(platform::UIGestureRecognizer& recognizer,
                                                       platform::UITouch& touch) {
    auto keep = weakSelf().lock();
    // Any touch halts the motion.
    if (scrollEnabled_) dragging_ = scrolling_ = decelerating_ = false;
    const bool isTap = &recognizer == tap_.get();
    if (!isTap && &recognizer != pan_.get()) return true;
    stopAnimation();
    if (auto delegate = this->delegate()) delegate->carouselTouched(*this);
    const auto view = touch.view();
    if (isTap) {
        long index = indexOfItemViewOrSubview(view.get());
        if (index == NotFound && centerItemWhenSelected_ && view && !view->subviews().empty()) {
            index = indexOfItemViewOrSubview(view->subviews().back().get());  // the touch hit a container
        }
        // An item that takes its own touches keeps its taps.
        return index == NotFound || !viewOrSuperviewHandles(view.get(), UITouchPhase::began);
    }
    if (!scrollEnabled_) return false;
    if (!viewOrSuperviewHandles(view.get(), UITouchPhase::moved)) return true;
    // A view that tracks moves keeps them, unless it is a scroll view with nothing to scroll along
    // the carousel's axis.
    const auto* scrollView = enclosingScrollView(view.get());
    if (!scrollView) return false;
    if (!scrollView->isScrollEnabled()) return true;
    const platform::CGSize content = scrollView->contentSize();
    const platform::CGSize frame = scrollView->frame().size;
    return vertical_ ? content.height <= frame.height : content.width <= frame.width;
}

bool ItemCarousel::gestureRecognizerShouldBegin(platform::UIGestureRecognizer& recognizer) {
    auto* pan = dynamic_cast<platform::UIPanGestureRecognizer*>(&recognizer);
    if (!pan || !ignorePerpendicularSwipes_) return true;
    const platform::CGPoint translation = pan->translationInView(this);
    return vertical_ ? std::fabs(translation.y) >= std::fabs(translation.x)
                     : std::fabs(translation.x) >= std::fabs(translation.y);
}

bool ItemCarousel::viewOrSuperviewHandles(const UIView* view, UITouchPhase phase) const {
    for (const UIView* v = view; v && v != contentView_.get(); v = v->superview().get()) {
        if (v->handlesTouchPhase(phase)) return true;
    }
    return false;
}

const platform::UIScrollView* ItemCarousel::enclosingScrollView(const UIView* view) const {
    for (const UIView* v = view; v && v != contentView_.get(); v = v->superview().get()) {
        if (auto* scrollView = dynamic_cast<const platform::UIScrollView*>(v)) return scrollView;
    }
    return nullptr;
}

void ItemCarousel::didPan(platform::UIPanGestureRecognizer& pan) {
    if (!scrollEnabled_) return;
    auto keep = weakSelf().lock();
    const double translation = alongAxis(pan.translationInView(this));
    switch (pan.state()) {
        case UIGestureRecognizerState::began:
            dragging_ = true;
            scrolling_ = false;
            decelerating_ = false;
            previousTranslation_ = translation;
            if (auto delegate = this->delegate()) delegate->carouselWillBeginDragging(*this);
            break;
        case UIGestureRecognizerState::ended:
        case UIGestureRecognizerState::cancelled:
            endDrag();
            break;
        default: {
            const double delta = translation - previousTranslation_;
            // Past an end the carousel resists, the more the farther it went.
            double factor = 1;
            if (!wrapEnabled_ && bounces_ && isBeyondEnds(scrollOffset_)) {
                const float overshoot = float(std::fabs(scrollOffset_ - clampedOffset(scrollOffset_)));
                factor = 1 - quotient(double(std::fmin(overshoot, float(bounceDistance_))), bounceDistance_);
            }
            previousTranslation_ = translation;
            startVelocity_ =
                quotient(-alongAxis(pan.velocityInView(this)) * factor * scrollSpeed_, itemWidth_);
            scrollOffset_ -= quotient(delta * factor * offsetMultiplier_, itemWidth_);
            didScroll();
        }
    }
}

void ItemCarousel::endDrag() {
    dragging_ = false;
    didDrag_ = true;
    if (shouldDecelerate()) {
        didDrag_ = false;
        startDecelerating();
    }
    notifyAnimated(
        [this](ItemCarouselDelegate& delegate) { delegate.carouselDidEndDragging(*this, decelerating_); });
    if (decelerating_) {
        notifyAnimated(
            [this](ItemCarouselDelegate& delegate) { delegate.carouselWillBeginDecelerating(*this); });
    } else if (!scrollToItemBoundary_ && !isBeyondEnds(scrollOffset_)) {
        depthSortViews();
    } else {
        settle(shouldScroll() ? (startVelocity_ > 0 ? 1 : -1) : 0);
    }
}

void ItemCarousel::didTap(platform::UITapGestureRecognizer& tap) {
    auto keep = weakSelf().lock();
    const long index = indexOfItemView(itemViewAtPoint(tap.locationInView(contentView_)).get());
    if (index == NotFound) return;
    auto delegate = this->delegate();
    if (delegate && !delegate->carouselShouldSelectItemAtIndex(*this, index)) {
        if (scrollEnabled_ && scrollToItemBoundary_) scrollToItemAtIndex(currentItemIndex(), true);
        return;
    }
    const long current = currentItemIndex();
    if ((index != current && centerItemWhenSelected_) || (index == current && scrollToItemBoundary_)) {
        scrollToItemAtIndex(index, true);
    }
    if (delegate) delegate->carouselDidSelectItemAtIndex(*this, index);
}

}  // namespace quorvel
