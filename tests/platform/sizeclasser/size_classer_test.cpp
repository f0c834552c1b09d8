#include "platform/sizeclasser/size_classer.h"

#include <gtest/gtest.h>

#include "platform/uikit/ui_screen.h"
#include "tests/platform/uikit/default_device.h"

namespace platform {
namespace {

class SizeClasserBits : public ::testing::Test {
protected:
    void SetUp() override { quorvel::testing::restoreDefaultDevice(); }
    void TearDown() override { quorvel::testing::restoreDefaultDevice(); }
};

TEST_F(SizeClasserBits, TheWindowsShareOfTheScreenIsOneBitOrNone) {
    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro11Inch"));
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    const std::pair<CGFloat, int> shares[] = {{1194, 0},
                                              {1194.0 / 3, SizeClasser::splitOneThird},
                                              {597, SizeClasser::splitOneHalf},
                                              {796, SizeClasser::splitTwoThirds}};
    for (const auto& [width, bits] : shares) {
        const UITraitCollection traits = UITraitCollection::forWindowSize({width, 834});
        const auto classer = SizeClasser::initWithTraitCollection(&traits);
        ASSERT_TRUE(classer) << width;
        EXPECT_EQ(classer->rawValue(), bits) << width;
    }
}

TEST_F(SizeClasserBits, APhoneHasAValueWithoutSplitBits) {
    const UITraitCollection traits = UITraitCollection::forWindowSize({375, 667});
    const auto classer = SizeClasser::initWithTraitCollection(&traits);
    ASSERT_TRUE(classer);
    EXPECT_FALSE(classer->contains(SizeClasser::splitOneThird));
    EXPECT_FALSE(classer->contains(SizeClasser::splitOneHalf));
    EXPECT_FALSE(classer->contains(SizeClasser::splitTwoThirds));
}

TEST_F(SizeClasserBits, NoTraitsOrTraitsThatDescribeNothingGiveNoValue) {
    EXPECT_FALSE(SizeClasser::initWithTraitCollection(nullptr));
    const UITraitCollection blank;
    EXPECT_FALSE(SizeClasser::initWithTraitCollection(&blank));
}

}  // namespace
}  // namespace platform
