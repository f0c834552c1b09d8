#include "app/widgets/swipe/page_swipe_view.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "app/widgets/carousel/item_carousel.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/uikit/touches/ui_gesture_recognizer_delegate.h"
#include "platform/uikit/touches/ui_touch.h"

namespace quorvel {

using namespace platform;

namespace {

double now() {
    return NSDate::now().timeIntervalSinceReferenceDate();
}

}  // namespace

class PageSwipeView::Relay : public UIScrollViewDelegate, public UIGestureRecognizerDelegate {
public:
    explicit Relay(PageSwipeView& view) : view_(view) {}

    void scrollViewDidScroll(UIScrollView&) override { view_.scrollViewDidScroll(); }
    void scrollViewWillBeginDragging(UIScrollView&) override { view_.scrollViewWillBeginDragging(); }
    void scrollViewDidEndDragging(UIScrollView&, bool willDecelerate) override {
        view_.scrollViewDidEndDragging(willDecelerate);
    }
    void scrollViewWillBeginDecelerating(UIScrollView&) override { view_.scrollViewWillBeginDecelerating(); }
    void scrollViewDidEndDecelerating(UIScrollView&) override { view_.scrollViewDidEndDecelerating(); }

    bool gestureRecognizerShouldReceiveTouch(UIGestureRecognizer& recognizer, UITouch& touch) override {
        return &recognizer == view_.tap_.get() && view_.tapShouldReceiveTouch(touch.view().get());
    }

