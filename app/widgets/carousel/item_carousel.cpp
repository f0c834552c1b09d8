#include "app/widgets/carousel/item_carousel.h"

#include <algorithm>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"
#include "platform/quartzcore/ca_media_timing_function.h"
#include "platform/quartzcore/ca_transaction.h"
#include "platform/quartzcore/ca_transition.h"

namespace quorvel {

using platform::CGRect;
using platform::CGSize;
using platform::UIView;

namespace {

// Inserted and removed items slide into place, and a reloaded one cross-fades, over this long.
constexpr double kChangeDuration = 0.4;
// A removed item fades out over this long before the others close the gap.
constexpr double kRemoveFadeDuration = 0.1;
// An inserted item fades in over the last part of the slide.
constexpr double kInsertFadeDelay = 0.3;
constexpr double kInsertFadeDuration = 0.1;

}  // namespace

ItemCarousel::ItemCarousel() : ItemCarousel(CGRect::zero()) {}

ItemCarousel::ItemCarousel(const CGRect& frame) : UIView(frame) {
    setUp();
}

ItemCarousel::~ItemCarousel() {
    stopAnimation();
}

void ItemCarousel::setUp() {
    contentView_ = std::make_shared<UIView>(bounds());
    contentView_->setAutoresizingMask(platform::UIViewAutoresizingFlexibleWidth |
                                      platform::UIViewAutoresizingFlexibleHeight);
    pan_ = std::make_shared<platform::UIPanGestureRecognizer>();
    tap_ = std::make_shared<platform::UITapGestureRecognizer>();
    contentView_->addGestureRecognizer(pan_);
    contentView_->addGestureRecognizer(tap_);
    addSubview(contentView_);
}

std::weak_ptr<ItemCarousel> ItemCarousel::weakSelf() {
    return std::static_pointer_cast<ItemCarousel>(weak_from_this().lock());
}

void ItemCarousel::connectRecognizers() {
    if (recognizersConnected_) return;
    auto self = weakSelf().lock();
    if (!self) return;
    pan_->addTarget(self, &ItemCarousel::didPan);
    tap_->addTarget(self, &ItemCarousel::didTap);
    pan_->setDelegate(self);
    tap_->setDelegate(self);
    recognizersConnected_ = true;
}

void ItemCarousel::layoutSubviews() {
    UIView::layoutSubviews();
    contentView_->setFrame(bounds());
    layOutItemViews();
}

void ItemCarousel::didMoveToSuperview() {
    connectRecognizers();
    if (superview()) {
        startAnimation();
    } else {
        stopAnimation();
    }
}

// Sources and settings ----------------------------------------------------------------------------

void ItemCarousel::setDataSource(std::weak_ptr<ItemCarouselDataSource> dataSource) {
    auto incoming = dataSource.lock();
    if (incoming == this->dataSource()) return;
    dataSource_ = std::move(dataSource);
    if (incoming) reloadData();
}

void ItemCarousel::setDelegate(std::weak_ptr<ItemCarouselDelegate> delegate) {
    auto incoming = delegate.lock();
    if (incoming == this->delegate()) return;
    delegate_ = std::move(delegate);
    if (incoming && dataSource()) setNeedsLayout();
}

void ItemCarousel::setIsRunning(bool value) {
    isRunning_ = value;
    platform::Console::print(std::string(64, '_') + " " + (value ? "RUNNING+" : "STOPPED-"));
}

void ItemCarousel::setType(ItemCarouselType type) {
    if (type == type_) return;
    type_ = type;
    layOutItemViews();
}

void ItemCarousel::setVertical(bool vertical) {
    if (vertical == vertical_) return;
    vertical_ = vertical;
    layOutItemViews();
}

void ItemCarousel::setContentOffset(CGSize offset) {
    if (offset == contentOffset_) return;
    contentOffset_ = offset;
    layOutItemViews();
}

void ItemCarousel::setPerspective(double perspective) {
    if (perspective == perspective_) return;
    perspective_ = perspective;
    transformItemViews();
}

void ItemCarousel::setViewpointOffset(CGSize offset) {
    if (offset == viewpointOffset_) return;
    viewpointOffset_ = offset;
    transformItemViews();
}

void ItemCarousel::setAutoscroll(double itemsPerSecond) {
    if (itemsPerSecond == autoscroll_) return;
    autoscroll_ = itemsPerSecond;
    if (autoscroll_ != 0) startAnimation();
}

void ItemCarousel::pushAnimationState(bool enabled) {
    platform::CATransaction::begin();
    platform::CATransaction::setDisableActions(!enabled);
}

void ItemCarousel::popAnimationState() {
    platform::CATransaction::commit();
}

// Lookups -----------------------------------------------------------------------------------------

std::shared_ptr<UIView> ItemCarousel::currentItemView() const {
    return itemViewAtIndex(currentItemIndex());
}

std::vector<long> ItemCarousel::indexesForVisibleItems() const {
    std::vector<long> indexes;
    for (const auto& [index, view] : itemViews_) indexes.push_back(index);
    return indexes;
}

std::vector<std::shared_ptr<UIView>> ItemCarousel::visibleItemViews() const {
    std::vector<std::shared_ptr<UIView>> views;
    for (const auto& [index, view] : itemViews_) views.push_back(view);
    return views;
}

std::shared_ptr<UIView> ItemCarousel::itemViewAtIndex(long index) const {
    auto it = itemViews_.find(index);
    return it == itemViews_.end() ? nullptr : it->second;
}

long ItemCarousel::indexOfItemView(const UIView* view) const {
    for (const auto& [index, loaded] : itemViews_) {
        if (loaded.get() == view) return index;
    }
    return NotFound;
}

long ItemCarousel::indexOfItemViewOrSubview(const UIView* view) const {
    for (const UIView* v = view; v && v != contentView_.get(); v = v->superview().get()) {
        if (long index = indexOfItemView(v); index != NotFound) return index;
    }
    return NotFound;
}

std::shared_ptr<UIView> ItemCarousel::itemViewAtPoint(platform::CGPoint point) const {
    const auto views = viewsInDepthOrder();
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        auto container = (*it)->superview();
        if (container && container->layer()->hitTest(point)) return *it;
    }
    return nullptr;
}

