#pragma once

#include <string>
#include <variant>

#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_device.h"
#include "shell/shell_options.h"

namespace quorvel::shell {

struct DeviceSetup {
    platform::DeviceProfile profile;
    platform::UIDeviceOrientation orientation = platform::UIDeviceOrientation::portrait;
    double split = 1;
};

// The device the shell emulates: what the command line asks for, else what was used last, else an
// upright iPhone 8 with the whole screen. The shell remembers it in a preferences suite of its own,
// beside the app's, so the next start shows the same device.
class ShellSettings {
public:
    // The setup to start with, or what to exit with (a split share asked of a phone).
    static std::variant<DeviceSetup, ShellOptions::Exit> resolve(const ShellOptions& options);
    static void remember(const DeviceSetup& setup);
    static std::string suiteName();
};

}  // namespace quorvel::shell
