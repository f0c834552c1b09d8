#pragma once

#include <vector>

#include "platform/devicekit/device.h"

namespace quorvel {

// The fixed model lists the timer screen sizes its parts by. A model test matches a model or its
// simulator, and looks the current device up afresh each time.
class DeviceGroups {
public:
    // Tablet groups 0–3: the 9.7-inch, the 12.9-inch models, the 10.5-inch and the 11-inch iPad Pro.
    // Empty for any other group number.
    static std::vector<platform::Device> deviceGroupModels(int group);
    // Phone groups 0–4: the 8, the 8 Plus, the X, the XS Max, and the notched phones together.
    static std::vector<platform::Device> phoneGroupModels(int group);

    // Whether the current device is one of the models or the simulator of one.
    static bool currentIsOneOf(const std::vector<platform::Device>& models);
    static bool currentIs(const platform::Device& model) { return currentIsOneOf({model}); }

    // The two groups the layouts name by their kind.
    static bool currentIsTwelveNineInchPad() { return currentIsOneOf(deviceGroupModels(1)); }
    static bool currentIsNotchedPhone() { return currentIsOneOf(phoneGroupModels(4)); }
};

}  // namespace quorvel
