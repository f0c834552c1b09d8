#include "app/screens/timer/device_groups.h"

#include <gtest/gtest.h>

#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using platform::Device;

class DeviceGroupsMatch : public testing::EmulatedDevice {};

TEST_F(DeviceGroupsMatch, GroupsHoldTheirModelsAndNothingOutsideTheirNumbers) {
    EXPECT_EQ(DeviceGroups::deviceGroupModels(1),
              (std::vector<Device>{Device::iPadPro12Inch, Device::iPadPro12Inch2, Device::iPadPro12Inch3}));
    EXPECT_EQ(DeviceGroups::phoneGroupModels(4),
              (std::vector<Device>{Device::iPhoneX, Device::iPhoneXR, Device::iPhoneXS, Device::iPhoneXSMax}));
    EXPECT_EQ(DeviceGroups::deviceGroupModels(3), std::vector<Device>{Device::iPadPro11Inch});
    EXPECT_EQ(DeviceGroups::phoneGroupModels(0), std::vector<Device>{Device::iPhone8});
    for (int outside : {-1, 4, 99}) EXPECT_TRUE(DeviceGroups::deviceGroupModels(outside).empty());
    for (int outside : {-1, 5}) EXPECT_TRUE(DeviceGroups::phoneGroupModels(outside).empty());
}

TEST_F(DeviceGroupsMatch, ASimulatorMatchesItsModelsGroupAndOnlyListedModelsMatch) {
    emulate("iPadPro12Inch2", true);
    EXPECT_TRUE(DeviceGroups::currentIsTwelveNineInchPad());
    EXPECT_FALSE(DeviceGroups::currentIsOneOf(DeviceGroups::deviceGroupModels(3)));

    emulate("iPhoneXS");
    EXPECT_FALSE(DeviceGroups::currentIsOneOf(DeviceGroups::phoneGroupModels(3)));
    EXPECT_TRUE(DeviceGroups::currentIsNotchedPhone());

    emulateUnknown(platform::DeviceFamily::phone, platform::UIUserInterfaceIdiom::phone);
    EXPECT_FALSE(DeviceGroups::currentIsNotchedPhone());
    EXPECT_FALSE(DeviceGroups::currentIsOneOf({}));
}

}  // namespace
}  // namespace quorvel
