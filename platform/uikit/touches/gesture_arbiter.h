#pragma once

#include <memory>
#include <vector>

#include "platform/uikit/touches/ui_gesture_recognizer.h"

namespace platform {

// Decides between the gesture recognisers that watch the same touches. A touch that goes down is
// given the recognisers of its view and of the view's ancestors, deepest view first, and each event
// reaches them in that order before the views see it. When one of them would begin (or recognise):
//  - its delegate and its view may refuse, and so may a view under the touch that takes precedence
//    over a recogniser of its ancestor (a control over a tap);
//  - if it must wait for others to fail, it waits, and fails once one of those recognises;
//  - a recogniser already in progress keeps the touches, unless the two may recognise together;
//  - once it begins, the other recognisers still deciding fail (unless they may recognise together),
//    its touches are cancelled in their views, and its targets hear of it.
// When every recogniser of the touches is done and the touches have lifted, all are reset.
// Main thread only.
class GestureArbiter {
public:
    static GestureArbiter& shared();

    // Gives a touch that went down on its view the recognisers that take it.
    void attach(const std::shared_ptr<UITouch>& touch);
    // Hands the event's touches to their recognisers, phase by phase.
    void deliver(const UIEvent& event);
    // After the views had the event: lifted touches leave their recognisers; settled ones reset.
    void finish(const UIEvent& event);
    // Whether the touch's phase must wait before reaching its view, because a recogniser that delays
    // it has not decided yet.
    bool delaysForView(const UITouch& touch, UITouchPhase phase) const;

    // A recogniser asks for a new state.
    void transition(UIGestureRecognizer& recognizer, UIGestureRecognizerState state);
    // A recogniser was disabled or left its view: a gesture in progress is cancelled (its targets
    // hear of it when `tellTargets`), and the recogniser takes no further part in the current touches.
    void withdraw(UIGestureRecognizer& recognizer, bool tellTargets);

private:
    enum class Requirement { met, waiting, broken };

    bool isActive(const UIGestureRecognizer& recognizer) const;
    bool mayBegin(UIGestureRecognizer& recognizer) const;
    Requirement requirementsOf(const UIGestureRecognizer& recognizer) const;
    // Whether `winner` recognising keeps `other` from it: they share a touch and may not share it.
    static bool excludes(UIGestureRecognizer& winner, UIGestureRecognizer& other);
    void tryToBegin(UIGestureRecognizer& recognizer, UIGestureRecognizerState state);
    void fail(UIGestureRecognizer& recognizer);
    void resumeWaiting();
    void resetIfDone();

    std::vector<std::shared_ptr<UIGestureRecognizer>> active_;
    int delivering_ = 0;
};

}  // namespace platform
