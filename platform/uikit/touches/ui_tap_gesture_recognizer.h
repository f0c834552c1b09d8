#pragma once

#include <vector>

#include "platform/uikit/touches/ui_gesture_recognizer.h"

namespace platform {

// Recognises a number of taps, each by a number of fingers going down and lifting together without
// wandering. The taps of a multiple tap follow each other within UITouch::kMultipleTapInterval and
// near the first; the recogniser fails when the next tap is late.
class UITapGestureRecognizer : public UIGestureRecognizer {
public:
    // How far a finger may move, in points, and still tap.
    static constexpr CGFloat kAllowableMovement = 10;

    using UIGestureRecognizer::UIGestureRecognizer;

    unsigned numberOfTapsRequired() const { return tapsRequired_; }
    void setNumberOfTapsRequired(unsigned taps) { tapsRequired_ = std::max(1u, taps); }
    unsigned numberOfTouchesRequired() const { return touchesRequired_; }
    void setNumberOfTouchesRequired(unsigned touches) { touchesRequired_ = std::max(1u, touches); }

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent& event) override;

protected:
    void reset() override;

private:
    void waitForNextTap();

    unsigned tapsRequired_ = 1;
    unsigned touchesRequired_ = 1;
    unsigned taps_ = 0;
    size_t mostFingers_ = 0;  // in the tap under way
    std::vector<std::pair<const UITouch*, CGPoint>> starts_;
    CGPoint firstTap_;
    unsigned wait_ = 0;  // numbers the waits for a next tap; a stale one does nothing
};

}  // namespace platform
