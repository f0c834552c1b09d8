// The real quorvel program on a virtual X server of its own, played by a desktop user.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/drawing/ui_image.h"
#include "shell/shell_settings.h"
#include "tests/shell/desktop_test.h"

using quorvel::testing::DesktopUser;
using quorvel::testing::ShellProcess;
using quorvel::testing::XvfbDisplay;
using Window = DesktopUser::Window;

namespace {

using namespace std::chrono_literals;

const DesktopUser::Rgb kBlack{0, 0, 0};

// Past the first-run guidance, which would hold the device's rotation.
class ShellWindowTest : public quorvel::testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        markGuidanceSeen();
    }

    void closeAndExpectCleanExit(Window window) {
        user->requestClose(window);
        EXPECT_TRUE(app->waitForLine("life-cycle will-terminate")) << app->transcript();
        EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
    }

    // Waits until `condition` holds, as a window changes over a few frames.
    template <class Condition>
    bool eventually(Condition condition) {
        return quorvel::testing::eventually(condition, [&] { app->listen(50ms); });
    }

    // What the shell's preferences file says, read as the next start would.
    std::string remembered(const std::string& key) {
        platform::NSUserDefaults::resetAllForTesting();
        return platform::NSUserDefaults::suiteNamed(quorvel::shell::ShellSettings::suiteName())
            ->stringForKey(key)
            .value_or("");
    }

};

}  // namespace

TEST_F(ShellWindowTest, ShowsTheAppsShareOfATabletScreenAndDrawsNothingMoreWhileIdle) {
    const Window window =
        start({"--device", "iPadPro9Inch", "--orientation", "landscape-left", "--split", "1/3"});
    ASSERT_NE(window, 0u);
    // Lying down, one desktop unit a point: the whole screen fits the 1280 × 1024 desktop.
    const auto size = user->size(window);
    EXPECT_EQ(size.width, 1024);
    EXPECT_EQ(size.height, 768);
    EXPECT_EQ(user->title(window), "Quorvel");
    // The app's window covers the left third; the rest of the screen is dark.
    EXPECT_NE(user->pixel(window, 20, 20), kBlack);
    EXPECT_NE(user->pixel(window, 330, 700), kBlack);
    EXPECT_EQ(user->pixel(window, 350, 384), kBlack);
    EXPECT_EQ(user->pixel(window, 1000, 20), kBlack);

    // Once what the launch started is over (its sync, whose end redraws what it may have brought, and
    // what that set moving), nothing changes, so nothing is drawn.
    ASSERT_TRUE(app->hasSaid("sync ended")) << app->transcript();
    EXPECT_TRUE(app->drawsNothingFor(1500ms)) << app->transcript();
    closeAndExpectCleanExit(window);
    EXPECT_EQ(remembered("Orientation"), "landscape-left");
    EXPECT_EQ(remembered("Split"), "1/3");
}

// The trace says the program settled only once what a tap started has ended: the menu slides in over
// frames of its own, and after the line an idle screen draws nothing more.
TEST_F(ShellWindowTest, TheTraceSaysSettledOnceWhatATapStartedHasEnded) {
    const Window window = start({"--device", "iPhone8"});
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(app->hasSaid("sync ended")) << app->transcript();
    ASSERT_TRUE(app->settle(0s)) << app->transcript();
    const auto before = app->count("frame ");
    user->click(window, 50, 42);  // the bar's menu button
    ASSERT_TRUE(app->waitForLine("touch ended")) << app->transcript();
    ASSERT_TRUE(app->waitForLine("quorvel: settled")) << app->transcript();
    const auto frames = app->count("frame ");
    EXPECT_GT(frames, before + 1) << "the menu slid in\n" << app->transcript();
    app->listen(1s);
    EXPECT_EQ(app->count("frame "), frames) << app->transcript();
    closeAndExpectCleanExit(window);
}

TEST_F(ShellWindowTest, AClickTouchesTheScreenPointUnderItAScreenshotKeepsTheFrameAndCloseSaves) {
    // Too tall for the desktop: the window is scaled down, and the click must be scaled back up.
    const Window window = start({"--device", "iPadPro12Inch"});
    ASSERT_NE(window, 0u);
    const auto size = user->size(window);
    EXPECT_LT(size.height, 1024);
    EXPECT_NEAR(double(size.width) / size.height, 1024.0 / 1366, 0.01);

    user->click(window, size.width / 4, size.height / 2);
    const auto began = app->waitForLine("touch began");
    ASSERT_TRUE(began) << app->transcript();
    int finger = -1;
    double x = 0, y = 0;
    ASSERT_EQ(std::sscanf(began->c_str(), "quorvel: touch began %d %lf %lf", &finger, &x, &y), 3) << *began;
    EXPECT_EQ(finger, 0);
    EXPECT_NEAR(x, 256, 2);
    EXPECT_NEAR(y, 683, 2);
    EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();

    user->pressKey(window, "F12");
    const auto saved = app->waitForLine("screenshot saved to ");
    ASSERT_TRUE(saved) << app->transcript();
    const std::string path = saved->substr(saved->find(" to ") + 4);
    EXPECT_EQ(path.rfind((root.path() / "Screenshots").string(), 0), 0u) << path;
    const auto shot = platform::UIImage::imageWithContentsOfFile(path);
    ASSERT_TRUE(shot) << path;
    // The screen's pixels as the window shows them.
    EXPECT_NEAR(shot->pixelWidth(), size.width, 1);
    EXPECT_NEAR(shot->pixelHeight(), size.height, 1);
    const auto p = shot->pixelAt(shot->pixelWidth() / 2, shot->pixelHeight() / 2);
    const DesktopUser::Rgb middle{p.r, p.g, p.b};
    EXPECT_EQ(middle, user->pixel(window, size.width / 2, size.height / 2));
    EXPECT_NE(middle, kBlack);

    closeAndExpectCleanExit(window);
    EXPECT_EQ(remembered("Device"), "iPadPro12Inch");
    EXPECT_EQ(remembered("Orientation"), "portrait");
}