    void didTap(UIGestureRecognizer& tap) { view_.didTap(tap); }
    void step() { view_.step(); }

private:
    PageSwipeView& view_;
};

// Set-up --------------------------------------------------------------------------------------------

PageSwipeView::PageSwipeView() {
    setUp();
}

PageSwipeView::PageSwipeView(const CGRect& frame) : UIView(frame) {
    setUp();
}

PageSwipeView::~PageSwipeView() {
    stopAnimation();
}

void PageSwipeView::setUp() {
    relay_ = std::make_shared<Relay>(*this);
    scrollView_ = std::make_shared<UIScrollView>();
    scrollView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    scrollView_->setAutoresizesSubviews(true);
    scrollView_->setDelegate(relay_);
    scrollView_->setDelaysContentTouches(delaysContentTouches_);
    applyBounces();
    scrollView_->setPagingEnabled(pagingEnabled_);
    scrollView_->setScrollEnabled(scrollEnabled_);
    // The scroll view's own rate: handing it this field's zero first would stop every fling dead.
    decelerationRate_ = static_cast<float>(scrollView_->decelerationRate());
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setScrollsToTop(false);
    scrollView_->setClipsToBounds(false);
    previousContentOffset_ = scrollView_->contentOffset();

    tap_ = std::make_shared<UITapGestureRecognizer>();
    tap_->addTarget(relay_, &Relay::didTap);
    tap_->setDelegate(relay_);
    scrollView_->addGestureRecognizer(tap_);

    setClipsToBounds(true);
    insertSubview(scrollView_, 0);
}

// Settings ----------------------------------------------------------------------------------------

void PageSwipeView::setDataSource(std::weak_ptr<PageSwipeViewDataSource> dataSource) {
    if (dataSource.lock() == dataSource_.lock()) return;
    dataSource_ = std::move(dataSource);
    if (dataSource_.lock()) reloadData();
}

void PageSwipeView::setDelegate(std::weak_ptr<PageSwipeViewDelegate> delegate) {
    if (delegate.lock() == delegate_.lock()) return;
    delegate_ = std::move(delegate);
    setNeedsLayout();
}

void PageSwipeView::setTruncateFinalPage(bool truncate) {
    if (truncate == truncateFinalPage_) return;
    truncateFinalPage_ = truncate;
    setNeedsLayout();
}

void PageSwipeView::setPagingEnabled(bool enabled) {
    if (enabled == pagingEnabled_) return;
    pagingEnabled_ = enabled;
    scrollView_->setPagingEnabled(enabled);
    setNeedsLayout();
}

void PageSwipeView::setScrollEnabled(bool enabled) {
    if (enabled == scrollEnabled_) return;
    scrollEnabled_ = enabled;
    scrollView_->setScrollEnabled(enabled);
}

void PageSwipeView::setWrapEnabled(bool enabled) {
    if (enabled == wrapEnabled_) return;
    const double offset = clampedOffset(scrollOffset_);
    wrapEnabled_ = enabled;
    scrollView_->setBounces(bounces_ && !wrapEnabled_);
    setNeedsLayout();
    layoutIfNeeded();
    // Unconditionally: the content offset still lies in the copy the wrapped content had scrolled to,
    // which the unwrapped content may not have at all.
    moveToScrollOffset(offset);
}

void PageSwipeView::setDelaysContentTouches(bool delays) {
    delaysContentTouches_ = delays;
    scrollView_->setDelaysContentTouches(delays);
}

void PageSwipeView::setBounces(bool bounces) {
    if (bounces == bounces_) return;
    bounces_ = bounces;
    applyBounces();
}

void PageSwipeView::applyBounces() {
    scrollView_->setAlwaysBounceHorizontal(bounces_ && !vertical_);
    scrollView_->setAlwaysBounceVertical(bounces_ && vertical_);
    scrollView_->setBounces(bounces_ && !wrapEnabled_);
}

void PageSwipeView::setVertical(bool vertical) {
    if (vertical == vertical_) return;
    vertical_ = vertical;
    applyBounces();
    setNeedsLayout();
}

void PageSwipeView::setDecelerationRate(float rate) {
    if (!(std::abs(rate - decelerationRate_) > 0.0001f)) return;
    decelerationRate_ = rate;
    scrollView_->setDecelerationRate(rate);
}

void PageSwipeView::setItemsPerPage(long itemsPerPage) {
    // A page of no items would divide every page count by zero.
    itemsPerPage = std::max(1L, itemsPerPage);
    if (itemsPerPage == itemsPerPage_) return;
    itemsPerPage_ = itemsPerPage;
    setNeedsLayout();
}

void PageSwipeView::setAlignment(PageSwipeViewAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    setNeedsLayout();
}

void PageSwipeView::setAutoscroll(double itemsPerSecond) {
    if (!(std::abs(itemsPerSecond - autoscroll_) > 0.0001)) return;
    autoscroll_ = itemsPerSecond;
    if (autoscroll_ != 0) startAnimation();
}

// Position ----------------------------------------------------------------------------------------

long PageSwipeView::numberOfPages() const {
    return long(std::ceil(float(numberOfItems_) / float(itemsPerPage_)));
}

long PageSwipeView::currentPage() const {
    const long p = itemsPerPage_;
    if (p > 1 && truncateFinalPage_ && !wrapEnabled_ && currentItemIndex_ > (numberOfItems_ / p - 1) * p) {
        return numberOfPages() - 1;
    }
    return long(std::round(float(currentItemIndex_) / float(p)));
}

void PageSwipeView::setCurrentPage(long page) {
    if (page * itemsPerPage_ != currentItemIndex_) scrollToPage(page, 0);
}

void PageSwipeView::setCurrentItemIndex(long index) {
    currentItemIndex_ = index;
    setScrollOffset(double(index));
}

void PageSwipeView::setScrollOffset(double offset) {
    if (std::abs(scrollOffset_ - offset) > 0.0001) moveToScrollOffset(offset);
}

void PageSwipeView::moveToScrollOffset(double offset) {
    if (!std::isfinite(offset)) return;
    scrollOffset_ = offset;
    lastUpdateOffset_ = offset - 1;  // loads at the scroll event below, deferred or not
    scrolling_ = false;
    updateItemSizeAndCount();
    updateScrollViewDimensions();
    updateLayout();
    setContentOffsetWithoutEvent(pointAlong(clampedOffset(offset) * itemLength()));
    didScroll();
}

CGFloat PageSwipeView::itemLength() const {
    return along(itemSize_);
}

CGPoint PageSwipeView::pointAlong(CGFloat value) const {
    return vertical_ ? CGPoint{0, value} : CGPoint{value, 0};
}

long PageSwipeView::clampedIndex(long index) const {
    const long n = numberOfItems_;
    if (!wrapEnabled_) return std::min(std::max(0L, index), std::max(0L, n - 1));
    if (n == 0) return 0;
    const float i = float(index), count = float(n);
    return long(i - std::floor(i / count) * count);
}

double PageSwipeView::clampedOffset(double offset) const {
    const long n = numberOfItems_;
    if (!wrapEnabled_) return float(std::min(std::max(0.0, offset), std::max(0.0, double(n) - 1)));
    if (n == 0) return 0;
    const float turns = std::floor(float(offset / double(n)));
    return offset - double(turns * float(n));
}

double PageSwipeView::minScrollDistanceFromOffset(double from, double to) const {
    const double direct = to - from;
    if (!wrapEnabled_) return direct;
    const double around = float(std::min(from, to) + double(numberOfItems_) - std::max(from, to));
    if (std::abs(direct) <= std::abs(around)) return direct;
    return from < to ? -around : around;
}

double PageSwipeView::offsetForItemAtIndex(long index) const {
    double offset = double(index) - scrollOffset_;
    if (!wrapEnabled_) return offset;
    const long n = numberOfItems_;
    if (alignment_ == PageSwipeViewAlignment::center) {
        if (offset > double(n / 2)) {
            offset -= double(n);
        } else if (offset < -double(n / 2)) {
            offset += double(n);
        }
        return offset;
    }
    const CGFloat length = itemLength();
    const CGFloat position = offset * length + along(scrollView_->frame().origin);
    if (position > along(bounds().size)) {
        offset -= double(n);
    } else if (position < -length) {
        offset += double(n);
    }
    return offset;
}

// Items -------------------------------------------------------------------------------------------

std::vector<long> PageSwipeView::indexesForVisibleItems() const {
    std::vector<long> indexes;
    for (const auto& [index, view] : itemViews_) indexes.push_back(index);
    return indexes;
}

std::vector<std::shared_ptr<UIView>> PageSwipeView::visibleItemViews() const {
    std::vector<std::shared_ptr<UIView>> views;
    for (const auto& [index, view] : itemViews_) views.push_back(view);
    return views;
}

std::shared_ptr<UIView> PageSwipeView::itemViewAtIndex(long index) const {
    const auto found = itemViews_.find(index);
    return found == itemViews_.end() ? nullptr : found->second;
}

long PageSwipeView::indexOfItemView(const UIView* view) const {
    for (const auto& [index, itemView] : itemViews_) {
        if (itemView.get() == view) return index;
    }
    return kNotFound;
}

long PageSwipeView::indexOfItemViewOrSubview(const UIView* view) const {
    std::shared_ptr<UIView> ancestor;
    while (view && view != scrollView_.get()) {
        const long index = indexOfItemView(view);
        if (index != kNotFound) return index;
        ancestor = view->superview();
        view = ancestor.get();
    }
    return kNotFound;
}

void PageSwipeView::queueItemView(const std::shared_ptr<UIView>& view) {
    if (view && std::find(itemViewPool_.begin(), itemViewPool_.end(), view) == itemViewPool_.end()) {
        itemViewPool_.push_back(view);
    }
}

std::shared_ptr<UIView> PageSwipeView::dequeueItemView() {
    if (itemViewPool_.empty()) return nullptr;
    auto view = itemViewPool_.back();
    itemViewPool_.pop_back();
    return view;
}

std::shared_ptr<UIView> PageSwipeView::viewForItemAtIndex(long index) {
    auto source = dataSource();
    auto view = source ? source->swipeViewViewForItemAtIndex(*this, index, dequeueItemView()) : nullptr;
    return view ? view : std::make_shared<UIView>();
}

void PageSwipeView::reloadData() {
    for (const auto& view : visibleItemViews()) view->removeFromSuperview();
    itemViews_.clear();
    itemViewPool_.clear();
    updateItemSizeAndCount();
    setNeedsLayout();
    if (numberOfItems_ > 0 && scrollOffset_ < 0) setScrollOffset(0);
}

void PageSwipeView::reloadItemAtIndex(long index) {
    if (itemViewAtIndex(index)) loadViewAtIndex(index);
}

// Layout ------------------------------------------------------------------------------------------

void PageSwipeView::layoutSubviews() {
    UIView::layoutSubviews();
    updateItemSizeAndCount();
    updateScrollViewDimensions();
    updateLayout();
    if (pagingEnabled_ && !scrolling_) scrollToItemAtIndex(currentItemIndex_, 0.25);
}

void PageSwipeView::updateItemSizeAndCount() {
    auto source = dataSource();
    // A negative count is no items.
    numberOfItems_ = source ? std::max(0L, source->numberOfItemsInSwipeView(*this)) : 0;
    auto d = delegate();
    const CGSize size = d ? d->swipeViewItemSize(*this) : CGSize{};
    if (!(size == CGSize{})) {
        itemSize_ = size;
    } else if (numberOfItems_ > 0) {
        auto view = itemViews_.empty() ? nullptr : itemViews_.rbegin()->second;
        if (!view) {
            view = viewForItemAtIndex(0);
            queueItemView(view);  // measured only: the next item to load may have it
        }
        itemSize_ = view->frame().size;
    }
    if (!(itemSize_.width >= 0.0001)) itemSize_.width = 1;
    if (!(itemSize_.height >= 0.0001)) itemSize_.height = 1;
}

void PageSwipeView::updateScrollViewDimensions() {
    const CGRect b = bounds();
    const UIEdgeInsets insets = scrollView_->contentInset();
    const double p = double(itemsPerPage_), n = double(numberOfItems_);
    CGRect frame = scrollView_->frame();
    CGSize content = scrollView_->contentSize();
    switch (alignment_) {
        case PageSwipeViewAlignment::edge:
            if (vertical_) {
                frame = CGRectMake(0, 0, b.size.width, itemSize_.height * p);
                content = {b.size.width - insets.left - insets.right,
                           itemSize_.height * n - (b.size.height - frame.size.height)};
            } else {
                frame = CGRectMake(0, 0, itemSize_.width * p, b.size.height);
                content = {itemSize_.width * n - (b.size.width - frame.size.width),
                           b.size.height - insets.top - insets.bottom};
            }
            break;
        case PageSwipeViewAlignment::center:
            if (vertical_) {
                frame = CGRectMake(0, (b.size.height - itemSize_.height * p) / 2, b.size.width,
                                   itemSize_.height * p);
                content.height = itemSize_.height * n;
            } else {
                frame = CGRectMake((b.size.width - itemSize_.width * p) / 2, 0, itemSize_.width * p,
                                   b.size.height);
                content.width = itemSize_.width * n;
            }
            break;
        default:
            frame = b;
            content = vertical_ ? CGSize{b.size.width - insets.left - insets.right, b.size.height}
                                : CGSize{b.size.width, b.size.height - insets.top - insets.bottom};
            break;
    }
    CGFloat& length = vertical_ ? content.height : content.width;
    // Too few items to fill the view leave nothing to scroll, not a negative length.
    length = std::max<CGFloat>(0, length);
    if (wrapEnabled_) {
        length = itemLength() * (numberOfItems_ == 1 ? 1 : 3 * n);
    } else if (pagingEnabled_ && !truncateFinalPage_) {
        const CGFloat page = along(frame.size);
        if (page > 0) length = std::ceil(length / page) * page;
    }
    if (!(scrollView_->frame() == frame)) scrollView_->setFrame(frame);
    if (!(scrollView_->contentSize() == content)) scrollView_->setContentSize(content);
}

void PageSwipeView::updateScrollOffset() {
    if (wrapEnabled_) {
        const CGFloat segment = along(scrollView_->contentSize()) / (numberOfItems_ == 1 ? 1 : 3);
        const CGFloat offset = along(scrollView_->contentOffset());
        CGFloat jump = 0;
        if (offset < segment) {
            jump = segment;
        } else if (offset >= 2 * segment) {
            jump = -segment;
        }
        if (jump != 0) {
            (vertical_ ? previousContentOffset_.y : previousContentOffset_.x) += jump;
            setContentOffsetWithoutEvent(pointAlong(offset + jump));
        }
        scrollOffset_ = clampedOffset(scrollOffset_);
    }
    const CGPoint offset = scrollView_->contentOffset();
    if ((vertical_ ? offset.x : offset.y) > 0.0001) setContentOffsetWithoutEvent(pointAlong(along(offset)));
}

void PageSwipeView::updateLayout() {
    updateScrollOffset();
    loadUnloadViews();
    layOutItemViews();
}

void PageSwipeView::setFrameForView(UIView& view, long index) {
    if (!window()) return;
    const double offset = offsetForItemAtIndex(index);
    const CGPoint contentOffset = scrollView_->contentOffset();
    const CGSize scrollSize = scrollView_->frame().size;
    const CGPoint center =
        vertical_ ? CGPoint{scrollSize.width / 2, (offset + 0.5) * itemSize_.height + contentOffset.y}
                  : CGPoint{(offset + 0.5) * itemSize_.width + contentOffset.x, scrollSize.height / 2};
    UIView::performWithoutAnimation([&] {
        view.setCenter(center);
        view.setBounds(CGRect({0, 0}, itemSize_));
    });
}

void PageSwipeView::layOutItemViews() {
    for (const auto& [index, view] : itemViews_) setFrameForView(*view, index);
}

void PageSwipeView::loadUnloadViews() {
    const CGFloat length = itemLength();
    if (length == 0) return;
    const double origin = along(scrollView_->frame().origin) / length;
    const double start = clampedOffset(scrollOffset_ - origin);
    const double span = along(bounds().size) / length;
    long first = 0, count = 0;
    if (defersItemViewLoading_) {
        first = currentItemIndex_ - long(std::ceil(origin)) - 1;
        count = long(std::ceil(span)) + 3;
    } else {
        first = long(std::floor(start));
        count = long(std::ceil(span + start - double(first)));
    }
    count = std::min(count, numberOfItems_);
    std::set<long> visible;
    for (long i = 0; i < count; ++i) visible.insert(clampedIndex(first + i));

    for (auto it = itemViews_.begin(); it != itemViews_.end();) {
        if (visible.contains(it->first)) {
            ++it;
            continue;
        }
        queueItemView(it->second);
        it->second->removeFromSuperview();
        it = itemViews_.erase(it);
    }
    for (long index : visible) {
        if (!itemViews_.contains(index)) loadViewAtIndex(index);
    }
}

void PageSwipeView::loadViewAtIndex(long index) {
    auto view = viewForItemAtIndex(index);
    if (auto old = itemViewAtIndex(index); old && old != view) {
        queueItemView(old);
        old->removeFromSuperview();
    }
    itemViews_[index] = view;
    setFrameForView(*view, index);
    view->setUserInteractionEnabled(true);
    scrollView_->addSubview(view);
}

// Scrolling ---------------------------------------------------------------------------------------

void PageSwipeView::setContentOffsetWithoutEvent(CGPoint offset) {
    suppressScrollEvent_ = true;
    scrollView_->setContentOffset(offset);
    suppressScrollEvent_ = false;
}

void PageSwipeView::didScroll() {
    // The delegate may let go of this view while it hears of the scroll.
    auto keep = weak_from_this().lock();
    updateScrollOffset();
    layOutItemViews();
    auto d = delegate();
    if (d) d->swipeViewDidScroll(*this);
    if (defersItemViewLoading_ &&
        std::abs(minScrollDistanceFromOffset(lastUpdateOffset_, scrollOffset_)) < 1) {
        return;
    }
    currentItemIndex_ = clampedIndex(long(std::round(float(scrollOffset_))));
    lastUpdateOffset_ = double(currentItemIndex_);
    loadUnloadViews();
    if (currentItemIndex_ != previousItemIndex_) {
        previousItemIndex_ = currentItemIndex_;
        if (d) d->swipeViewCurrentItemIndexDidChange(*this);
    }
}

void PageSwipeView::scrollByOffset(double offset, double duration) {
    if (!(duration > 0)) return setScrollOffset(scrollOffset_ + offset);
    scrolling_ = true;
    startTime_ = now();
    startOffset_ = scrollOffset_;
    scrollDuration_ = duration;
    endOffset_ = startOffset_ + offset;
    if (!wrapEnabled_) endOffset_ = clampedOffset(endOffset_);
    startAnimation();
}

void PageSwipeView::scrollToOffset(double offset, double duration) {
    scrollByOffset(minScrollDistanceFromOffset(scrollOffset_, offset), duration);
}

void PageSwipeView::scrollByNumberOfItems(long count, double duration) {
    if (!(duration > 0)) return setScrollOffset(double(clampedIndex(previousItemIndex_ + count)));
    const float offset = float(scrollOffset_);
    const float target = count > 0   ? std::floor(offset) + float(count)
                         : count < 0 ? std::ceil(offset) + float(count)
                                     : std::round(offset);
    scrollByOffset(double(target) - scrollOffset_, duration);
}

void PageSwipeView::scrollToItemAtIndex(long index, double duration) {
    scrollToOffset(double(index), duration);
}

void PageSwipeView::scrollToPage(long page, double duration) {
    long index = page * itemsPerPage_;
    if (truncateFinalPage_) index = std::min(index, numberOfItems_ - itemsPerPage_);
    scrollToItemAtIndex(index, duration);
}

void PageSwipeView::startAnimation() {
    if (timer_) return;
    // Autoscroll's first step measures from now, not from a step long past.
    lastTime_ = now();
    timer_ = NSTimer::timerWithTimeInterval(kStepInterval, true, [relay = std::weak_ptr(relay_)](NSTimer&) {
        if (auto r = relay.lock()) r->step();
    });
    NSRunLoop::main().addTimer(timer_, NSDefaultRunLoopMode);
    NSRunLoop::main().addTimer(timer_, UITrackingRunLoopMode);
}

void PageSwipeView::stopAnimation() {
    if (auto timer = std::move(timer_)) timer->invalidate();
}

void PageSwipeView::step() {
    auto keep = weak_from_this().lock();
    const double current = now();
    const double elapsedSinceLast = lastTime_ - current;
    lastTime_ = current;
    if (scrolling_) {
        const float t = std::min(1.0f, float((current - startTime_) / scrollDuration_));
        scrollOffset_ = clampedOffset(startOffset_ + (endOffset_ - startOffset_) * ItemCarousel::easeInOut(t));
        setContentOffsetWithoutEvent(pointAlong(scrollOffset_ * itemLength()));
        didScroll();
        if (t == 1.0f) {
            scrolling_ = false;
            didScroll();
            if (auto d = delegate()) d->swipeViewDidEndScrollingAnimation(*this);
        }
    } else if (autoscroll_ != 0) {
        if (!scrollView_->isDragging())
            setScrollOffset(clampedOffset(scrollOffset_ + elapsedSinceLast * autoscroll_));
    } else {
        stopAnimation();
    }
}

void PageSwipeView::didMoveToSuperview() {
    if (!superview()) return stopAnimation();
    setNeedsLayout();
    if (scrolling_) startAnimation();
}

// The scroll view's messages -----------------------------------------------------------------------

void PageSwipeView::scrollViewDidScroll() {
    const CGPoint offset = scrollView_->contentOffset();
    if (suppressScrollEvent_) {
        previousContentOffset_ = offset;
        return;
    }
    scrolling_ = false;
    const CGFloat delta = along(offset) - along(previousContentOffset_);
    previousContentOffset_ = offset;
    // Before the first layout no item has a size yet.
    if (itemLength() > 0) scrollOffset_ += delta / itemLength();
    didScroll();
}

void PageSwipeView::scrollViewWillBeginDragging() {
    if (auto d = delegate()) d->swipeViewWillBeginDragging(*this);
    lastUpdateOffset_ = scrollOffset_ - 1;
    didScroll();
}

void PageSwipeView::scrollViewDidEndDragging(bool willDecelerate) {
    if (!willDecelerate) {
        lastUpdateOffset_ = scrollOffset_ - 1;
        didScroll();
    }
    if (auto d = delegate()) d->swipeViewDidEndDragging(*this, willDecelerate);
}

void PageSwipeView::scrollViewWillBeginDecelerating() {
    if (auto d = delegate()) d->swipeViewWillBeginDecelerating(*this);
}

void PageSwipeView::scrollViewDidEndDecelerating() {
    const double nearest = std::round(scrollOffset_);
    if (std::abs(scrollOffset_ - nearest) < 0.01) scrollOffset_ = nearest;
    lastUpdateOffset_ = scrollOffset_ - 1;
    didScroll();
    if (auto d = delegate()) d->swipeViewDidEndDecelerating(*this);
}

// Touches -----------------------------------------------------------------------------------------

bool PageSwipeView::tapShouldReceiveTouch(const UIView* touched) {
    const long index = indexOfItemViewOrSubview(touched);
    if (index == kNotFound) return false;
    if (auto d = delegate(); d && !d->swipeViewShouldSelectItemAtIndex(*this, index)) {
        return false;
    }
    // A view that handles its own touches (a button in an item, say) keeps them.
    std::shared_ptr<UIView> ancestor;
    for (const UIView* view = touched; view && view != scrollView_.get(); view = ancestor.get()) {
        if (view->handlesTouchPhase(UITouchPhase::began)) return false;
        ancestor = view->superview();
    }
    return true;
}

void PageSwipeView::didTap(UIGestureRecognizer& tap) {
    const CGPoint point = tap.locationInView(scrollView_.get());
    long index = long(along(point) / itemLength());
    if (wrapEnabled_) {
        if (numberOfItems_ == 0) return;  // nothing to take the position modulo
        index %= numberOfItems_;
    }
    if (index >= 0 && index < numberOfItems_) {
        if (auto d = delegate()) d->swipeViewDidSelectItemAtIndex(*this, index);
    }
}

std::shared_ptr<UIView> PageSwipeView::hitTest(CGPoint point, const UIEvent* event) {
    auto view = UIView::hitTest(point, event);
    if (view.get() != this) return view;
    const CGRect scrollFrame = scrollView_->frame();
    const CGPoint contentOffset = scrollView_->contentOffset();
    for (const auto& subview : scrollView_->subviews()) {
        const CGRect frame = subview->frame();
        const CGPoint local{point.x - scrollFrame.origin.x + contentOffset.x - frame.origin.x,
                            point.y - scrollFrame.origin.y + contentOffset.y - frame.origin.y};
        if (auto hit = subview->hitTest(local, event)) return hit;
    }
    return scrollView_;
}

}  // namespace quorvel
