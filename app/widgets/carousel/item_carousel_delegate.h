#pragma once

#include "app/widgets/carousel/item_carousel_option.h"
#include "platform/quartzcore/ca_transform_3d.h"

namespace quorvel {

class ItemCarousel;

// Hears what a carousel does and may tune it. Every message has a default, so a delegate implements
// only what it cares about.
class ItemCarouselDelegate {
public:
    virtual ~ItemCarouselDelegate() = default;

    // Any touch the carousel's tap or pan recogniser is offered.
    virtual void carouselTouched(ItemCarousel& carousel) { (void)carousel; }
    virtual void carouselWillBeginScrollingAnimation(ItemCarousel& carousel) { (void)carousel; }
    virtual void carouselDidEndScrollingAnimation(ItemCarousel& carousel) { (void)carousel; }
    virtual void carouselDidScroll(ItemCarousel& carousel) { (void)carousel; }
    virtual void carouselCurrentItemIndexDidChange(ItemCarousel& carousel) { (void)carousel; }
    virtual void carouselWillBeginDragging(ItemCarousel& carousel) { (void)carousel; }
    virtual void carouselDidEndDragging(ItemCarousel& carousel, bool willDecelerate) {
        (void)carousel;
        (void)willDecelerate;
    }
    virtual void carouselWillBeginDecelerating(ItemCarousel& carousel) { (void)carousel; }
    virtual void carouselDidEndDecelerating(ItemCarousel& carousel) { (void)carousel; }
    virtual bool carouselShouldSelectItemAtIndex(ItemCarousel& carousel, long index) {
        (void)carousel;
        (void)index;
        return true;
    }
    virtual void carouselDidSelectItemAtIndex(ItemCarousel& carousel, long index) {
        (void)carousel;
        (void)index;
    }
    // 0 lets the carousel measure its first item.
    virtual double carouselItemWidth(ItemCarousel& carousel) {
        (void)carousel;
        return 0;
    }
    // Asked for the custom type only.
    virtual platform::CATransform3D carouselItemTransformForOffset(ItemCarousel& carousel, double offset,
                                                                   const platform::CATransform3D& base) {
        (void)carousel;
        (void)offset;
        return base;
    }
    virtual double carouselValueForOption(ItemCarousel& carousel, ItemCarouselOption option, double value) {
        (void)carousel;
        (void)option;
        return value;
    }
};

}  // namespace quorvel
