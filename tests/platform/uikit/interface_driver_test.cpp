#include "platform/uikit/device/interface_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/ui_screen.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/platform/uikit/recording_controller.h"

using namespace platform;
using quorvel::testing::RecordingController;

namespace {

// A shown window on the given device whose root controller records its calls, laid out once.
struct Screen {
    explicit Screen(const char* model) : model(chooseDevice(model)) {
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        clock->runUntilIdle();
        log.clear();
        root->layouts = 0;
    }
    ~Screen() { quorvel::testing::restoreDefaultDevice(); }

    // Lets the transition's animation run out.
    void finish() { clock->advance(InterfaceDriver::kTransitionDuration + 0.1); }

    static std::string chooseDevice(const char* model) {
        quorvel::testing::restoreDefaultDevice();
        DeviceProfile::setCurrent(*DeviceProfile::named(model));
        return model;
    }

    std::string model;  // chosen before the window is made
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::vector<std::string> log;
    std::shared_ptr<RecordingController> root = std::make_shared<RecordingController>("root", &log);
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>();
};

}  // namespace

TEST(Rotation, TheControllerHearsFirstThenBoundsAndTraitsChangeInOneLayoutPass) {
    Screen screen("iPhone8");
    ASSERT_EQ(screen.root->view()->bounds(), CGRect(0, 0, 375, 667));
    EXPECT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
    EXPECT_EQ(UIDevice::currentDevice().orientation(), UIDeviceOrientation::landscapeLeft);
    EXPECT_EQ(UIScreen::mainScreen().interfaceOrientation(), UIInterfaceOrientation::landscapeRight);
    EXPECT_EQ(screen.root->transitionSize, (CGSize{667, 375}));
    EXPECT_EQ(screen.root->windowSizeBeforeTransition, (CGSize{375, 667}));
    EXPECT_EQ(UIScreen::mainScreen().bounds(), CGRect(0, 0, 667, 375));
    EXPECT_EQ(screen.window->frame(), CGRect(0, 0, 667, 375));
    screen.finish();
    screen.clock->runUntilIdle();
    EXPECT_EQ(screen.log, (std::vector<std::string>{"root.willTransitionToTraitCollection",
                                                    "root.viewWillTransitionToSize", "root.viewWillLayoutSubviews",
                                                    "root.viewDidLayoutSubviews"}));
    EXPECT_EQ(screen.root->layouts, 1);
    EXPECT_EQ(screen.root->laidOutBounds, CGRect(0, 0, 667, 375));
    EXPECT_EQ(screen.root->laidOutTraits.verticalSizeClass, UIUserInterfaceSizeClass::compact);
}

TEST(Rotation, AlongsideBlocksRunInTheStepAndCompletionsAfterIt) {
    Screen screen("iPhone8");
    std::vector<std::string> steps;
    struct Coordinating : RecordingController {
        using RecordingController::RecordingController;
        void viewWillTransitionToSize(CGSize size, UIViewControllerTransitionCoordinator& coordinator) override {
            coordinator.animateAlongsideTransition(
                [this](const auto&) { steps->push_back("alongside at width " + std::to_string(int(view()->bounds().width()))); },
                [this](const auto& context) {
                    steps->push_back(context.isAnimated() ? "completion, animated" : "completion");
                });
            RecordingController::viewWillTransitionToSize(size, coordinator);
        }
        std::vector<std::string>* steps = nullptr;
    };
    auto root = std::make_shared<Coordinating>("root", nullptr);
    root->steps = &steps;
    screen.window->setRootViewController(root);
    InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeRight);
    EXPECT_EQ(steps, (std::vector<std::string>{"alongside at width 667"}));
    screen.clock->runUntilIdle();
    EXPECT_EQ(steps.size(), 1u);  // the animation is still running
    screen.finish();
    EXPECT_EQ(steps, (std::vector<std::string>{"alongside at width 667", "completion, animated"}));
}

