#include "app/screens/timer/carousel_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/core/theme_colors.h"
#include "app/core/user_data_manager.h"
#include "app/widgets/carousel/carousel_cell.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/application/ui_application_delegate.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_screen.h"
#include "tests/app/core/timer_test_support.h"
#include "tests/support/touch_driver.h"

namespace quorvel {
namespace {

using namespace platform;

struct Owner : CarouselViewDelegate {
    void minuteRingDidTurn(double) override { ADD_FAILURE() << "the ring never calls its owner"; }
};

// The ring across the top of a shown iPhone 8 window, its owner set, the engine on a fresh session of
// 25 minutes, the ring resting there.
class MinuteRing : public testing::TimerEngineTest {
protected:
    void SetUp() override {
        window->makeKeyAndVisible();
        window->addSubview(ring);
        ring->setDelegate(owner);
        engine();
        ring->carousel()->layoutIfNeeded();
        ring->scrollToItemAtIndex(25, false);
        clock->advance(3);
        AudioServices::forgetPlayedSystemSounds();
    }
    double engineMinutes() { return engine()->elapsedTime() / 60000; }
    static long clicks() { return static_cast<long>(AudioServices::playedSystemSounds().size()); }
    // A point on the ruler, `dx` points right of its centre.
    CGPoint onRuler(double dx = 0) const {
        return ring->carousel()->convertPointToView(CGPoint{187.5 + dx, 100}, nullptr);
    }

    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    std::shared_ptr<CarouselView> ring = CarouselView::make(CGRectMake(0, 100, 375, 120));
    std::shared_ptr<Owner> owner = std::make_shared<Owner>();
    testing::TouchDriver driver{clock};
};

TEST_F(MinuteRing, ItemsAreMinuteTicksLabelledEveryFive) {
    ASSERT_TRUE(ring->carouselSizing());
    const CarouselSizing sizing = *ring->carouselSizing();
    EXPECT_EQ(ring->data().size(), 65u);
    EXPECT_EQ(ring->data().back(), 64);
    EXPECT_EQ(ring->carousel()->type(), ItemCarouselType::cylinder);
    EXPECT_EQ(ring->carousel()->decelerationRate(), 0.2);
    EXPECT_TRUE(ring->carousel()->ignorePerpendicularSwipes());
    EXPECT_EQ(ring->carousel()->frame(), CGRectMake(0, -55, 375, 150));

    auto& carousel = *ring->carousel();
    const auto item = [&](long index) {
        return std::dynamic_pointer_cast<CarouselCell>(
            ring->carouselViewForItemAtIndex(carousel, index, nullptr));
    };
    const auto zero = item(0), sixty = item(60), last = item(64);
    EXPECT_EQ(zero->tag(), 1);
    EXPECT_EQ(zero->measureLabel()->text(), "0");
    EXPECT_EQ(sixty->measureLabel()->text(), "60");
    EXPECT_EQ(last->tag(), 0);
    EXPECT_EQ(last->measureLabel()->text(), "");
    const CGFloat x = (sizing.indicatorSpacing - 2) * 0.5;
    EXPECT_EQ(zero->measure()->frame(), CGRectMake(x, 0, sizing.lineWidth, sizing.mainIndicatorHeight));
    EXPECT_EQ(last->measure()->frame(), CGRectMake(x, sizing.mainIndicatorHeight * 0.5, sizing.lineWidth,
                                                   sizing.mainIndicatorHeight * 0.5));
    EXPECT_EQ(zero->frame().size, CGSizeMake(sizing.indicatorSpacing, sizing.mainIndicatorHeight));
    EXPECT_EQ(zero->measureLabel()->font()->pointSize(), 14);
    EXPECT_EQ(ring->carouselViewForItemAtIndex(carousel, 7, zero), zero) << "a cell is reused";
    EXPECT_EQ(zero->tag(), 0);
    EXPECT_EQ(zero->measureLabel()->text(), "") << "restyled as a minor tick";

    const double w = carousel.bounds().size.width;
    EXPECT_EQ(ring->carouselValueForOption(carousel, ItemCarouselOption::spacing, 7), 1.0);
    EXPECT_EQ(ring->carouselValueForOption(carousel, ItemCarouselOption::fadeRange, 7), 1.0);
    EXPECT_EQ(ring->carouselValueForOption(carousel, ItemCarouselOption::fadeMin, 7), -w / sizing.fadeFactor);
    EXPECT_EQ(ring->carouselValueForOption(carousel, ItemCarouselOption::fadeMax, 7), w / sizing.fadeFactor);
    EXPECT_EQ(ring->carouselValueForOption(carousel, ItemCarouselOption::wrap, 7), 7);

    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    window->setBackgroundColor(UIColor::colorWithRed(0.85, 0.33, 0.31, 1));
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, out / "carousel_view.png", 2));
}

