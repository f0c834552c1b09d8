#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/uikit/device/device_profile.h"

namespace platform {

// A hardware model as layout code names it: one of the device profiles (platform/uikit), the simulator
// of one, or a model the profiles do not know. Models are values compared by identity of the model;
// the simulator of a model is another value. Main thread.
class Device {
public:
    enum class Orientation { landscape, portrait };

    // The models, one for each device profile of the same identifier.
    static const Device iPhone4s;
    static const Device iPhoneSE;
    static const Device iPhone8;
    static const Device iPhone8Plus;
    static const Device iPhoneX;
    static const Device iPhoneXS;
    static const Device iPhoneXR;
    static const Device iPhoneXSMax;
    static const Device iPadPro9Inch;
    static const Device iPadPro10Inch;
    static const Device iPadPro11Inch;
    static const Device iPadPro12Inch;
    static const Device iPadPro12Inch2;
    static const Device iPadPro12Inch3;

    // The same model as the simulator runs it.
    static Device simulator(const Device& model);
    // A model no profile names.
    static Device unknown(std::string identifier);

    // The hardware identifier of the emulated device: its profile's identifier, or the simulator's
    // processor name when the profile is a simulator.
    static std::string identifier();
    // The model an identifier names; the simulator's processor name maps to the simulator of the
    // emulated model, and anything else no profile names to an unknown model.
    static Device mapToDevice(std::string_view identifier);
    // The emulated device, looked up afresh on every call.
    static Device current();

    bool isOneOf(const std::vector<Device>& devices) const;
    // By the hardware family: the profile's for the current device, the known model's otherwise; a
    // model no profile names is neither phone nor pad unless it is the current device.
    bool isPhone() const { return family_ == DeviceFamily::phone; }
    bool isPad() const { return family_ == DeviceFamily::pad; }
    // The model itself, or the one a simulator runs.
    Device realDevice() const;
    // How the emulated screen is turned: landscape exactly when it is wider than tall.
    Orientation orientation() const;
    // A readable model name: "iPhone 8", "Simulator (iPhone 8)", or the unknown identifier.
    std::string description() const;

    // Same model, both simulators or both not.
    bool operator==(const Device& other) const {
        return identifier_ == other.identifier_ && simulator_ == other.simulator_ && known_ == other.known_;
    }

private:
    // A model by a profile's identifier.
    explicit Device(std::string_view identifier);
    Device(std::string identifier, bool simulator, bool known, DeviceFamily family)
        : identifier_(std::move(identifier)), simulator_(simulator), known_(known), family_(family) {}

    std::string identifier_;
    bool simulator_ = false;
    bool known_ = true;
    DeviceFamily family_ = DeviceFamily::other;
};

// Defined here, before any use in a file that includes this one, so other files' static tables may
// name them.
inline const Device Device::iPhone4s{"iPhone4s"};
inline const Device Device::iPhoneSE{"iPhoneSE"};
inline const Device Device::iPhone8{"iPhone8"};
inline const Device Device::iPhone8Plus{"iPhone8Plus"};
inline const Device Device::iPhoneX{"iPhoneX"};
inline const Device Device::iPhoneXS{"iPhoneXS"};
inline const Device Device::iPhoneXR{"iPhoneXR"};
inline const Device Device::iPhoneXSMax{"iPhoneXSMax"};
inline const Device Device::iPadPro9Inch{"iPadPro9Inch"};
inline const Device Device::iPadPro10Inch{"iPadPro10Inch"};
inline const Device Device::iPadPro11Inch{"iPadPro11Inch"};
inline const Device Device::iPadPro12Inch{"iPadPro12Inch"};
inline const Device Device::iPadPro12Inch2{"iPadPro12Inch2"};
inline const Device Device::iPadPro12Inch3{"iPadPro12Inch3"};

}  // namespace platform
