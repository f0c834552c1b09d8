#include <gtest/gtest.h>

#include "app/screens/settings/volume_alert_view_controller.h"
#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_screen.h"

using namespace quorvel;

namespace {

class VolumeSheet : public ::testing::Test {
protected:
    VolumeSheet() {
        window->setRootViewController(presenter);
        window->makeKeyAndVisible();
        clock->runUntilIdle();
        sheet->setDidChangeValue([this](float v) { reported.push_back(v); });
        sheet->setWillDismiss([this] {
            ++willDismissCalls;
            prioritySeenOnClose = sheet->contentViewTopConstraint()->priority();
        });
    }
    void open(float value) {
        sheet->show(*presenter, "Volume of Alarm", value);
        clock->runUntilIdle();
    }
    void moveSlider(float value) {
        sheet->volumeSlider()->setValue(value);
        sheet->volumeSlider()->sendActionsForControlEvents(platform::UIControlEventValueChanged);
    }
    double dimAlpha() {
        double alpha = -1;
        sheet->view()->backgroundColor()->getWhite(nullptr, &alpha);
        return alpha;
    }

    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<platform::UIWindow> window = std::make_shared<platform::UIWindow>();
    std::shared_ptr<platform::UIViewController> presenter = std::make_shared<platform::UIViewController>();
    std::shared_ptr<VolumeAlertViewController> sheet = VolumeAlertViewController::loadFromNib();
    std::vector<float> reported;
    int willDismissCalls = 0;
    float prioritySeenOnClose = 0;
};

}  // namespace

TEST_F(VolumeSheet, ShowsTheValueOnAScaleOfTen) {
    EXPECT_EQ(VolumeAlertViewController::valueText(0.75f), "7.5");
    EXPECT_EQ(VolumeAlertViewController::valueText(1.0f), "10.0");
    EXPECT_EQ(VolumeAlertViewController::valueText(0.0f), "0.0");
    open(0.5f);
    EXPECT_EQ(sheet->titleLabel()->text(), "Volume of Alarm");
    EXPECT_EQ(sheet->subtitleLabel()->text(), "5.0");
    EXPECT_FLOAT_EQ(sheet->volumeSlider()->value(), 0.5f);
    moveSlider(0.33f);
    EXPECT_EQ(sheet->subtitleLabel()->text(), "3.3");
    EXPECT_FLOAT_EQ(sheet->value(), 0.33f);
}

TEST_F(VolumeSheet, SlidesInOverADimmedBackgroundAndOutAgain) {
    open(1.0f);
    EXPECT_EQ(presenter->presentedViewController(), sheet);
    EXPECT_EQ(sheet->modalPresentationStyle(), platform::UIModalPresentationStyle::overFullScreen);
    EXPECT_FLOAT_EQ(sheet->contentViewTopConstraint()->priority(), 749);
    EXPECT_NEAR(dimAlpha(), 0.3, 1e-6);
    const auto content = sheet->volumeSlider()->superview();
    EXPECT_EQ(content->frame().origin.y + content->frame().size.height, sheet->view()->bounds().size.height);

    sheet->onClose();
    clock->advance(0.1);
    EXPECT_FLOAT_EQ(prioritySeenOnClose, 749);  // the close is announced before the slide-out
    EXPECT_FLOAT_EQ(sheet->contentViewTopConstraint()->priority(), 751);
    EXPECT_EQ(content->frame().origin.y, sheet->view()->bounds().size.height);
    EXPECT_EQ(presenter->presentedViewController(), sheet);  // still sliding
    clock->advance(0.15);
    EXPECT_EQ(presenter->presentedViewController(), nullptr);
    EXPECT_EQ(willDismissCalls, 1);
    EXPECT_TRUE(reported.empty());
}

TEST_F(VolumeSheet, DoneReportsTheLastValueAtOnceAndClosesOnce) {
    open(0.8f);
    sheet->onDone();  // the slider was not moved
    EXPECT_EQ(reported, std::vector<float>{0.8f});
    sheet->onDone();  // a second tap while sliding out closes nothing twice
    clock->advance(0.3);
    EXPECT_EQ(willDismissCalls, 1);
    EXPECT_EQ(presenter->presentedViewController(), nullptr);

    sheet = VolumeAlertViewController::loadFromNib();
    sheet->setDidChangeValue([this](float v) { reported.push_back(v); });
    sheet->setWillDismiss([this] { ++willDismissCalls; });
    open(0.8f);
    moveSlider(0.25f);
    sheet->onDone();
    EXPECT_EQ(reported, (std::vector<float>{0.8f, 0.25f}));
}

TEST_F(VolumeSheet, ADismissalFromOutsideAlsoSlidesOutAndAnnouncesTheClose) {
    open(0.5f);
    bool completed = false;
    sheet->dismissViewControllerAnimated(true, [&] { completed = true; });
    clock->advance(0.3);
    EXPECT_TRUE(completed);
    EXPECT_EQ(willDismissCalls, 1);
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(presenter->presentedViewController(), nullptr);
}

// On a notched phone the card's white runs under the home indicator and Done stands above it.
TEST(VolumeSheetOnANotchedPhone, DoneStandsAboveTheHomeIndicator) {
    using namespace platform;
    const auto clock = VirtualClock::install();
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhoneXS"));
    const CGRect screen = UIScreen::mainScreen().bounds();
    const auto window = std::make_shared<UIWindow>(screen);
    const auto presenter = std::make_shared<UIViewController>();
    window->setRootViewController(presenter);
    window->makeKeyAndVisible();
    const auto sheet = VolumeAlertViewController::loadFromNib();
    sheet->show(*presenter, "Volume of Alarm", 0.5f);
    clock->runUntilIdle();
    const auto inWindow = [&](const UIView& view) {
        return view.convertRectToView(view.bounds(), window.get());
    };
    const auto& done = *sheet->doneButton();
    EXPECT_LE(inWindow(*done.titleLabel()).maxY(),
              screen.maxY() - UIScreen::mainScreen().safeAreaInsets().bottom);
    EXPECT_EQ(inWindow(*done.superview()).maxY(), screen.maxY());
    EXPECT_LE(inWindow(*sheet->volumeSlider()).maxY(), inWindow(done).minY());
    window->setHidden(true);
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8"));
}
