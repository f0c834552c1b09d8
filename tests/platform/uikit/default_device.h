#pragma once

#include <gtest/gtest.h>

#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"

namespace quorvel::testing {

// A portrait iPhone 8 with a fresh screen and device: where every device-dependent case starts.
inline void restoreDefaultDevice() {
    using namespace platform;
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8"));
    UIScreen::mainScreen().reset();
    UIDevice::currentDevice().reset();
}

// Every case starts on the default device and leaves it that way.
class DefaultDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { restoreDefaultDevice(); }
    void TearDown() override { restoreDefaultDevice(); }
};

}  // namespace quorvel::testing
