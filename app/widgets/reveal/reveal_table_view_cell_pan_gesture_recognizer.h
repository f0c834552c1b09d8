#pragma once

#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"

namespace quorvel {

// A reveal cell's pan: it begins once the touch has moved more than kThreshold points sideways, and
// fails when it moves that far up or down first, leaving the drag to the table's scrolling.
class RevealTableViewCellPanGestureRecognizer : public platform::UIPanGestureRecognizer {
public:
    static constexpr platform::CGFloat kThreshold = 5;

    using platform::UIPanGestureRecognizer::UIPanGestureRecognizer;

    // Where the touch went down, in the coordinates of `view` (the window's when null).
    platform::CGPoint startPointInView(const platform::UIView* view) const {
        return pointInView(start_, view);
    }

    void touchesBegan(const platform::UITouchSet& touches, const platform::UIEvent& event) override;
    void touchesMoved(const platform::UITouchSet& touches, const platform::UIEvent& event) override;

protected:
    void reset() override;

private:
    platform::CGPoint start_;  // window coordinates
    bool dragging_ = false;
};

}  // namespace quorvel
