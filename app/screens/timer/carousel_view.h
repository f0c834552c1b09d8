#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "app/core/timer_minute_ring.h"
#include "app/screens/timer/carousel_sizing.h"
#include "app/screens/timer/carousel_view_delegate.h"
#include "app/screens/timer/rotation_observable.h"
#include "app/widgets/carousel/item_carousel.h"
#include "app/widgets/carousel/item_carousel_data_source.h"
#include "app/widgets/carousel/item_carousel_delegate.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// The minute ring: a ruler of minute ticks, 0 to 64, that the user turns to set the session's length.
// Only the user's own turn, tap or drag reaches the engine, up to the minute the ring comes to rest
// on, with a click for each minute passed; the engine's own moves of the ring reach nothing. Main thread.
class CarouselView : public platform::UIView,
                     public ItemCarouselDataSource,
                     public ItemCarouselDelegate,
                     public RotationObservable,
                     public TimerMinuteRing {
public:
    // Made with a frame, or (no frame) as the storyboard makes it; either way set up at once.
    static std::shared_ptr<CarouselView> make(const platform::CGRect& frame = platform::CGRect::zero());
    ~CarouselView() override;

    const std::optional<CarouselSizing>& carouselSizing() const { return carouselSizing_; }
    std::shared_ptr<CarouselViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CarouselViewDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::shared_ptr<ItemCarousel>& carousel() const { return carousel_; }
    const std::vector<long>& data() const { return data_; }
    bool userTouchedCarousel() const { return userTouchedCarousel_; }
    bool timerIsRunning() const { return timerIsRunning_; }
    std::shared_ptr<platform::UIView> midPointGuide() const { return midPointGuide_.lock(); }
    // Keeps the centre marker and gives it the focus theme colour.
    void setMidPointGuide(const std::shared_ptr<platform::UIView>& guide);

    void timerStatusNotificationReceived(const platform::NSNotification& notification);

    // Data source.
    long numberOfItemsInCarousel(ItemCarousel& carousel) override;
    long numberOfPlaceholdersInCarousel(ItemCarousel& carousel) override;
    std::shared_ptr<platform::UIView> carouselViewForItemAtIndex(
        ItemCarousel& carousel, long index, std::shared_ptr<platform::UIView> reusing) override;
    // Delegate. An item is as wide as the sizing's spacing, read afresh, so a rotation or a share change
    // spaces the ticks as a launch into it does: measured once, the first item's width would outlive it.
    double carouselItemWidth(ItemCarousel& carousel) override;
    double carouselValueForOption(ItemCarousel& carousel, ItemCarouselOption option, double value) override;
    void carouselCurrentItemIndexDidChange(ItemCarousel& carousel) override;
    void carouselDidEndScrollingAnimation(ItemCarousel& carousel) override;
    void carouselDidSelectItemAtIndex(ItemCarousel& carousel, long index) override;
    void carouselTouched(ItemCarousel& carousel) override;

    Split splitStatus() const override { return splitStatus_; }
    // New sizing and height for the device and split; the ruler reloads from a later work item.
    void updateForRotation(platform::UIDeviceOrientation orientation, Split split) override;

    // The engine's moves of the ruler.
    void scrollToItemAtIndex(std::int64_t index, bool animated) override;
    void setScrollOffset(double offset) override;

protected:
    CarouselView() = default;
    explicit CarouselView(const platform::CGRect& frame) : UIView(frame) {}

    virtual void setUpCarousel();

private:
    bool carouselIsMoving() const;
    // The engine's offset that waits for the clock's next step, if any, shown now.
    void showHeldOffset();
    void chooseSizing();
    void placeCarousel(bool pad);

    std::optional<CarouselSizing> carouselSizing_;
    std::weak_ptr<CarouselViewDelegate> delegate_;
    std::shared_ptr<ItemCarousel> carousel_;
    std::vector<long> data_;
    bool userTouchedCarousel_ = false;
    bool timerIsRunning_ = false;
    std::weak_ptr<platform::UIView> midPointGuide_;
    Split splitStatus_ = Split::fullSize;
    // A running status came while the user's turn was still moving the ruler: the touch is forgotten
    // once it rests, so the rest of the turn still reaches the engine.
    bool forgetTouchAtRest_ = false;
    // While the engine's timer runs, its offsets move the ruler only when the remaining time's whole
    // second (the clock's text) changes, so a running second draws one frame.
    std::optional<double> shownSecond_;
    std::optional<double> heldOffset_;
};

}  // namespace quorvel
