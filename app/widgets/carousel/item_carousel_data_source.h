#pragma once

#include <memory>

#include "platform/uikit/views/ui_view.h"

namespace quorvel {

class ItemCarousel;

// Supplies a carousel's items. Counts below zero count as none. A view answered as null stands as an
// empty view; the reusing view, when not null, is one the carousel no longer shows.
class ItemCarouselDataSource {
public:
    virtual ~ItemCarouselDataSource() = default;

    virtual long numberOfItemsInCarousel(ItemCarousel& carousel) = 0;
    virtual std::shared_ptr<platform::UIView> carouselViewForItemAtIndex(
        ItemCarousel& carousel, long index, std::shared_ptr<platform::UIView> reusingView) = 0;

    // Placeholders fill the positions before the first item and after the last one of a carousel
    // that does not wrap.
    virtual long numberOfPlaceholdersInCarousel(ItemCarousel& carousel) {
        (void)carousel;
        return 0;
    }
    virtual std::shared_ptr<platform::UIView> carouselPlaceholderViewAtIndex(
        ItemCarousel& carousel, long index, std::shared_ptr<platform::UIView> reusingView) {
        (void)carousel;
        (void)index;
        (void)reusingView;
        return nullptr;
    }
};

}  // namespace quorvel
