#pragma once

#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"

namespace platform {

class UIScrollView;

// A scroll view's own pan. Besides dragging the content, it tells its scroll view when a finger goes
// down on it, which stops a glide under the finger, and when the touches are over, so that content a
// touch left between two pages or past an edge settles.
class UIScrollViewPanGestureRecognizer : public UIPanGestureRecognizer {
public:
    UIScrollViewPanGestureRecognizer();

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;

protected:
    void reset() override;

private:
    UIScrollView* scrollView() const;
};

}  // namespace platform
