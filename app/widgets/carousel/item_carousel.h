#pragma once

#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "app/widgets/carousel/item_carousel_data_source.h"
#include "app/widgets/carousel/item_carousel_delegate.h"
#include "app/widgets/carousel/item_carousel_option.h"
#include "app/widgets/carousel/item_carousel_type.h"
#include "platform/foundation/ns_timer.h"
#include "platform/quartzcore/ca_transform_3d.h"
#include "platform/uikit/touches/ui_gesture_recognizer_delegate.h"
#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {
class UIScrollView;
}

namespace quorvel {

// A view that shows its data source's item views along a path in space and lets the user turn them.
// Its position is one number, the scroll offset, in items: 3.0 centres item 3, 3.5 lies half-way to
// item 4. Each item is placed from its distance to the offset by the layout type, tuned by the options
// the delegate answers. Only the items near the centre have views, each in a plain container (which
// takes the transform, alpha and hiding); views that leave are kept in two pools and handed back to the
// data source for reuse.
//
// Every motion (a timed scroll, the run-out after a flick, the snap between items, autoscroll) is driven
// by one repeating timer on the main run loop that reads the media clock. Main thread only.
class ItemCarousel : public platform::UIView, public platform::UIGestureRecognizerDelegate {
public:
    // The index of a view that is not a loaded item view.
    static constexpr long NotFound = std::numeric_limits<long>::max();

    ItemCarousel();
    explicit ItemCarousel(const platform::CGRect& frame);
    ~ItemCarousel() override;

    // --- Data source and delegate (held weakly) ---------------------------------------------------
    std::shared_ptr<ItemCarouselDataSource> dataSource() const { return dataSource_.lock(); }
    // A new one is read at once.
    void setDataSource(std::weak_ptr<ItemCarouselDataSource> dataSource);
    std::shared_ptr<ItemCarouselDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ItemCarouselDelegate> delegate);

