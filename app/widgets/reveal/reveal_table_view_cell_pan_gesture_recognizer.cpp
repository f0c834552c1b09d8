#include "app/widgets/reveal/reveal_table_view_cell_pan_gesture_recognizer.h"

#include <cmath>

namespace quorvel {

using namespace platform;

void RevealTableViewCellPanGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    if (numberOfTouches() == touches.size()) start_ = centroidInWindow();
    UIPanGestureRecognizer::touchesBegan(touches, event);
}

void RevealTableViewCellPanGestureRecognizer::touchesMoved(const UITouchSet& touches, const UIEvent& event) {
    if (state() == UIGestureRecognizerState::possible && !dragging_) {
        const CGPoint now = centroidInWindow();
        const CGFloat across = std::abs(now.x - start_.x), along = std::abs(now.y - start_.y);
        // Both past the threshold in one move: the larger came first.
        if (along > kThreshold && along >= across) {
            setState(UIGestureRecognizerState::failed);
            return;
        }
        dragging_ = across > kThreshold;
    }
    UIPanGestureRecognizer::touchesMoved(touches, event);
    if (dragging_ && state() == UIGestureRecognizerState::possible) setState(UIGestureRecognizerState::began);
}

void RevealTableViewCellPanGestureRecognizer::reset() {
    UIPanGestureRecognizer::reset();
    dragging_ = false;
}

}  // namespace quorvel
