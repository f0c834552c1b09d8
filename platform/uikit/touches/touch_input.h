#pragma once

#include <map>
#include <memory>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/views/ui_responder.h"

namespace platform {

class UIWindow;

// Turns pointer input into touches. A finger going down, moving, lifting or being cancelled becomes
// one event, sent to the window the finger went down in: the frontmost shown window with a view under
// it. Points are in screen coordinates and times come from the process clock. Taps in quick
// succession at one place count up the touches' tap count. The desktop shell feeds it the mouse;
// tests feed it through their driver. Main thread only.
class TouchInput {
public:
    void down(CGPoint point, int finger = 0);
    void move(CGPoint point, int finger = 0);
    void up(CGPoint point, int finger = 0);
    // The system takes every finger away (the window lost the pointer).
    void cancel();
    bool isDown(int finger = 0) const { return fingers_.contains(finger); }

private:
    struct Finger {
        std::shared_ptr<UITouch> touch;
        std::weak_ptr<UIWindow> window;
    };
    struct Tap {
        double time = -1e300;
        CGPoint point;
        unsigned count = 0;
    };

    static std::shared_ptr<UIWindow> windowUnder(CGPoint point);
    // Moves the finger to its phase at a screen point and sends its window an event with all the
    // fingers down in it.
    void send(Finger& finger, UITouchPhase phase, CGPoint point);

    std::map<int, Finger> fingers_;
    Tap lastTap_;
};

}  // namespace platform
