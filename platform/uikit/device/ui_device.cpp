#include "platform/uikit/device/ui_device.h"

namespace platform {

UIInterfaceOrientation UIInterfaceOrientationForDevice(UIDeviceOrientation o) {
    switch (o) {
        case UIDeviceOrientation::portrait:
            return UIInterfaceOrientation::portrait;
        case UIDeviceOrientation::portraitUpsideDown:
            return UIInterfaceOrientation::portraitUpsideDown;
        case UIDeviceOrientation::landscapeLeft:
            return UIInterfaceOrientation::landscapeRight;
        case UIDeviceOrientation::landscapeRight:
            return UIInterfaceOrientation::landscapeLeft;
        default:
            return UIInterfaceOrientation::unknown;
    }
}

UIDevice& UIDevice::currentDevice() {
    static UIDevice device;
    return device;
}

std::string UIDevice::model() const {
    switch (DeviceProfile::current().family) {
        case DeviceFamily::phone:
            return "iPhone";
        case DeviceFamily::pad:
            return "iPad";
        default:
            return "Device";
    }
}

}  // namespace platform
