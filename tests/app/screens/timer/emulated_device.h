#pragma once

#include <string>

#include <gtest/gtest.h>

#include "platform/uikit/device_profile.h"
#include "platform/uikit/ui_device.h"
#include "platform/uikit/ui_screen.h"
#include "tests/platform/uikit/default_device.h"

namespace quorvel::testing {

// Each case starts on a portrait iPhone 8 and may emulate any profile, held any way.
class EmulatedDevice : public ::testing::Test {
protected:
    void SetUp() override { restoreDefaultDevice(); }
    void TearDown() override { restoreDefaultDevice(); }

    static void emulate(const platform::DeviceProfile& profile) { platform::DeviceProfile::setCurrent(profile); }
    static void emulate(const std::string& identifier, bool simulator = false) {
        platform::DeviceProfile profile = *platform::DeviceProfile::named(identifier);
        profile.simulator = simulator;
        emulate(profile);
    }
    // A model no profile names, of the given family and idiom.
    static void emulateUnknown(platform::DeviceFamily family, platform::UIUserInterfaceIdiom idiom) {
        platform::DeviceProfile profile = *platform::DeviceProfile::named(
            family == platform::DeviceFamily::phone ? "iPhoneXR" : "iPadPro11Inch");
        profile.identifier = "Unnamed1,1";
        profile.family = family;
        profile.idiom = idiom;
        emulate(profile);
    }
    // The sensor reading; the screen turns with it, except lying flat or unknown, which leave the
    // screen as it was.
    static void hold(platform::UIDeviceOrientation orientation) {
        platform::UIDevice::currentDevice().setOrientation(orientation);
        const auto interface = platform::UIInterfaceOrientationForDevice(orientation);
        platform::UIScreen::mainScreen().setInterfaceOrientation(interface);
    }
};

}  // namespace quorvel::testing
