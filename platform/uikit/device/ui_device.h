#pragma once

#include <string>

#include "platform/uikit/device/device_profile.h"

namespace platform {

// How the hardware is held, as its motion sensor reports it.
enum class UIDeviceOrientation : int {
    unknown = 0,
    portrait = 1,
    portraitUpsideDown = 2,
    landscapeLeft = 3,
    landscapeRight = 4,
    faceUp = 5,
    faceDown = 6,
};

inline bool UIDeviceOrientationIsLandscape(UIDeviceOrientation o) {
    return o == UIDeviceOrientation::landscapeLeft || o == UIDeviceOrientation::landscapeRight;
}
inline bool UIDeviceOrientationIsPortrait(UIDeviceOrientation o) {
    return o == UIDeviceOrientation::portrait || o == UIDeviceOrientation::portraitUpsideDown;
}
// Flat and unknown orientations say nothing about how the interface should turn.
inline bool UIDeviceOrientationIsValidInterfaceOrientation(UIDeviceOrientation o) {
    return UIDeviceOrientationIsLandscape(o) || UIDeviceOrientationIsPortrait(o);
}
// The interface turns the other way round from the device: a device turned left shows its interface
// turned right.
UIInterfaceOrientation UIInterfaceOrientationForDevice(UIDeviceOrientation o);

// The emulated device: its sensor orientation is set by the shell (or a test); everything else comes
// from the current DeviceProfile. Main thread.
class UIDevice {
public:
    static UIDevice& currentDevice();

    UIDeviceOrientation orientation() const { return orientation_; }
    void setOrientation(UIDeviceOrientation orientation) { orientation_ = orientation; }

    UIUserInterfaceIdiom userInterfaceIdiom() const { return DeviceProfile::current().idiom; }
    // "iPhone" or "iPad" by family; the exact model is in the profile.
    std::string model() const;
    std::string localizedModel() const { return model(); }
    std::string name() const { return DeviceProfile::current().description; }
    std::string systemVersion() const { return "13.0"; }

    // Portrait, as a device lying on a desk is at start.
    void reset() { orientation_ = UIDeviceOrientation::portrait; }

private:
    UIDevice() = default;
    UIDeviceOrientation orientation_ = UIDeviceOrientation::portrait;
};

inline UIUserInterfaceIdiom UI_USER_INTERFACE_IDIOM() {
    return UIDevice::currentDevice().userInterfaceIdiom();
}

}  // namespace platform
