#pragma once

#include "platform/uikit/device_profile.h"
#include "platform/uikit/ui_device.h"
#include "platform/uikit/ui_screen.h"

namespace quorvel::testing {

// A portrait iPhone 8 with a fresh screen and device: where every device-dependent case starts.
inline void restoreDefaultDevice() {
    using namespace platform;
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8"));
    UIScreen::mainScreen().reset();
    UIDevice::currentDevice().reset();
}

}  // namespace quorvel::testing
