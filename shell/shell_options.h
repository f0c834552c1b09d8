#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/device/ui_device.h"

namespace quorvel::shell {

// What the command line asks for. Parsing never exits: it says what to print and with which status,
// so main() stays small and tests can run every case.
struct ShellOptions {
    // Unset: the model used last time, else the default.
    std::optional<std::string> device;
    std::optional<platform::UIDeviceOrientation> orientation;
    // The app's share of a tablet's screen width: 1, 2/3, 1/2 or 1/3.
    std::optional<double> split;

    // When set, print `output` (to stderr for a status other than 0) and exit with `exitStatus`.
    struct Exit {
        int exitStatus = 0;
        std::string output;
    };
    std::optional<Exit> exit;

    static ShellOptions parse(const std::vector<std::string>& arguments);
    static std::string usage();
    // The error for a split share asked of a model that cannot split.
    static Exit splitNeedsTablet(const std::string& model);

    static constexpr const char* kDefaultDevice = "iPhone8";
};

}  // namespace quorvel::shell
