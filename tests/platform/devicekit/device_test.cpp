#include "platform/devicekit/device.h"

#include <gtest/gtest.h>

#include "platform/uikit/ui_device.h"
#include "platform/uikit/ui_screen.h"
#include "tests/platform/uikit/default_device.h"

namespace platform {
namespace {

class DeviceModels : public ::testing::Test {
protected:
    void SetUp() override { quorvel::testing::restoreDefaultDevice(); }
    void TearDown() override { quorvel::testing::restoreDefaultDevice(); }

    static void emulate(const char* identifier, bool simulator = false) {
        DeviceProfile profile = *DeviceProfile::named(identifier);
        profile.simulator = simulator;
        DeviceProfile::setCurrent(profile);
    }
};

TEST_F(DeviceModels, EveryProfileIsAModelOfTheSameNameAndFamily) {
    const std::vector<Device> models = {
        Device::iPhone4s,      Device::iPhoneSE,      Device::iPhone8,        Device::iPhone8Plus,
        Device::iPhoneX,       Device::iPhoneXS,      Device::iPhoneXR,       Device::iPhoneXSMax,
        Device::iPadPro9Inch,  Device::iPadPro10Inch, Device::iPadPro11Inch,  Device::iPadPro12Inch,
        Device::iPadPro12Inch2, Device::iPadPro12Inch3};
    ASSERT_EQ(models.size(), DeviceProfile::knownModels().size());
    for (const DeviceProfile& profile : DeviceProfile::knownModels()) {
        DeviceProfile::setCurrent(profile);
        const Device current = Device::current();
        EXPECT_EQ(Device::identifier(), profile.identifier);
        EXPECT_TRUE(current.isOneOf(models)) << profile.identifier;
        EXPECT_EQ(current, Device::mapToDevice(profile.identifier));
        EXPECT_EQ(current.description(), profile.description);
        EXPECT_EQ(current.isPhone(), profile.family == DeviceFamily::phone) << profile.identifier;
        EXPECT_EQ(current.isPad(), profile.family == DeviceFamily::pad) << profile.identifier;
        EXPECT_FALSE(current.isSimulator());
    }
    EXPECT_TRUE(Device::iPhoneXR.isPhone());
    EXPECT_TRUE(Device::iPadPro9Inch.isPad());
}

TEST_F(DeviceModels, ASimulatorIsItsOwnValueLaidOutLikeItsModel) {
    emulate("iPadPro12Inch2", true);
    EXPECT_EQ(Device::identifier(), "x86_64");
    const Device current = Device::current();
    EXPECT_EQ(current, Device::simulator(Device::iPadPro12Inch2));
    EXPECT_FALSE(current.isOneOf({Device::iPadPro12Inch, Device::iPadPro12Inch2, Device::iPadPro12Inch3}));
    EXPECT_TRUE(current.isOneOf({Device::iPadPro12Inch2, Device::simulator(Device::iPadPro12Inch2)}));
    EXPECT_EQ(current.realDevice(), Device::iPadPro12Inch2);
    EXPECT_TRUE(current.isPad());
    EXPECT_EQ(current.description(), "Simulator (iPad Pro (12.9-inch) (2nd generation))");
}

TEST_F(DeviceModels, AModelNoProfileNamesIsUnknownAndTakesTheHardwaresFamily) {
    EXPECT_EQ(Device::mapToDevice("iPhone11,8"), Device::unknown("iPhone11,8"));
    EXPECT_NE(Device::unknown("iPhone8"), Device::iPhone8);
    EXPECT_FALSE(Device::unknown("iPhone11,8").isPhone());

    DeviceProfile newer = *DeviceProfile::named("iPhoneXR");
    newer.identifier = "iPhone11,8";
    newer.description = "iPhone 11";
    DeviceProfile::setCurrent(newer);
    const Device current = Device::current();
    EXPECT_EQ(current, Device::unknown("iPhone11,8"));
    EXPECT_TRUE(current.isPhone());
    EXPECT_FALSE(current.isOneOf({Device::iPhoneXR, Device::simulator(Device::iPhoneXR)}));
    EXPECT_EQ(current.description(), "iPhone11,8");

    newer.family = DeviceFamily::other;
    DeviceProfile::setCurrent(newer);
    EXPECT_FALSE(Device::current().isPhone());
    EXPECT_FALSE(Device::current().isPad());
}

TEST_F(DeviceModels, OrientationFollowsTheScreenNotTheSensor) {
    emulate("iPhoneX");
    EXPECT_EQ(Device::current().orientation(), Device::Orientation::portrait);
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeLeft);
    EXPECT_EQ(Device::current().orientation(), Device::Orientation::landscape);
    // Lying flat changes the sensor only: the screen stays as it was turned.
    UIDevice::currentDevice().setOrientation(UIDeviceOrientation::faceUp);
    EXPECT_EQ(Device::current().orientation(), Device::Orientation::landscape);
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::portraitUpsideDown);
    EXPECT_EQ(Device::current().orientation(), Device::Orientation::portrait);
}

}  // namespace
}  // namespace platform
