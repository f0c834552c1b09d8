#include "app/screens/timer/carousel_view.h"

#include <algorithm>
#include <cmath>

#include "app/core/app_notification_names.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_data_manager.h"
#include "app/screens/timer/device_pixel_steps.h"
#include "app/screens/timer/released_line.h"
#include "app/widgets/carousel/carousel_cell.h"
#include "platform/audiotoolbox/audio_services.h"
#include "platform/devicekit/device.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr long kItemCount = 65;  // minutes 0 … 64
constexpr SystemSoundID kClickSound = 1104;
// Where the ruler sits in the ring's view: its long ticks straddle y = ruler height / 2 + y.
constexpr CGFloat kPadY = -65, kPhoneUprightY = -55, kPhoneSidewaysY = -75;

// A phone at most 320 points across: lying sideways its screen is too low for the ticks to rise into
// the clock's section without crossing the round and goal counts.
bool isNarrowPhone() {
    const CGSize size = UIScreen::mainScreen().bounds().size;
    return std::min(size.width, size.height) <= 320;
}

}  // namespace

std::shared_ptr<CarouselView> CarouselView::make(const CGRect& frame) {
    std::shared_ptr<CarouselView> view(new CarouselView(frame));
    view->setUpCarousel();
    return view;
}

CarouselView::~CarouselView() {
    printReleased("CarouselView");
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

void CarouselView::setUpCarousel() {
    std::weak_ptr<CarouselView> weak = std::static_pointer_cast<CarouselView>(shared_from_this());
    NSNotificationCenter::defaultCenter().addObserver(this, NotificationName::timerRunningStatus(),
                                                      [weak](const NSNotification& note) {
                                                          if (auto self = weak.lock())
                                                              self->timerStatusNotificationReceived(note);
                                                      });
    setBackgroundColor(UIColor::clearColor());
    setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    data_.clear();
    for (long minute = 0; minute < kItemCount; ++minute) data_.push_back(minute);

    carousel_ = std::make_shared<ItemCarousel>(CGRectMake(0, 0, bounds().size.width, 150));
    carousel_->setType(ItemCarouselType::cylinder);
    carousel_->setDecelerationRate(0.2);
    carousel_->setDelegate(weak);
    carousel_->setDataSource(weak);
    addSubview(carousel_);
    carousel_->setTranslatesAutoresizingMaskIntoConstraints(false);
    carousel_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    carousel_->reloadData();
    CGRect frame = carousel_->frame();
    frame.origin.x = (bounds().size.width - carousel_->bounds().size.width) * 0.5;
    carousel_->setFrame(frame);
    placeCarousel(UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::pad);
    chooseSizing();
    carousel_->setIgnorePerpendicularSwipes(true);
}

void CarouselView::chooseSizing() {
    carouselSizing_ = CarouselSizing::compute(splitStatus_);
}

void CarouselView::placeCarousel(bool pad) {
    CGRect frame = carousel_->frame();
    const bool sideways = UIDeviceOrientationIsLandscape(UIDevice::currentDevice().orientation());
    frame.origin.y = pad ? kPadY : (sideways && !isNarrowPhone() ? kPhoneSidewaysY : kPhoneUprightY);
    carousel_->setFrame(frame);
}

void CarouselView::setMidPointGuide(const std::shared_ptr<UIView>& guide) {
    midPointGuide_ = guide;
    if (!guide) return;
    guide->setBackgroundColor(UserDataManager::getPomodoroData().themeColorOf(SessionType::focus));
}

void CarouselView::timerStatusNotificationReceived(const NSNotification& notification) {
    const bool* running = notification.objectAs<bool>();
    if (!running) return;
    timerIsRunning_ = *running;
    // Setting the minutes pauses the engine, which says so: that must not end the user's own turn.
    if (carouselIsMoving()) {
        forgetTouchAtRest_ = userTouchedCarousel_;
        heldOffset_.reset();
    } else {
        userTouchedCarousel_ = false;
        // A stopped timer shows where it stopped, not where its last second began.
        if (!timerIsRunning_) showHeldOffset();
    }
}

bool CarouselView::carouselIsMoving() const {
    return carousel_ && (carousel_->isDragging() || carousel_->isDecelerating() || carousel_->isScrolling());
}

long CarouselView::numberOfItemsInCarousel(ItemCarousel&) {
    return static_cast<long>(data_.size());
}

long CarouselView::numberOfPlaceholdersInCarousel(ItemCarousel&) {
    return 0;
}

std::shared_ptr<UIView> CarouselView::carouselViewForItemAtIndex(ItemCarousel&, long index,
                                                                 std::shared_ptr<UIView> reusing) {
    const CarouselSizing sizing = carouselSizing_.value_or(CarouselSizing{});
    auto cell = std::dynamic_pointer_cast<CarouselCell>(reusing);
    if (!cell) {
        cell = std::make_shared<CarouselCell>(
            CGRectMake(0, 0, sizing.indicatorSpacing, sizing.mainIndicatorHeight));
        cell->measure()->setBackgroundColor(UIColor::whiteColor());
        cell->measure()->layer()->setCornerRadius(1.0);
        cell->setContentMode(UIViewContentMode::center);
        const auto& label = cell->measureLabel();
        label->setTextAlignment(NSTextAlignment::center);
        label->setFont(
            UIFont::systemFontOfSize(UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::pad ? 18 : 14));
        label->setTextColor(UIColor::whiteColor());
        label->setBackgroundColor(UIColor::clearColor());
        label->setFrame(
            CGRectIntegral(CGRectMake(-10, sizing.mainIndicatorHeight, sizing.indicatorSpacing + 20,
                                      sizing.mainIndicatorHeight - sizing.subIndicatorHeight)));
    }
    const bool major = index % 5 == 0;
    const CGFloat x = (sizing.indicatorSpacing - 2) * 0.5;
    const CGFloat top = major ? 0 : sizing.mainIndicatorHeight * 0.5;
    cell->setTag(major ? 1 : 0);
    cell->measure()->setFrame(CGRectMake(x, top, sizing.lineWidth, sizing.mainIndicatorHeight - top));
    const bool known = index >= 0 && index < static_cast<long>(data_.size());
    cell->measureLabel()->setText(major && known ? std::to_string(data_[index]) : "");
    return cell;
}

double CarouselView::carouselItemWidth(ItemCarousel&) {
    return carouselSizing_ ? carouselSizing_->indicatorSpacing : 0;
}

double CarouselView::carouselValueForOption(ItemCarousel& carousel, ItemCarouselOption option, double value) {
    const double fadeFactor = carouselSizing_ ? carouselSizing_->fadeFactor : 0;
    // A missing factor fades nothing rather than dividing by zero.
    const double fadeDistance = fadeFactor > 0 ? carousel.bounds().size.width / fadeFactor : 0;
    switch (option) {
        case ItemCarouselOption::spacing:
        case ItemCarouselOption::fadeRange:
            return 1.0;
        case ItemCarouselOption::fadeMin:
            return fadeFactor > 0 ? -fadeDistance : value;
        case ItemCarouselOption::fadeMax:
            return fadeFactor > 0 ? fadeDistance : value;
        default:
            return value;
    }
}

void CarouselView::carouselCurrentItemIndexDidChange(ItemCarousel& carousel) {
    if (UIApplication::sharedApplication().applicationState() == UIApplicationState::background) return;
    // Only the user's own turn counts: a drag, or the run-out, settle or scroll that followed a touch.
    const bool usersTurn = carousel.isDragging() ||
                           (userTouchedCarousel_ && (carousel.isDecelerating() || carousel.isScrolling()));
    if (!usersTurn) return;
    const long index = carousel.currentItemIndex();
    if (delegate() && index >= 0 && index < static_cast<long>(data_.size())) {
        TimerViewModel::shared()->setRemainingMinutes(static_cast<double>(data_[index]));
    }
    AudioServicesPlaySystemSound(kClickSound);
}

void CarouselView::carouselDidEndScrollingAnimation(ItemCarousel& carousel) {
    const long index = carousel.currentItemIndex();
    if (index >= 0 && index < static_cast<long>(data_.size())) {
        DazarazeAnalyticsManager::logTimerEvent(TimerEvent::carousel(data_[index]));
    }
    if (forgetTouchAtRest_ && !carouselIsMoving()) {
        forgetTouchAtRest_ = false;
        userTouchedCarousel_ = false;
    }
}

void CarouselView::carouselDidSelectItemAtIndex(ItemCarousel& carousel, long index) {
    userTouchedCarousel_ = true;
    carousel.scrollToItemAtIndex(index, true);
}

void CarouselView::carouselTouched(ItemCarousel&) {
    userTouchedCarousel_ = true;
    forgetTouchAtRest_ = false;
}

void CarouselView::updateForRotation(UIDeviceOrientation, Split split) {
    splitStatus_ = split;
    chooseSizing();
    if (!carousel_) return;
    placeCarousel(!Device::current().isPhone());
    std::weak_ptr<CarouselView> weak = std::static_pointer_cast<CarouselView>(shared_from_this());
    DispatchQueue::main()->async([weak] {
        if (auto self = weak.lock()) {
            self->carousel_->reloadData();
            self->layoutIfNeeded();
        }
    });
}

void CarouselView::scrollToItemAtIndex(std::int64_t index, bool animated) {
    // A new place for the ruler: the next offset, which starts from it, shows at once.
    shownSecond_.reset();
    heldOffset_.reset();
    if (carousel_) carousel_->scrollToItemAtIndex(static_cast<long>(index), animated);
}

void CarouselView::setScrollOffset(double offset) {
    // Offsets are minutes of remaining time; a microsecond keeps 24.98333… minutes in second 1499.
    const double second = std::floor(offset * 60 + 1e-6);
    heldOffset_ = offset;
    if (shownSecond_ == second && TimerViewModel::shared()->pomodoroTimer()) return;
    shownSecond_ = second;
    showHeldOffset();
}

void CarouselView::showHeldOffset() {
    if (!heldOffset_ || !carousel_) return;
    // The front minute moves at most an item's width per minute of offset; the others, further back on
    // the cylinder, less.
    carousel_->setScrollOffset(roundedToDevicePixels(*heldOffset_, carousel_->itemWidth()));
    heldOffset_.reset();
}

}  // namespace quorvel
