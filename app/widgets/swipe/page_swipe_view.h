#pragma once

#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "app/widgets/swipe/page_swipe_view_data_source.h"
#include "app/widgets/swipe/page_swipe_view_delegate.h"
#include "platform/foundation/ns_timer.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// Where the pages sit: from the view's leading edge, or centred in it.
enum class PageSwipeViewAlignment : unsigned long { edge = 0, center = 1 };

// A data source's item views in a row (or a column), one or more to a page, on a scroll view that does
// the dragging, gliding and paging. The swipe view keeps its own position, the scroll offset, measured in
// items, in step with the scroll view's content offset, and loads only the views in sight, recycling the
// others. It can wrap round (the content is then three copies of the items, and the offset is moved back
// to the middle copy), scroll by itself on a timer, eased, and scroll on steadily (autoscroll).
// Main thread only.
class PageSwipeView : public platform::UIView {
public:
    // The index of a view that is not a loaded item (NSNotFound).
    static constexpr long kNotFound = std::numeric_limits<long>::max();
    // The timer of timed scrolls and autoscroll.
    static constexpr double kStepInterval = 1.0 / 60;

    // As an interface file makes it.
    PageSwipeView();
    explicit PageSwipeView(const platform::CGRect& frame);
    ~PageSwipeView() override;

    // Held weakly. Setting a data source reloads.
    std::shared_ptr<PageSwipeViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<PageSwipeViewDataSource> dataSource);
    std::shared_ptr<PageSwipeViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<PageSwipeViewDelegate> delegate);

    // Settings. Each setter acts only on a change (delaysContentTouches always forwards).
    // The last page ends at the last item instead of being padded to a whole page.
    bool truncateFinalPage() const { return truncateFinalPage_; }
    void setTruncateFinalPage(bool truncate);
    // Paging also re-centres the current item after each layout.
    bool pagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled);
    bool scrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled);
    // A circular sequence of items.
    bool wrapEnabled() const { return wrapEnabled_; }
    void setWrapEnabled(bool enabled);
    bool delaysContentTouches() const { return delaysContentTouches_; }
    void setDelaysContentTouches(bool delays);
    // The scroll view bounces only while the items do not wrap.
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces);
    // Views are loaded and unloaded only once the offset has moved a whole item.
    bool defersItemViewLoading() const { return defersItemViewLoading_; }
    void setDefersItemViewLoading(bool defers) { defersItemViewLoading_ = defers; }
    // Items run along y.
    bool vertical() const { return vertical_; }
    void setVertical(bool vertical);
    float decelerationRate() const { return decelerationRate_; }
    void setDecelerationRate(float rate);
    // Counts below 1 count as 1.
    long itemsPerPage() const { return itemsPerPage_; }
    void setItemsPerPage(long itemsPerPage);
    PageSwipeViewAlignment alignment() const { return alignment_; }
    void setAlignment(PageSwipeViewAlignment alignment);
    // Items per second of steady scrolling, towards lower offsets when positive; 0 stops it.
    double autoscroll() const { return autoscroll_; }
    void setAutoscroll(double itemsPerSecond);

    // State.
    // A timed scroll is running.
    bool scrolling() const { return scrolling_; }
    bool isDragging() const { return scrollView_->isDragging(); }
    bool isDecelerating() const { return scrollView_->isDecelerating(); }
    long numberOfItems() const { return numberOfItems_; }
    long numberOfPages() const;
    long currentItemIndex() const { return currentItemIndex_; }
    void setCurrentItemIndex(long index);
    long currentPage() const;
    void setCurrentPage(long page);
    // The position, in items.
    double scrollOffset() const { return scrollOffset_; }
    void setScrollOffset(double offset);
    platform::CGSize itemSize() const { return itemSize_; }
    const std::shared_ptr<platform::UIScrollView>& scrollView() const { return scrollView_; }

    // Items. Loaded views only; item views are subviews of the scroll view.
    std::shared_ptr<platform::UIView> currentItemView() const { return itemViewAtIndex(currentItemIndex_); }
    std::vector<long> indexesForVisibleItems() const;
    std::vector<std::shared_ptr<platform::UIView>> visibleItemViews() const;
    std::shared_ptr<platform::UIView> itemViewAtIndex(long index) const;
    long indexOfItemView(const platform::UIView* view) const;
    // The item of the view or of its nearest ancestor below the scroll view.
    long indexOfItemViewOrSubview(const platform::UIView* view) const;
    // Views out of sight, handed back to the data source for reuse.
    const std::vector<std::shared_ptr<platform::UIView>>& itemViewPool() const { return itemViewPool_; }
    // The offset of an item from the scroll offset, taken the near way round when wrapping.
    double offsetForItemAtIndex(long index) const;

    // Movers: a duration of 0 or less moves at once; otherwise the offset follows an ease-in-ease-out
    // curve over the duration. When wrapping, offsets are reached the shorter way round.
    void scrollByOffset(double offset, double duration);
    void scrollToOffset(double offset, double duration);
    // To the whole item `count` items on (0: the nearest).
    void scrollByNumberOfItems(long count, double duration);
    void scrollToItemAtIndex(long index, double duration);
    void scrollToPage(long page, double duration);

    void reloadData();
    // Loaded items only.
    void reloadItemAtIndex(long index);

    void layoutSubviews() override;
    void didMoveToSuperview() override;
    // A touch beside the scroll view (a centred page leaves room on either side) still reaches the items.
    std::shared_ptr<platform::UIView> hitTest(platform::CGPoint point,
                                              const platform::UIEvent* event) override;

