#pragma once

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

class UIScrollView;

// What a scroll view tells about its scrolling. Every message is optional: the bodies here answer for a
// delegate that does not implement it. In order, a drag sends willBeginDragging, didScroll for each
// move, willEndDragging, didEndDragging and, when the content goes on moving by itself,
// willBeginDecelerating, didScroll for each frame and didEndDecelerating. An animated scroll sends
// didScroll for each frame and then didEndScrollingAnimation.
class UIScrollViewDelegate {
public:
    virtual ~UIScrollViewDelegate() = default;

    virtual void scrollViewDidScroll(UIScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewWillBeginDragging(UIScrollView& scrollView) { (void)scrollView; }
    // `velocity` in points per millisecond, positive where the content offset grows; the delegate may
    // change where the content comes to rest.
    virtual void scrollViewWillEndDragging(UIScrollView& scrollView, CGPoint velocity,
                                           CGPoint& targetContentOffset) {
        (void)scrollView;
        (void)velocity;
        (void)targetContentOffset;
    }
    virtual void scrollViewDidEndDragging(UIScrollView& scrollView, bool willDecelerate) {
        (void)scrollView;
        (void)willDecelerate;
    }
    virtual void scrollViewWillBeginDecelerating(UIScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndDecelerating(UIScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndScrollingAnimation(UIScrollView& scrollView) { (void)scrollView; }
};

}  // namespace platform