TEST_F(MinuteRing, AUsersDragReachesTheEngineUpToWhereTheRingRests) {
    driver.drag(onRuler(0), onRuler(-120), 0.4);
    clock->advance(5);
    const long resting = ring->carousel()->currentItemIndex();
    EXPECT_GT(resting, 25);
    EXPECT_EQ(engineMinutes(), resting) << "the flick's last item, not one short of it";
    EXPECT_EQ(clicks(), resting - 25) << "one click per minute passed";
    EXPECT_FALSE(ring->userTouchedCarousel()) << "forgotten once the ruler rests";

    AudioServices::forgetPlayedSystemSounds();
    driver.tap(onRuler(3 * ring->carousel()->itemWidth()));
    clock->advance(3);
    EXPECT_EQ(ring->carousel()->currentItemIndex(), resting + 3);
    EXPECT_EQ(engineMinutes(), resting + 3) << "a tap on a tick three minutes on";
    EXPECT_EQ(clicks(), 3);
}

TEST_F(MinuteRing, TheEnginesOwnMovesAndTheBackgroundReachNothing) {
    ring->scrollToItemAtIndex(40, true);
    clock->advance(3);
    ring->setScrollOffset(12.4);
    EXPECT_EQ(engineMinutes(), 25);
    EXPECT_EQ(clicks(), 0);

    ring->setDelegate(std::weak_ptr<CarouselViewDelegate>());
    driver.drag(onRuler(0), onRuler(-60), 0.5);
    clock->advance(5);
    EXPECT_EQ(engineMinutes(), 25) << "no owner: clicks only";
    EXPECT_GT(clicks(), 0);

    ring->setDelegate(owner);
    AudioServices::forgetPlayedSystemSounds();
    UIApplication::sharedApplication().launch(std::make_shared<UIApplicationDelegate>());
    UIApplication::sharedApplication().enterBackground();
    ASSERT_EQ(UIApplication::sharedApplication().applicationState(), UIApplicationState::background);
    driver.drag(onRuler(0), onRuler(-60), 0.5);
    clock->advance(5);
    EXPECT_EQ(engineMinutes(), 25);
    EXPECT_EQ(clicks(), 0) << "not even the sound";
}

// While the timer runs, the engine's offsets move the ruler when the remaining time's whole second
// changes, as the clock's text does; a pause shows the last one at once, and a stopped timer's at once.
TEST_F(MinuteRing, WhileTheTimerRunsTheRulerStepsWithTheClock) {
    const auto offset = [&] { return ring->carousel()->scrollOffset(); };
    // Two offsets a few hundredths of a second apart, on either side of a device pixel's edge.
    const double pixel = 1 / std::round(ring->carousel()->itemWidth() * UIScreen::mainScreen().scale());
    const double edge = (std::round(24.5 / pixel) + 0.5) * pixel;
    const double before = edge + 0.0005, after = edge - 0.0005;
    ASSERT_EQ(std::floor(before * 60), std::floor(after * 60)) << "one second";

    engine()->startTimer(true);
    ring->setScrollOffset(before);
    const double shown = offset();
    ring->setScrollOffset(after);
    EXPECT_EQ(offset(), shown) << "the same second";
    engine()->pauseTimer(true);
    EXPECT_LT(offset(), shown) << "paused: where the session stopped";
    ring->setScrollOffset(before);
    EXPECT_EQ(offset(), shown) << "stopped: at once";

    engine()->startTimer(true);
    ring->setScrollOffset(after);
    EXPECT_EQ(offset(), shown) << "the same second";
    ring->setScrollOffset(after - 1.0 / 60);
    EXPECT_LT(offset(), shown) << "the next second";
    ring->scrollToItemAtIndex(30, false);
    ring->setScrollOffset(29.99);
    EXPECT_NEAR(offset(), 29.99, pixel) << "a new place shows its first offset at once";
}

TEST_F(MinuteRing, RunningStatusForgetsTheTouchOnlyForABoolean) {
    ring->carouselTouched(*ring->carousel());
    ring->timerStatusNotificationReceived(NSNotification{NotificationName::timerRunningStatus(), 1});
    EXPECT_TRUE(ring->userTouchedCarousel());
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::timerRunningStatus(), true);
    EXPECT_FALSE(ring->userTouchedCarousel());
    EXPECT_TRUE(ring->timerIsRunning());

    auto guide = std::make_shared<UIView>();
    ring->setMidPointGuide(guide);
    ASSERT_TRUE(UserDataManager::getPomodoroData().focusThemeColor);
    EXPECT_EQ(*guide->backgroundColor(), *UserDataManager::getPomodoroData().focusThemeColor);
    UserDefaultProperties::standardDefaults()->removeObjectForKey("Pomodoro Color");
    {
        ring->setMidPointGuide(guide);
        EXPECT_EQ(*guide->backgroundColor(), *defaultFocusThemeColor()) << "none stored: the default";
    }

    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro12Inch"));
    ring->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::oneHalf);
    EXPECT_EQ(ring->splitStatus(), Split::oneHalf);
    EXPECT_EQ(ring->carouselSizing(), CarouselSizing::compute(Split::oneHalf));
    EXPECT_EQ(ring->carousel()->frame().origin.y, -65);
    clock->runUntilIdle();
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8"));
}

}  // namespace
}  // namespace quorvel