TEST_F(ShellWindowTest, FocusResignsAndRestoresActiveAndControlQClosesLikeTheWindowsCloseButton) {
    const Window window = start({"--device", "iPhoneSE"});
    ASSERT_NE(window, 0u);
    user->focus(window);
    user->unfocus();
    EXPECT_TRUE(app->waitForLine("life-cycle will-resign-active")) << app->transcript();
    user->focus(window);
    EXPECT_TRUE(app->waitForLine("life-cycle did-become-active")) << app->transcript();

    user->pressKey(window, "Control_L");  // the modifier alone does nothing
    app->listen(std::chrono::milliseconds(200));
    EXPECT_EQ(app->count("will-resign-active"), 1u) << app->transcript();
    EXPECT_EQ(app->count("will-terminate"), 0u) << app->transcript();
    user->focus(window);
    user->pressKeys(window, {"Control_L", "q"});
    EXPECT_TRUE(app->waitForLine("life-cycle will-resign-active")) << app->transcript();
    EXPECT_TRUE(app->waitForLine("life-cycle will-terminate")) << app->transcript();
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
    EXPECT_EQ(remembered("Device"), "iPhoneSE");
}

TEST_F(ShellWindowTest, MinimisingSendsTheAppToTheBackgroundAndRestoringBringsItBack) {
    const Window window = start({"--device", "iPhone8"});
    ASSERT_NE(window, 0u);
    user->minimize(window);
    EXPECT_TRUE(app->waitForLine("life-cycle did-enter-background")) << app->transcript();
    // Nothing is shown of a minimised window, so nothing is drawn.
    const auto frames = app->count("frame ");
    app->listen(300ms);
    EXPECT_EQ(app->count("frame "), frames);
    user->restore(window);
    EXPECT_TRUE(app->waitForLine("life-cycle will-enter-foreground")) << app->transcript();
    EXPECT_TRUE(app->waitForLine("life-cycle did-become-active")) << app->transcript();
    const auto& lines = app->lines();
    const auto at = [&](std::string_view text) {
        return std::find_if(lines.begin(), lines.end(),
                            [&](const auto& l) { return l.find(text) != std::string::npos; }) -
               lines.begin();
    };
    EXPECT_LT(at("will-resign-active"), at("did-enter-background"));
    EXPECT_LT(at("did-enter-background"), at("will-enter-foreground"));
    closeAndExpectCleanExit(window);
}

TEST_F(ShellWindowTest, KeysTurnTheDeviceAndStepThroughATabletsSplitSharesAndTheNextStartRemembers) {
    // Standing up, the tablet is scaled to 90 % of the desktop's height.
    const Window window = start({"--device", "iPadPro9Inch"});
    ASSERT_NE(window, 0u);
    EXPECT_EQ(user->size(window).width, 691);
    EXPECT_EQ(user->size(window).height, 922);

    // Turned on its side, the window turns with it at the same zoom (to the pixel it can keep).
    user->pressKey(window, "3");
    EXPECT_TRUE(app->waitForLine("device landscape-left")) << app->transcript();
    EXPECT_TRUE(eventually([&] { return user->size(window).width > user->size(window).height; }))
        << app->transcript();
    EXPECT_NEAR(user->size(window).width, 922, 1);
    EXPECT_NEAR(user->size(window).height, 691, 1);

    // Two thirds of the screen for the app: its window ends where the last third begins.
    user->pressKey(window, "s");
    EXPECT_TRUE(app->waitForLine("split 2/3")) << app->transcript();
    EXPECT_TRUE(eventually([&] { return user->pixel(window, 700, 300) == kBlack; })) << app->transcript();
    EXPECT_NE(user->pixel(window, 560, 300), kBlack);

    // Lying flat changes the sensor only: the window keeps its shape.
    user->pressKey(window, "5");
    EXPECT_TRUE(app->waitForLine("device face-up")) << app->transcript();
    app->listen(300ms);
    EXPECT_NEAR(user->size(window).width, 922, 1);

    closeAndExpectCleanExit(window);
    EXPECT_EQ(remembered("Device"), "iPadPro9Inch");
    EXPECT_EQ(remembered("Orientation"), "face-up");
    EXPECT_EQ(remembered("Split"), "2/3");
}

TEST_F(ShellWindowTest, APhoneHasNoSplitShares) {
    const Window window = start({"--device", "iPhone8"});
    ASSERT_NE(window, 0u);
    user->pressKey(window, "s");
    app->listen(300ms);
    EXPECT_EQ(app->count("split "), 0u) << app->transcript();
    EXPECT_NE(user->pixel(window, 370, 300), kBlack);
    closeAndExpectCleanExit(window);
}

// Without a desktop the program says so, and leaves no data folder behind.
TEST(ShellWithoutDesktop, SaysSoBeforeWritingAnything) {
    quorvel::testing::TempDataRoot root;
    const auto home = root.path() / "never-made";
    ShellProcess app("", home, {});
    EXPECT_EQ(app.waitForExit(), 1) << app.transcript();
    EXPECT_EQ(app.count("no desktop to open a window on"), 1u) << app.transcript();
    EXPECT_FALSE(std::filesystem::exists(home));
}
