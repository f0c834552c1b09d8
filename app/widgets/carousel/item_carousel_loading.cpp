// Which positions have views, where their views come from and go to, and which lies in front.
#include <algorithm>
#include <cmath>

#include "app/widgets/carousel/carousel_arithmetic.h"
#include "app/widgets/carousel/item_carousel.h"

namespace quorvel {

using platform::CATransform3D;
using platform::CGRect;
using platform::CGSize;
using platform::UIView;
using namespace carousel_arithmetic;

namespace {

CATransform3D containerTransform(const std::shared_ptr<UIView>& view) {
    auto container = view ? view->superview() : nullptr;
    return container ? container->layer()->transform() : CATransform3D::zero();
}

// The view centred in a container of `size`, keeping its own size.
void centre(UIView& view, CGSize size) {
    CGRect frame = view.frame();
    frame.origin = {(size.width - frame.size.width) / 2, (size.height - frame.size.height) / 2};
    view.setFrame(frame);
}

}  // namespace

void ItemCarousel::loadUnloadViews() {
    updateItemWidth();
    updateNumberOfVisibleItems();
    long first = currentItemIndex() - numberOfVisibleItems_ / 2;
    if (!wrapEnabled_) {
        const long leading = truncated(std::ceil(double(numberOfPlaceholdersToShow_) * 0.5));
        const long last = numberOfItems_ + numberOfPlaceholdersToShow_ / 2 - numberOfVisibleItems_;
        first = std::max(-leading, std::min(last, first));
    }
    std::vector<long> visible;
    for (long i = 0; i < numberOfVisibleItems_; ++i) {
        const long position = wrapEnabled_ ? clampedIndex(first + i) : first + i;
        if (alphaForItemWithOffset(offsetForItemAtIndex(position)) != 0 &&
            std::ranges::find(visible, position) == visible.end()) {
            visible.push_back(position);
        }
    }
    for (auto it = itemViews_.begin(); it != itemViews_.end();) {
        if (std::ranges::find(visible, it->first) != visible.end()) {
            ++it;
            continue;
        }
        queueView(it->first, it->second);
        if (auto container = it->second->superview()) container->removeFromSuperview();
        it = itemViews_.erase(it);
    }
    for (long position : visible) {
        if (!itemViews_.contains(position)) loadViewAtIndex(position);
    }
}

std::shared_ptr<UIView> ItemCarousel::loadViewAtIndex(long index, const std::shared_ptr<UIView>& container) {
    auto source = dataSource();
    if (!source) return nullptr;
    pushAnimationState(false);
    std::shared_ptr<UIView> view;
    if (index < 0) {
        const long leading = truncated(std::ceil(double(numberOfPlaceholdersToShow_) * 0.5));
        view = source->carouselPlaceholderViewAtIndex(*this, leading + index, dequeue(placeholderViewPool_));
    } else if (index >= numberOfItems_) {
        const float trailing =
            float(numberOfPlaceholdersToShow_) * 0.5f + float(index) - float(numberOfItems_);
        view =
            source->carouselPlaceholderViewAtIndex(*this, truncated(trailing), dequeue(placeholderViewPool_));
    } else {
        view = source->carouselViewForItemAtIndex(*this, index, dequeue(itemViewPool_));
    }
    if (!view) view = std::make_shared<UIView>();
    itemViews_[index] = view;
    if (container) {
        // A reload into the container the position already has.
        auto old = container->subviews().empty() ? nullptr : container->subviews().back();
        if (old != view) queueView(index, old);
        CGRect bounds = container->bounds();
        const CGSize size = view->frame().size;
        bounds.size = vertical_ ? CGSize{size.width, std::min(itemWidth_, size.height)}
                                : CGSize{std::min(itemWidth_, size.width), size.height};
        container->setBounds(bounds);
        centre(*view, bounds.size);
        if (old && old != view) old->removeFromSuperview();
        container->addSubview(view);
    } else {
        contentView_->addSubview(containView(view));
    }
    transformItemView(*view, index);
    popAnimationState();
    return view;
}

std::shared_ptr<UIView> ItemCarousel::containView(const std::shared_ptr<UIView>& view) {
    const CGRect bounds = view->bounds();
    if (itemWidth_ == 0) itemWidth_ = vertical_ ? bounds.size.height : bounds.size.width;
    const CGSize size =
        vertical_ ? CGSize{bounds.size.width, itemWidth_} : CGSize{itemWidth_, bounds.size.height};
    auto container = std::make_shared<UIView>(CGRect(bounds.origin, size));
    centre(*view, size);
    container->addSubview(view);
    return container;
}

// Depth -------------------------------------------------------------------------------------------

std::vector<std::shared_ptr<UIView>> ItemCarousel::viewsInDepthOrder() const {
    auto views = visibleItemViews();
    const auto depth = [](const CATransform3D& t) { return t.m13 + t.m23 + t.m33 + t.m43; };
    const auto along = [this](const CATransform3D& t) {
        return vertical_ ? t.m12 + t.m22 + t.m32 + t.m42 : t.m11 + t.m21 + t.m31 + t.m41;
    };
    const double centre = along(containerTransform(currentItemView()));
    // Farther first; at one depth, the one farther along the axis from the centred item first.
    std::stable_sort(views.begin(), views.end(), [&](const auto& a, const auto& b) {
        const CATransform3D ta = containerTransform(a), tb = containerTransform(b);
        double difference = depth(ta) - depth(tb);
        if (difference == 0) difference = std::fabs(along(tb) - centre) - std::fabs(along(ta) - centre);
        return difference < 0;
    });
    return views;
}

void ItemCarousel::depthSortViews() {
    for (const auto& view : viewsInDepthOrder()) {
        if (auto container = view->superview()) contentView_->bringSubviewToFront(container);
    }
}

}  // namespace quorvel
