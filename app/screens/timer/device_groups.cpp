#include "app/screens/timer/device_groups.h"

namespace quorvel {

using platform::Device;

std::vector<Device> DeviceGroups::deviceGroupModels(int group) {
    switch (group) {
        case 0:
            return {Device::iPadPro9Inch};
        case 1:
            return {Device::iPadPro12Inch, Device::iPadPro12Inch2, Device::iPadPro12Inch3};
        case 2:
            return {Device::iPadPro10Inch};
        case 3:
            return {Device::iPadPro11Inch};
        default:
            return {};
    }
}

std::vector<Device> DeviceGroups::phoneGroupModels(int group) {
    switch (group) {
        case 0:
            return {Device::iPhone8};
        case 1:
            return {Device::iPhone8Plus};
        case 2:
            return {Device::iPhoneX};
        case 3:
            return {Device::iPhoneXSMax};
        case 4:
            return {Device::iPhoneX, Device::iPhoneXR, Device::iPhoneXS, Device::iPhoneXSMax};
        default:
            return {};
    }
}

bool DeviceGroups::currentIsOneOf(const std::vector<Device>& models) {
    // Each model followed by its simulator, so a simulator is laid out like its model.
    std::vector<Device> candidates;
    candidates.reserve(models.size() * 2);
    for (const Device& model : models) {
        candidates.push_back(model);
        candidates.push_back(Device::simulator(model));
    }
    return Device::current().isOneOf(candidates);
}

}  // namespace quorvel
