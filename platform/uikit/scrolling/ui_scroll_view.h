#pragma once

#include <array>
#include <memory>
#include <optional>

#include "platform/uikit/scrolling/scroll_axis_motion.h"
#include "platform/uikit/scrolling/ui_scroll_view_delegate.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

class CADisplayLink;
class UIPanGestureRecognizer;
class UIScrollViewPanGestureRecognizer;

// Deceleration rates: the share of its speed a gliding scroll view keeps each millisecond.
using UIScrollViewDecelerationRate = CGFloat;
inline constexpr UIScrollViewDecelerationRate UIScrollViewDecelerationRateNormal = 0.998;
inline constexpr UIScrollViewDecelerationRate UIScrollViewDecelerationRateFast = 0.99;

// A view whose bounds origin, the content offset, moves over content larger than itself. Its pan
// drags the content (rubber-banded past the edges when bouncing); let go, the content glides and slows
// down exponentially at the deceleration rate, springs back from past an edge, or, with paging, snaps
// to a whole page. Every motion after the finger is gone is a closed form of the time since it began,
// run at the display's rate from the process clock, so a virtual clock replays it exactly. A finger
// going down stops a glide. While the content is dragged or glides, the main run loop is in its
// tracking mode. Main thread.
class UIScrollView : public UIView {
public:
    UIScrollView();
    explicit UIScrollView(const CGRect& frame);
    ~UIScrollView() override;

    // The delegate is held weakly.
    std::shared_ptr<UIScrollViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<UIScrollViewDelegate> delegate) { delegate_ = std::move(delegate); }

    CGPoint contentOffset() const { return bounds().origin; }
    // A glide in progress carries on from the new offset, and so does a drag (content that wraps round
    // moves under the finger this way); an animated scroll stops where it is.
    void setContentOffset(CGPoint offset);
    // Animated: eased over 0.3 s, then didEndScrollingAnimation. Not animated: at once, and any motion stops.
    void setContentOffset(CGPoint offset, bool animated);
    CGSize contentSize() const { return contentSize_; }
    void setContentSize(CGSize size);
    // Room around the content: the offset runs from (−left, −top) to the content's far edges plus
    // right and bottom.
    UIEdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(const UIEdgeInsets& inset);
    // The smallest and largest offsets that keep the content (with its insets) in view.
    CGPoint minimumContentOffset() const;
    CGPoint maximumContentOffset() const;

    // Scrolls the least that shows `rect` (in the content's coordinates), as much of it as fits.
    void scrollRectToVisible(const CGRect& rect, bool animated);

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled);
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    // Drags along the axis even when the content is not longer than the view (only with bounces).
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool value) { alwaysBounceVertical_ = value; }
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool value) { alwaysBounceHorizontal_ = value; }
    UIScrollViewDecelerationRate decelerationRate() const { return decelerationRate_; }
    // Rates outside 0…1 stop a fling dead.
    void setDecelerationRate(UIScrollViewDecelerationRate rate) { decelerationRate_ = rate; }

    // Kept for the views that set them; there are no indicators to draw and no status bar to tap.
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontalIndicator_ = shows; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVerticalIndicator_ = shows; }
    void setScrollsToTop(bool value) { scrollsToTop_ = value; }
    bool delaysContentTouches() const { return delaysContentTouches_; }
    void setDelaysContentTouches(bool value) { delaysContentTouches_ = value; }

    // A finger is on the content; it has moved it; the content glides on by itself.
    bool isTracking() const { return tracking_; }
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }

    // The recogniser that drags the content; disabled while scrolling is.
    std::shared_ptr<UIPanGestureRecognizer> panGestureRecognizer() const;
    // The pan begins only along an axis the content can move on.
    bool gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) override;

private:
    friend class UIScrollViewPanGestureRecognizer;
    enum class Motion { none, decelerating, animating };

    // The motions along x and along y.
    using Axes = std::array<ScrollAxisMotion, 2>;

    void applyContentOffset(CGPoint offset);
    void startMotion(Motion kind, const Axes& axes);
    void stopMotion();
    // One display frame of the motion.
    void advanceMotion();

    // The pan's touches.
    void touchedDown();
    void panned(UIPanGestureRecognizer& pan);
    void touchesWereOver();
    void beginDrag(UIPanGestureRecognizer& pan);
    void drag(UIPanGestureRecognizer& pan);
    // Lets go at `velocity` (points per second, in the direction the offset moves).
    void endDrag(CGPoint velocity);
    // How each axis moves on from `offset` at `velocity`: towards `target` when the delegate chose it.
    Axes release(CGPoint offset, CGPoint velocity, const std::optional<CGPoint>& target) const;
    // Where the content comes to rest after a release at `velocity`, before the delegate has its say.
    CGPoint restingOffset(CGPoint offset, CGPoint velocity) const;
    void glide(const Axes& axes);
    // Whether the content moves along the axis (0 for x, 1 for y) under a finger.
    bool canScroll(int axis) const;
    void holdTrackingMode(bool hold);

    std::weak_ptr<UIScrollViewDelegate> delegate_;
    CGSize contentSize_;
    UIEdgeInsets contentInset_;

    bool scrollEnabled_ = true;
    bool pagingEnabled_ = false;
    bool bounces_ = true;
    bool alwaysBounceVertical_ = false;
    bool alwaysBounceHorizontal_ = false;
    UIScrollViewDecelerationRate decelerationRate_ = UIScrollViewDecelerationRateNormal;
    bool showsHorizontalIndicator_ = true;
    bool showsVerticalIndicator_ = true;
    bool scrollsToTop_ = true;
    bool delaysContentTouches_ = true;

    bool tracking_ = false;
    bool dragging_ = false;
    bool decelerating_ = false;

    Motion motion_ = Motion::none;
    Axes axes_;
    double motionStart_ = 0;
    std::shared_ptr<CADisplayLink> displayLink_;
    std::shared_ptr<UIScrollViewPanGestureRecognizer> pan_;
    // The offset less the pan's translation, before rubber-banding: where the drag puts the content.
    CGPoint dragOrigin_;
    bool holdsTrackingMode_ = false;
};

}  // namespace platform
