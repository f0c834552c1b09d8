#include "tests/support/touch_driver.h"

#include <cmath>

namespace quorvel::testing {

using platform::CGPoint;

void TouchDriver::play(const std::vector<Step>& script) {
    const double start = clock_->now();
    for (const Step& step : script) {
        const double wait = start + step.at - clock_->now();
        if (wait > 0) clock_->advance(wait);
        switch (step.kind) {
            case Kind::down:
                input_.down(step.point, step.finger);
                break;
            case Kind::move:
                input_.move(step.point, step.finger);
                break;
            case Kind::up:
                input_.up(step.point, step.finger);
                break;
            case Kind::cancel:
                input_.cancel();
                break;
        }
    }
}

void TouchDriver::tap(CGPoint point, double hold) {
    play({{0, Kind::down, point}, {hold, Kind::up, point}});
}

std::vector<TouchDriver::Step> TouchDriver::dragScript(CGPoint from, CGPoint to, double seconds) {
    const int frames = std::max(1, int(std::lround(seconds / kFrame)));
    std::vector<Step> script{{0, Kind::down, from}};
    for (int i = 1; i <= frames; ++i) {
        const double f = double(i) / frames;
        script.push_back(
            {seconds * f, Kind::move, {from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f}});
    }
    script.push_back({seconds + kFrame, Kind::up, to});
    return script;
}

void TouchDriver::drag(CGPoint from, CGPoint to, double seconds) {
    play(dragScript(from, to, seconds));
}

}  // namespace quorvel::testing
