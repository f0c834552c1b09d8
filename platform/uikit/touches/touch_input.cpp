#include "platform/uikit/touches/touch_input.h"

#include <cmath>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/touches/ui_event.h"

namespace platform {

namespace {

CGPoint inWindow(const UIWindow& window, CGPoint screenPoint) {
    return window.layer()->convertPointFromSuperlayer(screenPoint).value_or(screenPoint);
}

}  // namespace

std::shared_ptr<UIWindow> TouchInput::windowUnder(CGPoint point) {
    auto windows = UIWindow::windows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!(*it)->isHidden() && (*it)->hitTest(inWindow(**it, point), nullptr)) return *it;
    }
    return nullptr;
}

void TouchInput::down(CGPoint point, int finger) {
    if (isDown(finger)) up(point, finger);
    auto window = windowUnder(point);
    if (!window) return;
    const double now = Clock::shared().now();
    const bool again =
        now - lastTap_.time <= UITouch::kMultipleTapInterval &&
        std::hypot(point.x - lastTap_.point.x, point.y - lastTap_.point.y) <= UITouch::kMultipleTapDistance;
    const unsigned taps = again ? lastTap_.count + 1 : 1;
    Finger& f = fingers_[finger];
    f.touch = std::make_shared<UITouch>(window, inWindow(*window, point), now, taps);
    f.window = window;
    send(f, UITouchPhase::began, point);
}

void TouchInput::move(CGPoint point, int finger) {
    auto it = fingers_.find(finger);
    if (it != fingers_.end()) send(it->second, UITouchPhase::moved, point);
}

void TouchInput::up(CGPoint point, int finger) {
    auto it = fingers_.find(finger);
    if (it == fingers_.end()) return;
    Finger f = it->second;
    fingers_.erase(it);
    lastTap_ = {Clock::shared().now(), point, f.touch->tapCount()};
    send(f, UITouchPhase::ended, point);
}

void TouchInput::cancel() {
    const double now = Clock::shared().now();
    std::map<std::shared_ptr<UIWindow>, UITouchSet> byWindow;
    for (auto& [id, f] : fingers_) {
        auto window = f.window.lock();
        if (!window) continue;
        f.touch->update(UITouchPhase::cancelled, f.touch->locationInView(nullptr), now);
        byWindow[window].push_back(f.touch);
    }
    fingers_.clear();
    for (auto& [window, touches] : byWindow) window->sendEvent(UIEvent(std::move(touches), now));
}

void TouchInput::send(Finger& finger, UITouchPhase phase, CGPoint point) {
    auto window = finger.window.lock();
    if (!window) return;
    const double now = Clock::shared().now();
    if (phase != UITouchPhase::began) finger.touch->update(phase, inWindow(*window, point), now);
    UITouchSet touches{finger.touch};
    for (auto& [id, other] : fingers_) {
        if (other.touch == finger.touch || other.window.lock() != window) continue;
        other.touch->update(UITouchPhase::stationary, other.touch->locationInView(nullptr), now);
        touches.push_back(other.touch);
    }
    window->sendEvent(UIEvent(std::move(touches), now));
}

}  // namespace platform
