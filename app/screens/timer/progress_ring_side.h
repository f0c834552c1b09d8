#pragma once

#include "app/screens/timer/split.h"
#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/device/ui_device.h"

namespace quorvel {

// The side of the progress ring's square on the current device, by orientation (landscape means the
// device lying on its left or right side) and split share.
class ProgressRingSide {
public:
    static platform::CGFloat sideLength(platform::UIDeviceOrientation orientation, Split split);
};

}  // namespace quorvel
