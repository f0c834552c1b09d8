#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/ns_run_loop.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"

namespace quorvel::testing {

// Writes down the delegate's messages (runs of didScroll as one word, so a sequence reads as phases),
// what the scroll view was doing at each, the offset at each didScroll and what it was told when the
// finger let go.
class ScrollRecorder : public platform::UIScrollViewDelegate {
public:
    using UIScrollView = platform::UIScrollView;
    using CGPoint = platform::CGPoint;

    std::vector<std::string> log;
    std::vector<CGPoint> offsets;
    CGPoint releasedAt;
    CGPoint velocity;  // points per millisecond
    std::optional<CGPoint> retarget;
    bool trackingModeWhileGliding = false;

    void scrollViewDidScroll(UIScrollView& v) override {
        if (v.isDecelerating())
            trackingModeWhileGliding =
                platform::NSRunLoop::main().currentMode() == platform::UITrackingRunLoopMode;
        if (log.empty() || log.back() != "scroll") log.push_back("scroll");
        offsets.push_back(v.contentOffset());
    }
    void scrollViewWillBeginDragging(UIScrollView& v) override {
        log.push_back(v.isTracking() ? "beginDrag" : "beginDrag untracked");
    }
    void scrollViewWillEndDragging(UIScrollView& v, CGPoint speed, CGPoint& target) override {
        log.push_back("willEndDrag");
        releasedAt = v.contentOffset();
        velocity = speed;
        if (retarget) target = *retarget;
    }
    void scrollViewDidEndDragging(UIScrollView&, bool decelerate) override {
        log.push_back(decelerate ? "endDrag+" : "endDrag");
    }
    void scrollViewWillBeginDecelerating(UIScrollView& v) override {
        log.push_back(v.isDecelerating() ? "beginDecelerate" : "beginDecelerate still");
    }
    void scrollViewDidEndDecelerating(UIScrollView& v) override {
        log.push_back(v.isDecelerating() ? "endDecelerate moving" : "endDecelerate");
    }
    void scrollViewDidEndScrollingAnimation(UIScrollView&) override { log.push_back("endAnimation"); }
};

}  // namespace quorvel::testing
