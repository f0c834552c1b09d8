#pragma once

#include <SDL.h>

#include <map>

#include "platform/uikit/touches/touch_input.h"
#include "shell/device_viewport.h"

namespace quorvel::shell {

// Turns the desktop's pointer into fingers on the emulated screen: the left mouse button is one
// finger, each finger of a touch screen another. A press outside the screen touches nothing; a drag
// that leaves it stays on the screen's edge.
class InputMapper {
public:
    explicit InputMapper(platform::TouchInput& touches) : touches_(touches) {}

    // True when the event was input for the screen (the frame may have changed).
    bool handle(const SDL_Event& event, const DeviceViewport& viewport);
    // Every finger lifts without effect (the window lost the pointer or went away).
    void cancelAll();

private:
    static constexpr int kMouseFinger = 0;

    bool press(int finger, CGPoint point);
    bool drag(int finger, CGPoint point, const DeviceViewport& viewport);
    bool lift(int finger, CGPoint point, const DeviceViewport& viewport);
    int fingerFor(SDL_FingerID id, bool allocate);

    platform::TouchInput& touches_;
    std::map<SDL_FingerID, int> fingers_;
    int nextFinger_ = kMouseFinger + 1;
};

}  // namespace quorvel::shell
