#include "platform/sizeclasser/size_classer.h"

#include <gtest/gtest.h>

#include "platform/uikit/device/ui_screen.h"
#include "tests/platform/uikit/default_device.h"

namespace platform {
namespace {

TEST(SizeClasserBits, TheWindowsShareOfTheScreenIsOneBitOrNone) {
    quorvel::testing::restoreDefaultDevice();
    const UITraitCollection phone = UITraitCollection::forWindowSize({375, 667});
    EXPECT_EQ(SizeClasser::initWithTraitCollection(&phone)->rawValue(), 0);
    EXPECT_FALSE(SizeClasser::initWithTraitCollection(nullptr));
    const UITraitCollection blank;
    EXPECT_FALSE(SizeClasser::initWithTraitCollection(&blank)) << "traits that describe nothing";

    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro11Inch"));
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    const std::pair<CGFloat, int> shares[] = {{1194.0 / 3, SizeClasser::splitOneThird},
                                              {597, SizeClasser::splitOneHalf},
                                              {796, SizeClasser::splitTwoThirds}};
    for (const auto& [width, bits] : shares) {
        const UITraitCollection traits = UITraitCollection::forWindowSize({width, 834});
        EXPECT_TRUE(SizeClasser::initWithTraitCollection(&traits)->contains(bits)) << width;
    }
    quorvel::testing::restoreDefaultDevice();
}

}  // namespace
}  // namespace platform