    // --- Settings ----------------------------------------------------------------------------------
    // The user may drag; off, any touch still leaves the motion as it is.
    bool scrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }
    // A flick moves to the next item only.
    bool pagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    bool vertical() const { return vertical_; }
    void setVertical(bool vertical);
    // Recomputed from the wrap option at every layout pass.
    bool wrapEnabled() const { return wrapEnabled_; }
    void setWrapEnabled(bool enabled) { wrapEnabled_ = enabled; }
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    bool stopAtItemBoundary() const { return stopAtItemBoundary_; }
    void setStopAtItemBoundary(bool value) { stopAtItemBoundary_ = value; }
    bool scrollToItemBoundary() const { return scrollToItemBoundary_; }
    void setScrollToItemBoundary(bool value) { scrollToItemBoundary_ = value; }
    bool ignorePerpendicularSwipes() const { return ignorePerpendicularSwipes_; }
    void setIgnorePerpendicularSwipes(bool value) { ignorePerpendicularSwipes_ = value; }
    // A tap on another item centres it, and only the centred item's container takes touches.
    bool centerItemWhenSelected() const { return centerItemWhenSelected_; }
    void setCenterItemWhenSelected(bool value) { centerItemWhenSelected_ = value; }
    // Index distances on a wrapped carousel take the shorter way round.
    bool minScroll() const { return minScroll_; }
    void setMinScroll(bool value) { minScroll_ = value; }
    // Kept for the owner; the carousel never reads it.
    bool isTouching() const { return isTouching_; }
    void setIsTouching(bool value) { isTouching_ = value; }
    // A timer started while set runs at 4 steps a second instead of 60.
    bool isRunning() const { return isRunning_; }
    void setIsRunning(bool value);

    ItemCarouselType type() const { return type_; }
    void setType(ItemCarouselType type);
    double perspective() const { return perspective_; }
    void setPerspective(double perspective);
    double decelerationRate() const { return decelerationRate_; }
    void setDecelerationRate(double rate) { decelerationRate_ = rate; }
    double scrollSpeed() const { return scrollSpeed_; }
    void setScrollSpeed(double speed) { scrollSpeed_ = speed; }
    // How far, in items, the offset may overshoot either end while bouncing.
    double bounceDistance() const { return bounceDistance_; }
    void setBounceDistance(double distance) { bounceDistance_ = distance; }
    // Recomputed from its option at every layout pass.
    double offsetMultiplier() const { return offsetMultiplier_; }
    void setOffsetMultiplier(double multiplier) { offsetMultiplier_ = multiplier; }
    long numberOfVisibleItems() const { return numberOfVisibleItems_; }
    void setNumberOfVisibleItems(long count) { numberOfVisibleItems_ = count; }
    // The spacing unit along the axis, in points; 0 until the delegate or the first item gives one.
    double itemWidth() const { return itemWidth_; }
    void setItemWidth(double width) { itemWidth_ = width; }
    // Shifts every item's centre.
    platform::CGSize contentOffset() const { return contentOffset_; }
    void setContentOffset(platform::CGSize offset);
    // Shifts the point the items are seen from.
    platform::CGSize viewpointOffset() const { return viewpointOffset_; }
    void setViewpointOffset(platform::CGSize offset);
    // Items per second of continuous scrolling; a positive speed moves towards lower offsets.
    double autoscroll() const { return autoscroll_; }
    void setAutoscroll(double itemsPerSecond);

    // --- State -------------------------------------------------------------------------------------
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }
    bool isScrolling() const { return scrolling_; }
    // The last drag ended without a run-out.
    bool didDrag() const { return didDrag_; }
    long numberOfItems() const { return numberOfItems_; }
    long numberOfPlaceholders() const { return numberOfPlaceholders_; }
    // Items per second at the end of the last drag.
    double startVelocity() const { return startVelocity_; }
    // Between −1 and 1 while the carousel snaps from one item to the next (and for cover flow 2).
    double toggle() const { return toggle_; }
    const std::shared_ptr<platform::UIView>& contentView() const { return contentView_; }
    // The animation timer, while it runs.
    const std::shared_ptr<platform::NSTimer>& timer() const { return timer_; }

    double scrollOffset() const { return scrollOffset_; }
    // Stops any motion; a new value moves the items and tells the delegate.
    void setScrollOffset(double offset);
    // The item nearest the centre.
    long currentItemIndex() const;
    void setCurrentItemIndex(long index);
    std::shared_ptr<platform::UIView> currentItemView() const;
    // The positions with a loaded view, ascending (placeholders at negative positions and at those past
    // the last item), and their views in that order.
    std::vector<long> indexesForVisibleItems() const;
    std::vector<std::shared_ptr<platform::UIView>> visibleItemViews() const;

    // --- Data --------------------------------------------------------------------------------------
    // Counts afresh and drops every view; they load again at the next layout pass.
    void reloadData();
    void reloadItemAtIndex(long index, bool animated);
    void insertItemAtIndex(long index, bool animated);
    // Does nothing on an empty carousel.
    void removeItemAtIndex(long index, bool animated);

    // --- Lookups -----------------------------------------------------------------------------------
    std::shared_ptr<platform::UIView> itemViewAtIndex(long index) const;
    long indexOfItemView(const platform::UIView* view) const;
    // Of the item view that is `view` or holds it.
    long indexOfItemViewOrSubview(const platform::UIView* view) const;
    // The frontmost loaded view whose container lies under the point (in the content view's
    // coordinates).
    std::shared_ptr<platform::UIView> itemViewAtPoint(platform::CGPoint point) const;
    // The item's distance from the scroll offset, the short way round when wrapping.
    double offsetForItemAtIndex(long index) const;

    // --- Layout arithmetic -------------------------------------------------------------------------
    // The delegate's answer for the option, or the offered value.
    double valueForOption(ItemCarouselOption option, double value);
    long clampedIndex(long index) const;
    double clampedOffset(double offset) const;
    // How many items make a full turn of the rotary, cylinder and wheel types.
    long circularCarouselItemCount();
    platform::CATransform3D transformForItemViewWithOffset(double offset);
    double alphaForItemWithOffset(double offset);

    // --- Motion ------------------------------------------------------------------------------------
    // Over `duration` seconds, linearly; a duration of 0 or less moves at once.
    void scrollByOffset(double offset, double duration);
    void scrollToOffset(double offset, double duration);
    void scrollByNumberOfItems(long count, double duration);
    void scrollToItemAtIndex(long index, double duration);
    // Over 0.4 s, or at once.
    void scrollToItemAtIndex(long index, bool animated);
    void startRotatingWithDuration(double duration);
    void stopRotating();
    void startAnimation();
    void stopAnimation();

    // How far a flick at the current start velocity runs out, in items.
    double decelerationDistance() const;
    bool shouldDecelerate() const;
    bool shouldScroll() const;
    // The cubic ease in and out, in single precision; the swipe view eases its timed scrolls by it too.
    static double easeInOut(double time);

    // --- Gestures ----------------------------------------------------------------------------------
    void didPan(platform::UIPanGestureRecognizer& pan);
    void didTap(platform::UITapGestureRecognizer& tap);
    bool gestureRecognizerShouldReceiveTouch(platform::UIGestureRecognizer& recognizer,
                                             platform::UITouch& touch) override;
    // Also the view's own answer, as on the platform, where the two are one message.
    bool gestureRecognizerShouldBegin(platform::UIGestureRecognizer& recognizer) override;

    // Brackets changes to the item views: a transaction that animates only when `enabled`.
    void pushAnimationState(bool enabled);
    void popAnimationState();

    void layoutSubviews() override;
    void didMoveToSuperview() override;
    void viewDidMoveToSuperview() { didMoveToSuperview(); }

