#include "platform/uikit/scrolling/ui_scroll_view_pan_gesture_recognizer.h"

#include "platform/uikit/scrolling/ui_scroll_view.h"

namespace platform {

UIScrollViewPanGestureRecognizer::UIScrollViewPanGestureRecognizer()
    : UIPanGestureRecognizer([](UIGestureRecognizer& recognizer) {
          auto& pan = static_cast<UIScrollViewPanGestureRecognizer&>(recognizer);
          if (UIScrollView* view = pan.scrollView()) view->panned(pan);
      }) {}

UIScrollView* UIScrollViewPanGestureRecognizer::scrollView() const {
    return dynamic_cast<UIScrollView*>(view().get());
}

void UIScrollViewPanGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    const bool first = numberOfTouches() == touches.size();
    UIPanGestureRecognizer::touchesBegan(touches, event);
    if (first) {
        if (UIScrollView* view = scrollView()) view->touchedDown();
    }
}

void UIScrollViewPanGestureRecognizer::reset() {
    UIPanGestureRecognizer::reset();
    if (UIScrollView* view = scrollView()) view->touchesWereOver();
}

}  // namespace platform
