#pragma once

#include "platform/coregraphics/cg_geometry.h"

namespace quorvel {

class PageSwipeView;

// What a swipe view tells. Every message is optional: the bodies here are the answers of a delegate
// that does not implement it, and the swipe view sends every message whether or not it is implemented.
class PageSwipeViewDelegate {
public:
    virtual ~PageSwipeViewDelegate() = default;

    // The size of one item; the zero size lets the swipe view measure an item view.
    virtual platform::CGSize swipeViewItemSize(PageSwipeView& swipeView) {
        (void)swipeView;
        return {};
    }
    virtual void swipeViewDidScroll(PageSwipeView& swipeView) { (void)swipeView; }
    virtual void swipeViewCurrentItemIndexDidChange(PageSwipeView& swipeView) { (void)swipeView; }
    virtual void swipeViewWillBeginDragging(PageSwipeView& swipeView) { (void)swipeView; }
    virtual void swipeViewDidEndDragging(PageSwipeView& swipeView, bool willDecelerate) {
        (void)swipeView;
        (void)willDecelerate;
    }
    virtual void swipeViewWillBeginDecelerating(PageSwipeView& swipeView) { (void)swipeView; }
    virtual void swipeViewDidEndDecelerating(PageSwipeView& swipeView) { (void)swipeView; }
    // A timed scroll ended.
    virtual void swipeViewDidEndScrollingAnimation(PageSwipeView& swipeView) { (void)swipeView; }
    // A tap landed on an item: no leaves the tap to the item's own controls and selects nothing.
    virtual bool swipeViewShouldSelectItemAtIndex(PageSwipeView& swipeView, long index) {
        (void)swipeView;
        (void)index;
        return true;
    }
    virtual void swipeViewDidSelectItemAtIndex(PageSwipeView& swipeView, long index) {
        (void)swipeView;
        (void)index;
    }
};

}  // namespace quorvel
