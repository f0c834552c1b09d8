#include "platform/devicekit/device.h"

#include <algorithm>
#include <utility>

#include "platform/uikit/device/ui_screen.h"

namespace platform {

namespace {

// What a simulator reports as its hardware: the processor it runs on. The model it shows is the
// profile's, as a simulator reads it from its environment.
constexpr std::string_view kSimulatorIdentifier = "x86_64";

DeviceFamily familyOf(std::string_view identifier) {
    const auto profile = DeviceProfile::named(identifier);
    return profile ? profile->family : DeviceFamily::other;
}

}  // namespace

Device::Device(std::string_view identifier)
    : identifier_(identifier),
      known_(DeviceProfile::named(identifier).has_value()),
      family_(familyOf(identifier)) {}

Device Device::simulator(const Device& model) {
    Device device = model;
    device.simulator_ = true;
    return device;
}

Device Device::unknown(std::string identifier) {
    return Device(std::move(identifier), false, false, DeviceFamily::other);
}

std::string Device::identifier() {
    const DeviceProfile& profile = DeviceProfile::current();
    return profile.simulator ? std::string(kSimulatorIdentifier) : profile.identifier;
}

Device Device::mapToDevice(std::string_view identifier) {
    if (identifier == kSimulatorIdentifier)
        return simulator(mapToDevice(DeviceProfile::current().identifier));
    if (DeviceProfile::named(identifier)) return Device(identifier);
    return unknown(std::string(identifier));
}

Device Device::current() {
    Device device = mapToDevice(identifier());
    // The hardware knows its family even where no profile names its model.
    device.family_ = DeviceProfile::current().family;
    return device;
}

bool Device::isOneOf(const std::vector<Device>& devices) const {
    return std::find(devices.begin(), devices.end(), *this) != devices.end();
}

Device Device::realDevice() const {
    Device device = *this;
    device.simulator_ = false;
    return device;
}

Device::Orientation Device::orientation() const {
    const CGSize size = UIScreen::mainScreen().bounds().size;
    return size.width > size.height ? Orientation::landscape : Orientation::portrait;
}

std::string Device::description() const {
    const auto profile = DeviceProfile::named(identifier_);
    const std::string name = known_ && profile ? profile->description : identifier_;
    return simulator_ ? "Simulator (" + name + ")" : name;
}

}  // namespace platform
