#include "platform/devicekit/device.h"

#include <gtest/gtest.h>

#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "tests/platform/uikit/default_device.h"

namespace platform {
namespace {

class DeviceModels : public ::testing::Test {
protected:
    void SetUp() override { quorvel::testing::restoreDefaultDevice(); }
    void TearDown() override { quorvel::testing::restoreDefaultDevice(); }
};

TEST_F(DeviceModels, EveryProfileIsAModelOfTheSameNameAndFamilyAndSoIsItsSimulator) {
    const std::vector<Device> models = {Device::iPhone4s,       Device::iPhoneSE,      Device::iPhone8,
                                        Device::iPhone8Plus,    Device::iPhoneX,       Device::iPhoneXS,
                                        Device::iPhoneXR,       Device::iPhoneXSMax,   Device::iPadPro9Inch,
                                        Device::iPadPro10Inch,  Device::iPadPro11Inch, Device::iPadPro12Inch,
                                        Device::iPadPro12Inch2, Device::iPadPro12Inch3};
    ASSERT_EQ(models.size(), DeviceProfile::knownModels().size());
    for (DeviceProfile profile : DeviceProfile::knownModels()) {
        DeviceProfile::setCurrent(profile);
        const Device model = Device::current();
        EXPECT_TRUE(model.isOneOf(models)) << profile.identifier;
        EXPECT_EQ(model, Device::mapToDevice(profile.identifier));
        EXPECT_EQ(model.description(), profile.description);
        EXPECT_EQ(model.isPhone(), profile.family == DeviceFamily::phone) << profile.identifier;
        EXPECT_EQ(model.isPad(), profile.family == DeviceFamily::pad) << profile.identifier;

        profile.simulator = true;
        DeviceProfile::setCurrent(profile);
        const Device simulator = Device::current();
        EXPECT_EQ(Device::identifier(), "x86_64");
        EXPECT_EQ(simulator, Device::simulator(model));
        EXPECT_FALSE(simulator.isOneOf(models));
        EXPECT_EQ(simulator.realDevice(), model);
        EXPECT_EQ(simulator.isPad(), model.isPad());
        EXPECT_EQ(simulator.description(), "Simulator (" + profile.description + ")");
    }
}

TEST_F(DeviceModels, AModelNoProfileNamesIsUnknownAndTakesTheHardwaresFamily) {
    EXPECT_EQ(Device::mapToDevice("iPhone11,8"), Device::unknown("iPhone11,8"));
    EXPECT_NE(Device::unknown("iPhone8"), Device::iPhone8);
    DeviceProfile newer = *DeviceProfile::named("iPhoneXR");
    newer.identifier = "iPhone11,8";
    DeviceProfile::setCurrent(newer);
    EXPECT_EQ(Device::current(), Device::unknown("iPhone11,8"));
    EXPECT_TRUE(Device::current().isPhone());
    EXPECT_EQ(Device::current().description(), "iPhone11,8");
    newer.family = DeviceFamily::other;
    DeviceProfile::setCurrent(newer);
    EXPECT_FALSE(Device::current().isPhone() || Device::current().isPad());
}

TEST_F(DeviceModels, OrientationFollowsTheScreenNotTheSensor) {
    EXPECT_EQ(Device::current().orientation(), Device::Orientation::portrait);
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientation::landscapeLeft);
    EXPECT_EQ(Device::current().orientation(), Device::Orientation::landscape);
    UIDevice::currentDevice().setOrientation(UIDeviceOrientation::faceUp);
    EXPECT_EQ(Device::current().orientation(), Device::Orientation::landscape) << "lying flat turns nothing";
}

}  // namespace
}  // namespace platform