// Data --------------------------------------------------------------------------------------------

void ItemCarousel::reloadData() {
    for (const auto& [index, view] : itemViews_) {
        if (auto container = view->superview()) container->removeFromSuperview();
    }
    auto source = dataSource();
    if (!source || !contentView_) return;
    numberOfVisibleItems_ = 0;
    numberOfItems_ = std::max(0L, source->numberOfItemsInCarousel(*this));
    numberOfPlaceholders_ = std::max(0L, source->numberOfPlaceholdersInCarousel(*this));
    itemViews_.clear();
    itemViewPool_.clear();
    placeholderViewPool_.clear();
    setNeedsLayout();
    if (numberOfItems_ > 0 && scrollOffset_ < 0) scrollToItemAtIndex(0, numberOfPlaceholders_ > 0);
}

void ItemCarousel::reloadItemAtIndex(long index, bool animated) {
    auto view = itemViewAtIndex(index);
    auto container = view ? view->superview() : nullptr;
    if (!container) return;
    if (animated) {
        auto fade = platform::CATransition::animation();
        fade->setType(platform::kCATransitionFade);
        fade->setDuration(kChangeDuration);
        fade->setTimingFunction(platform::CAMediaTimingFunction::functionWithName(
            platform::CAMediaTimingFunctionName::easeInEaseOut));
        container->layer()->addAnimation(fade, "");
    }
    loadViewAtIndex(index, container);
}

