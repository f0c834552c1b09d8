#include <gtest/gtest.h>

#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/device/ui_trait_collection.h"
#include "tests/platform/uikit/default_device.h"

using namespace platform;

namespace {

class DeviceTest : public quorvel::testing::DefaultDeviceTest {
protected:
    static void use(const char* model, UIInterfaceOrientation o = UIInterfaceOrientation::portrait) {
        DeviceProfile::setCurrent(*DeviceProfile::named(model));
        UIScreen::mainScreen().setInterfaceOrientation(o);
    }
};

}  // namespace

TEST_F(DeviceTest, ScreenTurnsWithTheInterface) {
    EXPECT_FALSE(DeviceProfile::named("iPhone99"));
    use("iPadPro11Inch");
    EXPECT_EQ(UIScreen::mainScreen().bounds(), CGRect(0, 0, 834, 1194));
    use("iPadPro11Inch", UIInterfaceOrientation::landscapeLeft);
    EXPECT_EQ(UIScreen::mainScreen().bounds(), CGRect(0, 0, 1194, 834));
    EXPECT_EQ(UIScreen::mainScreen().scale(), 2);
    EXPECT_EQ(UIScreen::mainScreen().fixedCoordinateSpace().bounds(), CGRect(0, 0, 834, 1194));
    EXPECT_EQ(UIScreen::mainScreen().nativeBounds(), CGRect(0, 0, 1668, 2388));
}

TEST_F(DeviceTest, FixedSpaceConversionRoundTripsInEveryOrientation) {
    use("iPhoneX");
    for (auto o : {UIInterfaceOrientation::portrait, UIInterfaceOrientation::portraitUpsideDown,
                   UIInterfaceOrientation::landscapeLeft, UIInterfaceOrientation::landscapeRight}) {
        UIScreen::mainScreen().setInterfaceOrientation(o);
        auto space = UIScreen::mainScreen().coordinateSpace();
        auto fixed = UIScreen::mainScreen().fixedCoordinateSpace();
        EXPECT_EQ(space.convertRect(space.bounds(), fixed), fixed.bounds());
        CGPoint p{30, 40};
        CGPoint back = fixed.convertPoint(space.convertPoint(p, fixed), space);
        EXPECT_DOUBLE_EQ(back.x, p.x);
        EXPECT_DOUBLE_EQ(back.y, p.y);
    }
    // Interface turned right: its top-left corner is the hardware's top-right corner.
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    CGPoint corner = UIScreen::mainScreen().coordinateSpace().convertPoint(
        CGPoint{0, 0}, UIScreen::mainScreen().fixedCoordinateSpace());
    EXPECT_EQ(corner, (CGPoint{375, 0}));
}

TEST_F(DeviceTest, SafeAreaFollowsTheNotchWhenTurned) {
    use("iPhoneXR");
    EXPECT_EQ(UIScreen::mainScreen().safeAreaInsets().top, 44);
    EXPECT_EQ(UIScreen::mainScreen().safeAreaInsets().left, 0);
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeRight);
    EXPECT_EQ(UIScreen::mainScreen().safeAreaInsets().left, 44);
    use("iPhone8", UIInterfaceOrientation::landscapeLeft);
    EXPECT_EQ(UIScreen::mainScreen().safeAreaInsets(), UIEdgeInsets{});
}

TEST_F(DeviceTest, SensorOrientationIsIndependentOfTheInterface) {
    auto& device = UIDevice::currentDevice();
    device.setOrientation(UIDeviceOrientation::faceUp);
    EXPECT_EQ(static_cast<int>(device.orientation()), 5);
    EXPECT_FALSE(UIDeviceOrientationIsLandscape(device.orientation()));
    EXPECT_FALSE(UIDeviceOrientationIsValidInterfaceOrientation(device.orientation()));
    EXPECT_EQ(UIScreen::mainScreen().interfaceOrientation(), UIInterfaceOrientation::portrait);
    EXPECT_EQ(UIInterfaceOrientationForDevice(UIDeviceOrientation::landscapeLeft),
              UIInterfaceOrientation::landscapeRight);
}

TEST_F(DeviceTest, IdiomAndModelFollowTheProfile) {
    EXPECT_EQ(UIDevice::currentDevice().userInterfaceIdiom(), UIUserInterfaceIdiom::phone);
    EXPECT_EQ(UIDevice::currentDevice().model(), "iPhone");
    use("iPadPro12Inch2");
    EXPECT_EQ(UI_USER_INTERFACE_IDIOM(), UIUserInterfaceIdiom::pad);
    EXPECT_EQ(UIDevice::currentDevice().model(), "iPad");
    DeviceProfile odd = DeviceProfile::current();
    odd.family = DeviceFamily::other;
    odd.idiom = UIUserInterfaceIdiom::unspecified;
    DeviceProfile::setCurrent(odd);
    EXPECT_EQ(UIDevice::currentDevice().userInterfaceIdiom(), UIUserInterfaceIdiom::unspecified);
}

TEST_F(DeviceTest, TraitsFollowTheDeviceAndTheWindowsShareOfTheScreen) {
    using O = UIInterfaceOrientation;
    using S = UIUserInterfaceSizeClass;
    const struct {
        const char* model;
        O orientation;
        CGFloat width, height;
        S across, down;
        int split;
    } cases[] = {
        {"iPhone8", O::portrait, 375, 667, S::compact, S::regular, 0},
        {"iPhone8", O::landscapeLeft, 667, 375, S::compact, S::compact, 0},
        {"iPhoneXSMax", O::landscapeLeft, 896, 414, S::regular, S::compact, 0},
        {"iPadPro10Inch", O::landscapeLeft, 1112, 834, S::regular, S::regular, 0},
        {"iPadPro10Inch", O::landscapeLeft, 1112.0 / 3, 834, S::compact, S::regular,
         UITraitCollection::kSplitOneThird},
        {"iPadPro10Inch", O::landscapeLeft, 556, 834, S::compact, S::regular,
         UITraitCollection::kSplitOneHalf},
        {"iPadPro10Inch", O::landscapeLeft, 741, 834, S::regular, S::regular,
         UITraitCollection::kSplitTwoThirds},
    };
    for (const auto& c : cases) {
        use(c.model, c.orientation);
        const auto traits = UITraitCollection::forWindowSize({c.width, c.height});
        EXPECT_EQ(traits.horizontalSizeClass, c.across) << c.model << " " << c.width;
        EXPECT_EQ(traits.verticalSizeClass, c.down) << c.model << " " << c.width;
        EXPECT_EQ(traits.splitBits(), c.split) << c.model << " " << c.width;
    }
}
