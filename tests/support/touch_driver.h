#pragma once

#include <memory>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/foundation/clock.h"
#include "platform/uikit/touches/touch_input.h"

namespace quorvel::testing {

// Plays touches at given virtual times: before each step the clock advances to the step's time
// (firing whatever falls due on the way), then the step goes in through a TouchInput, as the shell's
// mouse input does. Points are screen points.
class TouchDriver {
public:
    enum class Kind { down, move, up, cancel };
    struct Step {
        double at;  // seconds after the script starts
        Kind kind;
        platform::CGPoint point = {};
        int finger = 0;
    };
    // One move every frame of a 60 Hz screen.
    static constexpr double kFrame = 1.0 / 60;

    explicit TouchDriver(std::shared_ptr<platform::VirtualClock> clock) : clock_(std::move(clock)) {}

    void play(const std::vector<Step>& script);
    // Down and up at one point, `hold` seconds apart.
    void tap(platform::CGPoint point, double hold = 0.05);
    // Down at `from`, then one move a frame at an even speed, reaching `to` after `seconds`; the finger
    // lifts there a frame later.
    void drag(platform::CGPoint from, platform::CGPoint to, double seconds);
    static std::vector<Step> dragScript(platform::CGPoint from, platform::CGPoint to, double seconds);

    platform::TouchInput& input() { return input_; }

private:
    std::shared_ptr<platform::VirtualClock> clock_;
    platform::TouchInput input_;
};

}  // namespace quorvel::testing