private:
    // Positions of loaded views, ascending, so that every pass over them runs in one order.
    using ItemViews = std::map<long, std::shared_ptr<platform::UIView>>;
    using Pool = std::vector<std::shared_ptr<platform::UIView>>;

    void setUp();
    // Empty while the carousel is not held by a shared_ptr.
    std::weak_ptr<ItemCarousel> weakSelf();
    // The recognisers answer to this carousel once it lives in a shared_ptr, which it does before it
    // can be touched: it has to be in a window.
    void connectRecognizers();

    // Layout.
    void layOutItemViews();
    void updateItemWidth();
    void updateNumberOfVisibleItems();
    // The extent along the axis divided by spacing × item width, rounded up in single precision.
    double itemsAcross(double spacing) const;
    // Whether the offset lies past either end (any offset off the circle when wrapping).
    bool isBeyondEnds(double offset) const;
    platform::CATransform3D baseTransform() const;
    platform::CATransform3D translatedAlongAxis(const platform::CATransform3D& transform, double distance,
                                                double z) const;
    platform::CATransform3D rotatedAboutAxis(const platform::CATransform3D& transform, double angle) const;
    // Rotary and cylinder types, and their inversions.
    platform::CATransform3D circularTransform(double offset, const platform::CATransform3D& base);
    platform::CATransform3D wheelTransform(double offset, const platform::CATransform3D& base);
    platform::CATransform3D coverFlowTransform(double offset, const platform::CATransform3D& base);
    void transformItemView(platform::UIView& view, long index);
    void transformItemViews();
    void updateToggle(double offset);
    void depthSortViews();
    std::vector<std::shared_ptr<platform::UIView>> viewsInDepthOrder() const;

    // Loading.
    void loadUnloadViews();
    std::shared_ptr<platform::UIView> loadViewAtIndex(
        long index, const std::shared_ptr<platform::UIView>& container = nullptr);
    std::shared_ptr<platform::UIView> containView(const std::shared_ptr<platform::UIView>& view);
    bool isItemPosition(long index) const { return index >= 0 && index < numberOfItems_; }
    void queueView(long position, const std::shared_ptr<platform::UIView>& view);
    static void addToPool(Pool& pool, const std::shared_ptr<platform::UIView>& view);
    static std::shared_ptr<platform::UIView> dequeue(Pool& pool);
    // Re-keys the loaded views for an item inserted at, or removed from, `index`.
    void shiftViewsForInsertionAt(long index);
    void shiftViewsForRemovalAt(long index);
    void reReadWrap();

    // Motion.
    void didScroll();
    void step();
    void startDecelerating();
    // Scrolls to the centred item (or `itemsAhead` past it), in a blink when it is already there.
    void settle(long itemsAhead);
    void endDrag();
    long minScrollDistanceFromIndex(long from, long to) const;
    double minScrollDistanceFromOffset(double from, double to) const;
    // Tells the delegate inside a transaction that animates its changes.
    template <typename Message>
    void notifyAnimated(Message message);

    // Gestures.
    double alongAxis(platform::CGPoint point) const { return vertical_ ? point.y : point.x; }
    // Whether `view` or one of its ancestors below the content view handles the touch phase itself.
    bool viewOrSuperviewHandles(const platform::UIView* view, platform::UITouchPhase phase) const;
    // The nearest scroll view from `view` up to the content view, if any.
    const platform::UIScrollView* enclosingScrollView(const platform::UIView* view) const;

    bool scrollEnabled_ = true;
    bool pagingEnabled_ = false;
    bool vertical_ = false;
    bool wrapEnabled_ = false;
    bool bounces_ = true;
    bool stopAtItemBoundary_ = true;
    bool scrollToItemBoundary_ = true;
    bool ignorePerpendicularSwipes_ = true;
    bool centerItemWhenSelected_ = true;
    bool dragging_ = false;
    bool decelerating_ = false;
    bool scrolling_ = false;
    bool minScroll_ = false;
    bool isTouching_ = false;
    bool isRunning_ = false;
    bool didDrag_ = false;
    bool recognizersConnected_ = false;

    std::weak_ptr<ItemCarouselDataSource> dataSource_;
    std::weak_ptr<ItemCarouselDelegate> delegate_;
    ItemCarouselType type_ = ItemCarouselType::linear;
    double perspective_ = double(-0.002f);
    double decelerationRate_ = double(0.95f);
    double scrollSpeed_ = 1;
    double bounceDistance_ = 1;
    double scrollOffset_ = 0;
    double offsetMultiplier_ = 1;
    long numberOfItems_ = 0;
    long numberOfPlaceholders_ = 0;
    long numberOfVisibleItems_ = 0;
    double itemWidth_ = 0;
    std::shared_ptr<platform::UIView> contentView_;
    double toggle_ = 0;
    double autoscroll_ = 0;
    ItemViews itemViews_;
    Pool itemViewPool_;
    Pool placeholderViewPool_;
    long previousItemIndex_ = 0;
    long numberOfPlaceholdersToShow_ = 0;
    double startOffset_ = 0;
    double endOffset_ = 0;
    double scrollDuration_ = 0;
    double startTime_ = 0;
    double lastTime_ = 0;
    double startVelocity_ = 0;
    std::shared_ptr<platform::NSTimer> timer_;
    double previousTranslation_ = 0;
    double toggleTime_ = 0;
    platform::CGSize contentOffset_;
    platform::CGSize viewpointOffset_;

    std::shared_ptr<platform::UIPanGestureRecognizer> pan_;
    std::shared_ptr<platform::UITapGestureRecognizer> tap_;
};

template <typename Message>
void ItemCarousel::notifyAnimated(Message message) {
    auto delegate = this->delegate();
    if (!delegate) return;
    pushAnimationState(true);
    message(*delegate);
    popAnimationState();
}

}  // namespace quorvel
