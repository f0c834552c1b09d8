#pragma once

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/device/ui_device.h"

namespace platform {

// Turns the emulated device and resizes the app's share of the screen the way the platform does: the
// controllers hear of the new size (and traits) first, then the screen, every window and their traits
// change in one animated step that ends in exactly one layout pass, and the transition's completions
// run once its animation is over. The shell's keys and options and the tests drive it. Main thread.
class InterfaceDriver {
public:
    static constexpr double kTransitionDuration = 0.4;

    // Sets the sensor orientation; the interface follows when the key window's root controller allows
    // the new orientation (any, when there is none). Face up, face down and unknown change the sensor
    // reading only. True when the interface turned.
    static bool rotateDevice(UIDeviceOrientation orientation);
    // Turns the interface to the sensor orientation if it differs and is now allowed; true if it turned.
    static bool attemptRotationToDeviceOrientation();
    // Gives the app `share` of the screen's width, from the left edge: 1, or 1/3, 1/2, 2/3 in split view.
    // Shares outside (0, 1] are ignored.
    static void setSplitShare(CGFloat share);

private:
    static void transition(UIInterfaceOrientation orientation, CGFloat share);
};

}  // namespace platform
