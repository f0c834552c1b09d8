#pragma once

#include <memory>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/views/ui_responder.h"

namespace platform {

class UIGestureRecognizer;
class UIView;
class UIWindow;

// One finger on the screen, from the moment it goes down until it lifts or the system cancels it.
// An input source (see TouchInput) makes the touch in the window it went down in and updates it for
// every event; the window gives it the view it landed on, and the gesture recognisers that watch it.
class UITouch {
public:
    // Taps that follow each other this closely, in seconds and points, count as one multiple tap.
    static constexpr double kMultipleTapInterval = 0.35;
    static constexpr CGFloat kMultipleTapDistance = 45;

    UITouch(const std::shared_ptr<UIWindow>& window, CGPoint locationInWindow, double timestamp,
            unsigned tapCount);

    UITouchPhase phase() const { return phase_; }
    // Seconds on the process clock.
    double timestamp() const { return timestamp_; }
    unsigned tapCount() const { return tapCount_; }
    std::shared_ptr<UIView> view() const { return view_.lock(); }
    std::shared_ptr<UIWindow> window() const { return window_.lock(); }
    // In the view's coordinates; a null view means the window's.
    CGPoint locationInView(const UIView* view) const;
    CGPoint previousLocationInView(const UIView* view) const;
    CGPoint locationInView(const std::shared_ptr<UIView>& view) const { return locationInView(view.get()); }
    CGPoint previousLocationInView(const std::shared_ptr<UIView>& view) const {
        return previousLocationInView(view.get());
    }
    // The recognisers that receive this touch, deepest view first.
    std::vector<std::shared_ptr<UIGestureRecognizer>> gestureRecognizers() const;

    // For input sources: the next state of the touch, at a point of its window.
    void update(UITouchPhase phase, CGPoint locationInWindow, double timestamp);

private:
    friend class UIWindow;
    friend class GestureArbiter;

    CGPoint inView(CGPoint locationInWindow, const UIView* view) const;

    std::weak_ptr<UIWindow> window_;
    std::weak_ptr<UIView> view_;
    UITouchPhase phase_ = UITouchPhase::began;
    CGPoint location_;
    CGPoint previousLocation_;
    double timestamp_;
    unsigned tapCount_;
    std::vector<std::weak_ptr<UIGestureRecognizer>> recognizers_;
};

}  // namespace platform
