#pragma once

#include <memory>

#include "platform/uikit/views/ui_view.h"

namespace quorvel {

class PageSwipeView;

// What a swipe view shows: a number of items and a view for each.
class PageSwipeViewDataSource {
public:
    virtual ~PageSwipeViewDataSource() = default;

    virtual long numberOfItemsInSwipeView(PageSwipeView& swipeView) = 0;
    // `reusingView` is a view that went out of sight, or none; an answer of none shows an empty view.
    virtual std::shared_ptr<platform::UIView> swipeViewViewForItemAtIndex(
        PageSwipeView& swipeView, long index, std::shared_ptr<platform::UIView> reusingView) = 0;
};

}  // namespace quorvel
