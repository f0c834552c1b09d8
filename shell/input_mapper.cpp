#include "shell/input_mapper.h"

#include <cstdio>

#include "shell/shell_trace.h"

namespace quorvel::shell {

namespace {

void trace(const char* phase, int finger, CGPoint p) {
    if (!ShellTrace::enabled()) return;
    char text[96];
    std::snprintf(text, sizeof text, "touch %s %d %.1f %.1f", phase, finger, p.x, p.y);
    ShellTrace::line(text);
}

}  // namespace

bool InputMapper::handle(const SDL_Event& event, const DeviceViewport& viewport) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            // A touch screen's own events come below; SDL's mouse copies of them are skipped.
            const auto& b = event.button;
            if (b.which == SDL_TOUCH_MOUSEID || b.button != SDL_BUTTON_LEFT) return false;
            const CGPoint p = viewport.screenPointAt({double(b.x), double(b.y)});
            if (b.type == SDL_MOUSEBUTTONUP) return lift(kMouseFinger, p, viewport);
            return viewport.showsPoint(p) && press(kMouseFinger, p);
        }
        case SDL_MOUSEMOTION: {
            const auto& m = event.motion;
            if (m.which == SDL_TOUCH_MOUSEID) return false;
            return drag(kMouseFinger, viewport.screenPointAt({double(m.x), double(m.y)}), viewport);
        }
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
            const auto& f = event.tfinger;
            if (f.touchId == SDL_MOUSE_TOUCHID) return false;
            const CGPoint p = viewport.screenPointAtFraction({f.x, f.y});
            if (f.type == SDL_FINGERDOWN)
                return viewport.showsPoint(p) && press(fingerFor(f.fingerId, true), p);
            const int finger = fingerFor(f.fingerId, false);
            if (finger < 0) return false;
            if (f.type == SDL_FINGERMOTION) return drag(finger, p, viewport);
            fingers_.erase(f.fingerId);
            return lift(finger, p, viewport);
        }
        default:
            return false;
    }
}

void InputMapper::cancelAll() {
    fingers_.clear();
    touches_.cancel();
}

bool InputMapper::press(int finger, CGPoint point) {
    touches_.down(point, finger);
    trace("began", finger, point);
    return true;
}

bool InputMapper::drag(int finger, CGPoint point, const DeviceViewport& viewport) {
    if (!touches_.isDown(finger)) return false;
    const CGPoint p = viewport.clampedToScreen(point);
    touches_.move(p, finger);
    return true;
}

bool InputMapper::lift(int finger, CGPoint point, const DeviceViewport& viewport) {
    if (!touches_.isDown(finger)) return false;
    const CGPoint p = viewport.clampedToScreen(point);
    touches_.up(p, finger);
    trace("ended", finger, p);
    return true;
}

int InputMapper::fingerFor(SDL_FingerID id, bool allocate) {
    if (auto it = fingers_.find(id); it != fingers_.end()) return it->second;
    if (!allocate) return -1;
    return fingers_[id] = nextFinger_++;
}

}  // namespace quorvel::shell
