#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_device.h"

namespace quorvel::shell {

// The names a user gives the emulated device's model, orientation and split share, on the command line
// and in the shell's remembered settings, and the shares a tablet's split cycles through.
class DeviceChoices {
public:
    static std::optional<platform::DeviceProfile> model(std::string_view identifier);
    enum class Models { all, tablets };
    // "iPhone4s, iPhoneSE, ...": the models in the order --list-devices shows them.
    static std::string modelNames(Models which);

    // portrait, upside-down, landscape-left, landscape-right, face-up, face-down.
    static std::optional<platform::UIDeviceOrientation> orientation(std::string_view name);
    static std::string orientationName(platform::UIDeviceOrientation orientation);
    static std::string orientationNames();

    // full, 2/3, 1/2, 1/3: the app's share of the screen's width.
    static std::optional<double> split(std::string_view name);
    static std::string splitName(double share);
    static std::string splitNames();
    // The share after `share` in the order full → 2/3 → 1/2 → 1/3 → full.
    static double nextSplit(double share);
    // Only a tablet shares its screen with another app.
    static bool canSplit(const platform::DeviceProfile& profile);
};

}  // namespace quorvel::shell
