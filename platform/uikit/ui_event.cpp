#include "platform/uikit/ui_event.h"

#include <algorithm>

#include "platform/uikit/ui_gesture_recognizer.h"
#include "platform/uikit/ui_window.h"

namespace platform {

namespace {

template <typename Predicate>
UITouchSet select(const UITouchSet& touches, Predicate keep) {
    UITouchSet result;
    std::copy_if(touches.begin(), touches.end(), std::back_inserter(result), keep);
    return result;
}

}  // namespace

UITouchSet UIEvent::touchesForView(const UIView* view) const {
    return select(touches_, [view](const auto& t) { return t->view().get() == view; });
}

UITouchSet UIEvent::touchesForWindow(const UIWindow* window) const {
    return select(touches_, [window](const auto& t) { return t->window().get() == window; });
}

UITouchSet UIEvent::touchesForGestureRecognizer(const UIGestureRecognizer* recognizer) const {
    return select(touches_, [recognizer](const auto& t) {
        return std::ranges::any_of(t->gestureRecognizers(),
                                   [recognizer](const auto& r) { return r.get() == recognizer; });
    });
}

}  // namespace platform
