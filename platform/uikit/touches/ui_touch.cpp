#include "platform/uikit/touches/ui_touch.h"

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/touches/ui_gesture_recognizer.h"

namespace platform {

UITouch::UITouch(const std::shared_ptr<UIWindow>& window, CGPoint locationInWindow, double timestamp,
                 unsigned tapCount)
    : window_(window),
      location_(locationInWindow),
      previousLocation_(locationInWindow),
      timestamp_(timestamp),
      tapCount_(tapCount) {}

CGPoint UITouch::inView(CGPoint locationInWindow, const UIView* view) const {
    auto window = window_.lock();
    if (!view || !window || view == window.get()) return locationInWindow;
    return view->convertPointFromView(locationInWindow, window.get());
}

CGPoint UITouch::locationInView(const UIView* view) const {
    return inView(location_, view);
}

CGPoint UITouch::previousLocationInView(const UIView* view) const {
    return inView(previousLocation_, view);
}

std::vector<std::shared_ptr<UIGestureRecognizer>> UITouch::gestureRecognizers() const {
    std::vector<std::shared_ptr<UIGestureRecognizer>> result;
    for (const auto& weak : recognizers_) {
        if (auto recognizer = weak.lock()) result.push_back(recognizer);
    }
    return result;
}

void UITouch::update(UITouchPhase phase, CGPoint locationInWindow, double timestamp) {
    phase_ = phase;
    previousLocation_ = location_;
    location_ = locationInWindow;
    timestamp_ = timestamp;
}

}  // namespace platform
