#include "app/screens/timer/device_pixel_steps.h"

#include <cmath>

#include "platform/uikit/device/ui_screen.h"

namespace quorvel {

double roundedToDevicePixels(double value, double pointsPerUnit) {
    const double steps = std::round(pointsPerUnit * platform::UIScreen::mainScreen().scale());
    return steps >= 1 ? std::round(value * steps) / steps : value;
}

}  // namespace quorvel
