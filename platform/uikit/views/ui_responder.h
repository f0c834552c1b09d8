#pragma once

#include <memory>
#include <vector>

namespace platform {

class UIEvent;
class UITouch;

enum class UITouchPhase : int { began = 0, moved, stationary, ended, cancelled };

// The touches of one phase handed to a responder together.
using UITouchSet = std::vector<std::shared_ptr<UITouch>>;

// An object on the responder chain. A responder that does not handle a touch phase passes it to its
// next responder, so touches a view ignores reach its superview and, at the end, the window.
class UIResponder {
public:
    virtual ~UIResponder() = default;

    virtual UIResponder* nextResponder() const { return nullptr; }

    virtual void touchesBegan(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesMoved(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesEnded(const UITouchSet& touches, const UIEvent* event);
    virtual void touchesCancelled(const UITouchSet& touches, const UIEvent* event);

    // Whether this class handles the phase itself instead of passing it on. A class that overrides a
    // touches method says so here, because widgets leave touches alone in views that track them.
    virtual bool handlesTouchPhase(UITouchPhase phase) const {
        (void)phase;
        return false;
    }
};

}  // namespace platform
