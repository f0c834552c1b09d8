#include <gtest/gtest.h>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_screen.h"
#include "tests/platform/uikit/default_device.h"

using namespace platform;

using WindowTest = quorvel::testing::DefaultDeviceTest;

TEST_F(WindowTest, KeyStatusReturnsToThePreviousShownWindow) {
    auto main = std::make_shared<UIWindow>();
    auto background = std::make_shared<UIWindow>();
    auto alert = std::make_shared<UIWindow>();
    background->setWindowLevel(1985);
    alert->setWindowLevel(1996);
    EXPECT_TRUE(main->isHidden());
    EXPECT_EQ(main->frame(), CGRect(0, 0, 375, 667)) << "over the whole screen";
    EXPECT_EQ(UIWindow::keyWindow(), nullptr);
    main->makeKeyAndVisible();
    background->makeKeyAndVisible();
    alert->makeKeyAndVisible();
    EXPECT_TRUE(alert->isKeyWindow());
    EXPECT_FALSE(main->isKeyWindow());
    background->setHidden(true);  // not key: nothing moves
    EXPECT_EQ(UIWindow::keyWindow(), alert);
    alert->setHidden(true);
    EXPECT_EQ(UIWindow::keyWindow(), main);
    alert->makeKeyAndVisible();
    alert.reset();
    EXPECT_EQ(UIWindow::keyWindow(), main);
}

TEST_F(WindowTest, WindowsListedByLevel) {
    auto high = std::make_shared<UIWindow>();
    high->setWindowLevel(UIWindowLevelAlert);
    auto low = std::make_shared<UIWindow>();
    auto windows = UIWindow::windows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0], low);
    EXPECT_EQ(windows[1], high);
}

TEST_F(WindowTest, SafeAreaIsTheScreensWhereTheyOverlap) {
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhoneX"));
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeLeft);
    auto window = std::make_shared<UIWindow>();
    EXPECT_EQ(window->safeAreaInsets(), (UIEdgeInsets{0, 44, 21, 44}));
    auto content = std::make_shared<UIView>(CGRect(100, 0, 612, 375));
    window->addSubview(content);
    EXPECT_EQ(content->safeAreaInsets(), (UIEdgeInsets{0, 0, 21, 0}));
    auto edge = std::make_shared<UIView>(CGRect(0, 0, 20, 20));
    window->addSubview(edge);
    EXPECT_EQ(edge->safeAreaInsets().left, 44);
}

TEST_F(WindowTest, NarrowWindowCarriesTheSplitShare) {
    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro11Inch"));
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    auto window = std::make_shared<UIWindow>();
    auto child = std::make_shared<UIView>();
    window->addSubview(child);
    EXPECT_EQ(child->traitCollection().splitBits(), 0);
    window->setFrame(CGRect(0, 0, 1194.0 / 3, 834));
    EXPECT_EQ(child->traitCollection().splitBits(), UITraitCollection::kSplitOneThird);
    EXPECT_EQ(child->traitCollection().horizontalSizeClass, UIUserInterfaceSizeClass::compact);
    // A view outside any window has the whole screen's traits.
    EXPECT_EQ(std::make_shared<UIView>()->traitCollection().splitBits(), 0);
}