private:
    // The scroll view's and the tap's delegate: forwards to the swipe view, and goes with it.
    class Relay;
    friend class Relay;

    void setUp();
    void applyBounces();
    platform::CGFloat itemLength() const;
    platform::CGFloat along(platform::CGPoint point) const { return vertical_ ? point.y : point.x; }
    platform::CGFloat along(platform::CGSize size) const { return vertical_ ? size.height : size.width; }
    platform::CGPoint pointAlong(platform::CGFloat value) const;

    long clampedIndex(long index) const;
    double clampedOffset(double offset) const;
    double minScrollDistanceFromOffset(double from, double to) const;

    void updateItemSizeAndCount();
    void updateScrollViewDimensions();
    void updateScrollOffset();
    void updateLayout();
    void setFrameForView(platform::UIView& view, long index);
    void layOutItemViews();
    void loadUnloadViews();
    void loadViewAtIndex(long index);
    std::shared_ptr<platform::UIView> viewForItemAtIndex(long index);
    void queueItemView(const std::shared_ptr<platform::UIView>& view);
    std::shared_ptr<platform::UIView> dequeueItemView();
    void setContentOffsetWithoutEvent(platform::CGPoint offset);
    // setScrollOffset without its check for a change.
    void moveToScrollOffset(double offset);
    void didScroll();

    void startAnimation();
    void stopAnimation();
    void step();

    // The scroll view's messages and the tap's.
    void scrollViewDidScroll();
    void scrollViewWillBeginDragging();
    void scrollViewDidEndDragging(bool willDecelerate);
    void scrollViewWillBeginDecelerating();
    void scrollViewDidEndDecelerating();
    bool tapShouldReceiveTouch(const platform::UIView* touched);
    void didTap(platform::UIGestureRecognizer& tap);

    bool truncateFinalPage_ = false;
    bool pagingEnabled_ = true;
    bool scrollEnabled_ = true;
    bool wrapEnabled_ = false;
    bool delaysContentTouches_ = true;
    bool bounces_ = true;
    bool scrolling_ = false;
    bool defersItemViewLoading_ = false;
    bool vertical_ = false;
    bool suppressScrollEvent_ = false;
    float decelerationRate_ = 0;
    std::weak_ptr<PageSwipeViewDataSource> dataSource_;
    std::weak_ptr<PageSwipeViewDelegate> delegate_;
    long numberOfItems_ = 0;
    long itemsPerPage_ = 1;
    long currentItemIndex_ = 0;
    PageSwipeViewAlignment alignment_ = PageSwipeViewAlignment::edge;
    double scrollOffset_ = 0;
    double autoscroll_ = 0;
    std::shared_ptr<platform::UIScrollView> scrollView_;
    std::map<long, std::shared_ptr<platform::UIView>> itemViews_;
    std::vector<std::shared_ptr<platform::UIView>> itemViewPool_;
    long previousItemIndex_ = 0;
    double scrollDuration_ = 0, startTime_ = 0, lastTime_ = 0, startOffset_ = 0, endOffset_ = 0;
    double lastUpdateOffset_ = 0;
    std::shared_ptr<platform::NSTimer> timer_;
    platform::CGSize itemSize_;
    platform::CGPoint previousContentOffset_;
    std::shared_ptr<platform::UITapGestureRecognizer> tap_;
    // Last, so that it goes first: nothing reaches the swipe view while its parts are destroyed.
    std::shared_ptr<Relay> relay_;
};

}  // namespace quorvel
