#include "app/screens/timer/guidance_view.h"

#include <gtest/gtest.h>

#include <any>
#include <vector>

#include "analytics/interface/dzr_app.h"
#include "app/core/app_notification_names.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "tests/app/screens/timer/emulated_device.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/touch_driver.h"

namespace quorvel {
namespace {

using namespace platform;
using T = TempUserDefaultProperties;

// The guidance alone in a phone-sized window, with no pictures in the app's resources: the texts
// must still lead to the end.
class GuidanceWithoutPictures : public testing::EmulatedDevice {
protected:
    void SetUp() override {
        EmulatedDevice::SetUp();
        NSBundle::setMainBundlePath(pictures_.path());
        window->makeKeyAndVisible();
        NSNotificationCenter::defaultCenter().addObserver(
            this, NotificationName::enableDeviceRotation(),
            [this](const NSNotification& note) { rotation.push_back(note.object); });
    }
    void TearDown() override {
        NSNotificationCenter::defaultCenter().removeObserver(this);
        NSBundle::setMainBundlePath({});
        EmulatedDevice::TearDown();
    }
    std::shared_ptr<GuidanceView> show(GuidanceType type) {
        auto guidance = GuidanceView::make(window->bounds(), type);
        guidance->setDidEndGoude([this](GuidanceType ended) { endings.push_back(ended); });
        window->addSubview(guidance);
        return guidance;
    }
    void swipe() {
        driver.drag({300, 300}, {60, 300}, 0.15);
        clock->advance(2);
    }
    static bool flag(T::Case which) {
        return UserDefaultProperties::standardDefaults()->boolForKey(T::key(which));
    }

    testing::TempDataRoot root_;
    testing::TempDataRoot pictures_;
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRect(0, 0, 375, 667));
    testing::TouchDriver driver{clock};
    std::vector<GuidanceType> endings;
    std::vector<std::any> rotation;
};

// The landscape guidance falls back to an empty panel; the portrait one keeps its texts.
TEST_F(GuidanceWithoutPictures, EachGuidanceStillEndsAndSavesOnlyItsFlag) {
    const auto sideways = show(GuidanceType::landscape);
    ASSERT_EQ(sideways->guidancePanels().size(), 1u);
    EXPECT_EQ(sideways->guidancePanels()[0]->PanelTitle(), "");
    swipe();
    EXPECT_TRUE(flag(T::Case::hasGuidedOnceLandscape));
    EXPECT_FALSE(flag(T::Case::hasGuidedOncePortrait));
    sideways->removeFromSuperview();

    const auto guidance = show(GuidanceType::standard);
    ASSERT_EQ(guidance->guidancePanels().size(), 2u);
    EXPECT_EQ(guidance->guidancePanels()[1]->PanelTitle(), "Focus Counter");
    EXPECT_FALSE(guidance->guidancePanels()[1]->PanelImageView()) << "no picture to show";
    EXPECT_EQ(guidance->guidancePanels()[0]->PanelTitleLabel()->frame().origin.y, 70);

    swipe();
    EXPECT_TRUE(guidance->holder()->PageControl()->isHidden());
    swipe();
    EXPECT_EQ(endings, (std::vector<GuidanceType>{GuidanceType::landscape, GuidanceType::standard}));
    ASSERT_EQ(rotation.size(), 2u);
    EXPECT_TRUE(std::any_cast<bool>(rotation[1]));
    EXPECT_TRUE(flag(T::Case::hasGuidedOncePortrait));
}

// A layout pass at the same size keeps the panel the user paged to; a new size starts over.
TEST_F(GuidanceWithoutPictures, OnlyANewSizeBuildsTheGuidanceAgain) {
    const auto guidance = show(GuidanceType::standard);
    swipe();
    const auto holder = guidance->holder();
    guidance->setNeedsLayout();
    guidance->layoutIfNeeded();
    EXPECT_EQ(guidance->holder(), holder);
    EXPECT_EQ(holder->CurrentPanelIndex(), 1);
    guidance->setFrame(CGRect(0, 0, 667, 375));
    guidance->layoutIfNeeded();
    EXPECT_NE(guidance->holder(), holder);
    EXPECT_EQ(guidance->holder()->CurrentPanelIndex(), 0);
    EXPECT_FALSE(holder->superview());
}

}  // namespace
}  // namespace quorvel