TEST(Rotation, TheRootControllerMayRefuseUntilItAgrees) {
    Screen screen("iPhone8");
    screen.root->canRotate = false;
    EXPECT_FALSE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
    EXPECT_EQ(UIDevice::currentDevice().orientation(), UIDeviceOrientation::landscapeLeft);
    EXPECT_EQ(UIScreen::mainScreen().interfaceOrientation(), UIInterfaceOrientation::portrait);
    EXPECT_TRUE(screen.log.empty());
    screen.root->canRotate = true;
    UIViewController::attemptRotationToDeviceOrientation();
    EXPECT_EQ(UIScreen::mainScreen().interfaceOrientation(), UIInterfaceOrientation::landscapeRight);
    EXPECT_EQ(screen.root->transitionSize, (CGSize{667, 375}));
}

TEST(Rotation, APhoneStaysUprightWhenTurnedUpsideDownAndATabletTurns) {
    {
        Screen phone("iPhone8");
        EXPECT_FALSE(InterfaceDriver::rotateDevice(UIDeviceOrientation::portraitUpsideDown));
        EXPECT_EQ(UIScreen::mainScreen().interfaceOrientation(), UIInterfaceOrientation::portrait);
    }
    Screen tablet("iPadPro11Inch");
    EXPECT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::portraitUpsideDown));
    EXPECT_EQ(UIScreen::mainScreen().interfaceOrientation(), UIInterfaceOrientation::portraitUpsideDown);
    // Same size and traits: only the size callback, and no layout is needed.
    tablet.finish();
    EXPECT_EQ(tablet.log, (std::vector<std::string>{"root.viewWillTransitionToSize"}));
}

TEST(Rotation, LyingFlatChangesOnlyTheSensorReading) {
    Screen screen("iPhoneX");
    InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft);
    screen.finish();
    screen.log.clear();
    EXPECT_FALSE(InterfaceDriver::rotateDevice(UIDeviceOrientation::faceUp));
    EXPECT_EQ(UIDevice::currentDevice().orientation(), UIDeviceOrientation::faceUp);
    EXPECT_EQ(UIScreen::mainScreen().bounds(), CGRect(0, 0, 812, 375));
    EXPECT_EQ(screen.window->safeAreaInsets().left, 44);
    EXPECT_TRUE(screen.log.empty());
}

TEST(SplitView, ASplitChangeResizesLikeARotation) {
    Screen screen("iPadPro11Inch");
    InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft);
    screen.finish();
    screen.log.clear();
    screen.root->layouts = 0;

    InterfaceDriver::setSplitShare(0.5);
    EXPECT_EQ(screen.root->transitionSize, (CGSize{597, 834}));
    EXPECT_EQ(screen.root->windowSizeBeforeTransition, (CGSize{1194, 834}));
    screen.finish();
    screen.clock->runUntilIdle();
    EXPECT_EQ(screen.log, (std::vector<std::string>{"root.willTransitionToTraitCollection",
                                                    "root.viewWillTransitionToSize", "root.viewWillLayoutSubviews",
                                                    "root.viewDidLayoutSubviews"}));
    EXPECT_EQ(screen.root->layouts, 1);
    EXPECT_EQ(screen.root->laidOutBounds, CGRect(0, 0, 597, 834));
    EXPECT_EQ(screen.root->laidOutTraits.splitBits(), UITraitCollection::kSplitOneHalf);
    EXPECT_EQ(screen.root->laidOutTraits.horizontalSizeClass, UIUserInterfaceSizeClass::compact);
    EXPECT_EQ(UIScreen::mainScreen().bounds(), CGRect(0, 0, 1194, 834));  // the screen keeps its size
}

TEST(SplitView, TheShareSurvivesARotationAndNewWindowsTakeIt) {
    Screen screen("iPadPro11Inch");
    InterfaceDriver::setSplitShare(2.0 / 3);
    InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeRight);
    screen.finish();
    EXPECT_DOUBLE_EQ(screen.window->frame().width(), 1194 * 2.0 / 3);
    EXPECT_EQ(screen.window->traitCollection().splitBits(), UITraitCollection::kSplitTwoThirds);
    EXPECT_EQ(std::make_shared<UIWindow>()->frame(), screen.window->frame());
    InterfaceDriver::setSplitShare(0);  // no room at all is not a share
    InterfaceDriver::setSplitShare(1);
    screen.finish();
    EXPECT_EQ(screen.window->frame(), CGRect(0, 0, 1194, 834));
    EXPECT_EQ(screen.window->traitCollection().splitBits(), 0);
}
