#pragma once

#include "platform/uikit/touches/ui_touch.h"

namespace platform {

// One moment of touch input: every touch of the window that is down, each in the phase this event
// moves it to (the ones that did not change are stationary).
class UIEvent {
public:
    UIEvent(UITouchSet touches, double timestamp) : touches_(std::move(touches)), timestamp_(timestamp) {}

    double timestamp() const { return timestamp_; }
    const UITouchSet& allTouches() const { return touches_; }

private:
    UITouchSet touches_;
    double timestamp_;
};

}  // namespace platform
