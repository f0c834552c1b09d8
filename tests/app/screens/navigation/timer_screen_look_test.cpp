#include <gtest/gtest.h>

#include <filesystem>

#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/device/interface_driver.h"
#include "tests/app/screens/navigation/launched_app.h"
#include "tests/support/golden_image.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;

constexpr CGFloat kScale = 2;

// The timer screen as launched, ten seconds into a running focus session, drawn and held against the
// golden image of the same name beside this file. Look at both when one fails.
class TimerScreenLook : public LaunchedApp {
protected:
    // Through the play button, or the clock where a phone lying sideways shows only that.
    void runTenSeconds() {
        const auto screen = timerScreen();
        const auto play = screen->progressView()->progressButton();
        if (play->window()) {
            tap(*play);
        } else {
            tap(*screen->timerButton());
        }
        clock->advance(10);
    }
    void expectGolden(const char* name) {
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
        std::filesystem::create_directories(out);
        ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, out / name, kScale));
        const auto golden = std::filesystem::path(QUORVEL_GOLDEN_DIR) / name;
        EXPECT_LT(testing::goldenDifference(out / name, golden), 0.004)
            << "compare " << out / name << " with " << golden;
    }
};

TEST_F(TimerScreenLook, PhonePortrait) {
    launch();
    runTenSeconds();
    expectGolden("timer_phone_portrait.png");
}

TEST_F(TimerScreenLook, PhoneLandscape) {
    launch();
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
    clock->advance(InterfaceDriver::kTransitionDuration + 0.5);
    runTenSeconds();
    expectGolden("timer_phone_landscape.png");
}

TEST_F(TimerScreenLook, TabletHalfSplit) {
    emulate("iPadPro10Inch");
    hold(UIDeviceOrientation::landscapeLeft);
    launch();
    InterfaceDriver::setSplitShare(0.5);
    clock->advance(InterfaceDriver::kTransitionDuration + 0.5);
    runTenSeconds();
    expectGolden("timer_tablet_split.png");
}

// The guidance's second panel over the app, written for a person to look at.
TEST_F(TimerScreenLook, GuidanceOverTheApp) {
    launch(false);
    swipeLeft();
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, out / "guidance_phone_portrait.png", kScale));
    EXPECT_TRUE(timerScreen()->guidanceView()->guidancePanels()[1]->PanelImageView()->image());
}

}  // namespace
}  // namespace quorvel