void ItemCarousel::insertItemAtIndex(long index, bool animated) {
    ++numberOfItems_;
    reReadWrap();
    updateNumberOfVisibleItems();
    index = clampedIndex(index);
    shiftViewsForInsertionAt(index);
    auto view = loadViewAtIndex(index);
    auto container = view ? view->superview() : nullptr;
    if (!container) return;  // nothing to show it with: no data source
    container->setAlpha(0);
    if (itemWidth_ == 0) updateItemWidth();
    auto weak = weakSelf();
    if (animated) {
        UIView::animateWithDuration(
            kChangeDuration, [this] { transformItemViews(); },
            [weak](bool) {
                if (auto self = weak.lock()) self->loadUnloadViews();
            });
        platform::DispatchQueue::main()->asyncAfter(kInsertFadeDelay, [weak, weakView = std::weak_ptr(view)] {
            auto self = weak.lock();
            auto view = weakView.lock();
            const long position = self && view ? self->indexOfItemView(view.get()) : NotFound;
            if (position == NotFound) return;  // it left the carousel meanwhile
            const double alpha = self->alphaForItemWithOffset(self->offsetForItemAtIndex(position));
            UIView::animateWithDuration(kInsertFadeDuration, [&] { view->superview()->setAlpha(alpha); });
        });
        if (scrollOffset_ < 0) scrollToItemAtIndex(0, numberOfPlaceholders_ > 0);
    } else {
        // Shown at once, at the alpha of its place.
        pushAnimationState(false);
        container->setAlpha(1);
        transformItemViews();
        popAnimationState();
        if (scrollOffset_ < 0) scrollToItemAtIndex(0, false);
    }
}

void ItemCarousel::removeItemAtIndex(long index, bool animated) {
    if (numberOfItems_ <= 0) return;
    index = clampedIndex(index);
    auto view = itemViewAtIndex(index);
    auto container = view ? view->superview() : nullptr;
    const auto closeGap = [this, index] {
        shiftViewsForRemovalAt(index);
        --numberOfItems_;
        reReadWrap();
        updateNumberOfVisibleItems();
        scrollOffset_ = double(currentItemIndex());
        didScroll();
    };
    if (!animated) {
        pushAnimationState(false);
        if (view) addToPool(itemViewPool_, view);
        if (container) container->removeFromSuperview();
        closeGap();
        depthSortViews();
        popAnimationState();
        return;
    }
    auto weak = weakSelf();
    if (container) {
        UIView::animateWithDuration(
            kRemoveFadeDuration, [&] { container->setAlpha(0); },
            [container](bool) { container->removeFromSuperview(); });
    }
    if (view) {
        platform::DispatchQueue::main()->asyncAfter(kRemoveFadeDuration, [weak, view] {
            if (auto self = weak.lock()) addToPool(self->itemViewPool_, view);
        });
    }
    UIView::animateWithDuration(kChangeDuration, kRemoveFadeDuration, 0, closeGap, [weak](bool) {
        if (auto self = weak.lock()) self->depthSortViews();
    });
}

void ItemCarousel::shiftViewsForInsertionAt(long index) {
    ItemViews shifted;
    for (auto& [position, view] : itemViews_) shifted[position < index ? position : position + 1] = view;
    itemViews_ = std::move(shifted);
}

void ItemCarousel::shiftViewsForRemovalAt(long index) {
    ItemViews shifted;
    for (auto& [position, view] : itemViews_) {
        if (position != index) shifted[position < index ? position : position - 1] = view;
    }
    itemViews_ = std::move(shifted);
}

void ItemCarousel::reReadWrap() {
    wrapEnabled_ = valueForOption(ItemCarouselOption::wrap, wrapEnabled_ ? 1 : 0) != 0;
}

// Pools -------------------------------------------------------------------------------------------

void ItemCarousel::addToPool(Pool& pool, const std::shared_ptr<UIView>& view) {
    if (view && std::ranges::find(pool, view) == pool.end()) pool.push_back(view);
}

void ItemCarousel::queueView(long position, const std::shared_ptr<UIView>& view) {
    addToPool(isItemPosition(position) ? itemViewPool_ : placeholderViewPool_, view);
}

std::shared_ptr<UIView> ItemCarousel::dequeue(Pool& pool) {
    if (pool.empty()) return nullptr;
    auto view = std::move(pool.back());
    pool.pop_back();
    return view;
}

}  // namespace quorvel
