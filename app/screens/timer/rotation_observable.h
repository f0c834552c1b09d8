#pragma once

#include "app/screens/timer/split.h"
#include "platform/uikit/device/ui_device.h"

namespace quorvel {

// A view that follows rotations and split-view changes; the timer screen tells each one, in order, after
// every rotation, split change or appearance. Each keeps the last split it was given.
class RotationObservable {
public:
    virtual ~RotationObservable() = default;

    virtual Split splitStatus() const = 0;
    virtual void updateForRotation(platform::UIDeviceOrientation orientation, Split split) = 0;
};

}  // namespace quorvel
