#pragma once

#include <cstddef>
#include <deque>
#include <limits>

#include "platform/uikit/touches/ui_gesture_recognizer.h"

namespace platform {

// Recognises fingers dragging: it begins once the centre of its touches has moved kHysteresis points
// from where they went down, then changes with every move and ends when the fingers lift (or fewer
// than the minimum remain). The translation runs from where the touches went down; a finger joining
// or leaving does not make it jump. The velocity is measured over the moves of the last
// kVelocityWindow seconds, and is zero once the fingers have rested that long.
class UIPanGestureRecognizer : public UIGestureRecognizer {
public:
    static constexpr CGFloat kHysteresis = 10;
    static constexpr double kVelocityWindow = 0.1;

    using UIGestureRecognizer::UIGestureRecognizer;


    // In the coordinates of `view` (the window's when null).
    CGPoint translationInView(const UIView* view) const;
    CGPoint translationInView(const std::shared_ptr<UIView>& view) const {
        return translationInView(view.get());
    }
    // Makes the current translation `translation`, and starts measuring the velocity afresh.
    void setTranslation(CGPoint translation, const UIView* view);
    void setTranslation(CGPoint translation, const std::shared_ptr<UIView>& view) {
        setTranslation(translation, view.get());
    }
    // Points per second.
    CGPoint velocityInView(const UIView* view) const;
    CGPoint velocityInView(const std::shared_ptr<UIView>& view) const { return velocityInView(view.get()); }

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;

protected:
    void reset() override;

private:
    struct Sample {
        double time;
        CGPoint location;  // window coordinates
    };

    // The centre of the fingers still down, or of all of them when all lift.
    CGPoint centreOfFingers(bool allLifting) const;
    // The fingers changed: the centre moves without the translation moving with it.
    void refit(CGPoint centre);
    void follow(CGPoint centre, double time);
    // A window vector in the view's coordinates, and back.
    CGPoint vectorInView(CGPoint vector, const UIView* view) const;
    CGPoint vectorInWindow(CGPoint vector, const UIView* view) const;

    size_t minimumTouches_ = 1;
    size_t maximumTouches_ = std::numeric_limits<size_t>::max();
    bool tracking_ = false;
    CGPoint origin_;  // where the translation is zero, window coordinates
    CGPoint centre_;  // the fingers' centre, window coordinates
    double lastEvent_ = 0;
    std::deque<Sample> samples_;
};

}  // namespace platform
