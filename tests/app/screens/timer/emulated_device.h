#pragma once

#include <string>

#include <gtest/gtest.h>

#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "tests/platform/uikit/default_device.h"

namespace quorvel::testing {

// Each case starts on a portrait iPhone 8 and may emulate any profile, held any way.
class EmulatedDevice : public ::testing::Test {
protected:
    void SetUp() override { restoreDefaultDevice(); }
    void TearDown() override { restoreDefaultDevice(); }

    static void emulate(const std::string& identifier, bool simulator = false) {
        platform::DeviceProfile profile = *platform::DeviceProfile::named(identifier);
        profile.simulator = simulator;
        platform::DeviceProfile::setCurrent(profile);
    }
    // A model no profile names, of the given family and idiom.
    static void emulateUnknown(platform::DeviceFamily family, platform::UIUserInterfaceIdiom idiom) {
        platform::DeviceProfile profile = *platform::DeviceProfile::named("iPhoneXR");
        profile.identifier = "Unnamed1,1";
        profile.family = family;
        profile.idiom = idiom;
        platform::DeviceProfile::setCurrent(profile);
    }
    // The sensor reading, with the screen turned to match.
    static void hold(platform::UIDeviceOrientation orientation) {
        platform::UIDevice::currentDevice().setOrientation(orientation);
        platform::UIScreen::mainScreen().setInterfaceOrientation(
            platform::UIInterfaceOrientationForDevice(orientation));
    }
};

}  // namespace quorvel::testing
