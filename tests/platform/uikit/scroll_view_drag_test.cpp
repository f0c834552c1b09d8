#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/foundation/ns_run_loop.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "tests/platform/uikit/scroll_recorder.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;
using quorvel::testing::ScrollRecorder;
using quorvel::testing::TouchDriver;

namespace {

using Log = std::vector<std::string>;
const Log kFling{"beginDrag",       "scroll", "willEndDrag",  "endDrag+",
                 "beginDecelerate", "scroll", "endDecelerate"};

class ScrollViewDrag : public quorvel::testing::TouchTest {
protected:
    std::shared_ptr<UIScrollView> view = addView<UIScrollView>(window, CGRect(0, 0, 375, 667));
    std::shared_ptr<ScrollRecorder> recorder = std::make_shared<ScrollRecorder>();

    void SetUp() override {
        TouchTest::SetUp();
        view->setContentSize({375, 5000});
        view->setDelegate(recorder);
    }

    // Drags the content up by `distance` points in `seconds`, lifting at once, and lets it settle.
    void flingUp(CGFloat distance, double seconds, CGFloat x = 180) {
        driver.drag({x, 500}, {x, 500 - distance}, seconds);
        clock->advance(10);
    }
};

}  // namespace

TEST_F(ScrollViewDrag, AFlingComesToRestWhereTheDecelerationFormulaSays) {
    view->setContentOffset({0, 1000});
    recorder->log.clear();
    driver.play(TouchDriver::dragScript({180, 500}, {180, 200}, 0.3));
    // Let go, it glides on its own, in the run loop's tracking mode.
    EXPECT_TRUE(view->isDecelerating());
    EXPECT_FALSE(view->isDragging() || view->isTracking());
    EXPECT_EQ(NSRunLoop::main().currentMode(), UITrackingRunLoopMode);
    clock->advance(10);

    EXPECT_EQ(recorder->log, kFling);
    EXPECT_TRUE(recorder->trackingModeWhileGliding);
    EXPECT_EQ(NSRunLoop::main().currentMode(), NSDefaultRunLoopMode);
    EXPECT_FALSE(view->isDecelerating());
    // The drag moved the content with the finger, less the 10 points the pan took to begin.
    EXPECT_NEAR(recorder->releasedAt.y, 1000 + 290, 1e-6);
    // About the finger's 1000 points a second.
    EXPECT_NEAR(recorder->velocity.y, 1.0, 0.2);
    EXPECT_EQ(recorder->velocity.x, 0);
    const CGFloat rest =
        recorder->releasedAt.y + recorder->velocity.y / -std::log(UIScrollViewDecelerationRateNormal);
    EXPECT_DOUBLE_EQ(view->contentOffset().y, rest);
    EXPECT_EQ(view->contentOffset().x, 0);
}

TEST_F(ScrollViewDrag, TheSameFlingGlidesTheSameEveryTimeAndShorterAtTheFastRate) {
    view->setContentOffset({0, 1000});
    flingUp(300, 0.3);
    const CGFloat normal = view->contentOffset().y;
    const CGFloat released = recorder->releasedAt.y;

    view->setContentOffset({0, 1000});
    flingUp(300, 0.3);
    EXPECT_EQ(view->contentOffset().y, normal);

    view->setContentOffset({0, 1000});
    view->setDecelerationRate(UIScrollViewDecelerationRateFast);
    flingUp(300, 0.3);
    EXPECT_DOUBLE_EQ(view->contentOffset().y,
                     released + recorder->velocity.y / -std::log(UIScrollViewDecelerationRateFast));
    EXPECT_LT(view->contentOffset().y - released, (normal - released) / 4);
}

TEST_F(ScrollViewDrag, AFingerThatStopsBeforeLiftingLeavesTheContentWhereItIs) {
    view->setContentOffset({0, 1000});
    recorder->log.clear();
    driver.play({{0, TouchDriver::Kind::down, {180, 500}},
                 {0.1, TouchDriver::Kind::move, {180, 400}},
                 {0.5, TouchDriver::Kind::up, {180, 400}}});
    clock->advance(5);
    EXPECT_EQ(recorder->log, (Log{"beginDrag", "scroll", "willEndDrag", "endDrag"}));
    EXPECT_EQ(view->contentOffset().y, 1090);
    EXPECT_EQ(NSRunLoop::main().currentMode(), NSDefaultRunLoopMode);
}

TEST_F(ScrollViewDrag, PulledPastTheTopItFollowsLessAndSpringsBack) {
    driver.play({{0, TouchDriver::Kind::down, {180, 100}}, {0.1, TouchDriver::Kind::move, {180, 310}}});
    const CGFloat pulled = -view->contentOffset().y;
    EXPECT_GT(pulled, 50);
    EXPECT_LT(pulled, 200);  // the finger went 200 beyond the pan's start
    driver.play({{0.5, TouchDriver::Kind::up, {180, 310}}});
    clock->advance(2);
    EXPECT_EQ(view->contentOffset().y, 0);
    EXPECT_EQ(recorder->log, kFling);

    // Without bouncing the content stops at the edge.
    view->setBounces(false);
    driver.drag({180, 100}, {180, 400}, 0.2);
    EXPECT_EQ(view->contentOffset().y, 0);
}

TEST_F(ScrollViewDrag, AFlingIntoTheEndMeetsItAndBouncesBack) {
    const CGFloat end = view->maximumContentOffset().y;
    view->setContentOffset({0, end - 100});
    flingUp(400, 0.2);
    EXPECT_EQ(view->contentOffset().y, end);
    EXPECT_EQ(recorder->log.back(), "endDecelerate");

    view->setBounces(false);
    view->setContentOffset({0, end - 100});
    flingUp(400, 0.2);
    EXPECT_EQ(view->contentOffset().y, end);
}

TEST_F(ScrollViewDrag, TheDelegateMayChooseWhereTheGlideEnds) {
    view->setContentOffset({0, 1000});
    recorder->retarget = CGPoint{0, 1500};
    flingUp(300, 0.3);
    EXPECT_EQ(view->contentOffset().y, 1500);
    EXPECT_EQ(recorder->log.back(), "endDecelerate");
}

TEST_F(ScrollViewDrag, ContentMovedUnderAGlideGlidesOnFromThere) {
    // What a view that recentres endless content does while it glides.
    view->setContentOffset({0, 1000});
    driver.drag({180, 500}, {180, 200}, 0.3);
    clock->advance(0.2);
    const CGFloat before = view->contentOffset().y;
    view->setContentOffset({0, before - 500});
    clock->advance(10);
    const CGFloat rest =
        recorder->releasedAt.y + recorder->velocity.y / -std::log(UIScrollViewDecelerationRateNormal);
    EXPECT_NEAR(view->contentOffset().y, rest - 500, 1e-6);
}

TEST_F(ScrollViewDrag, AFingerDownStopsAGlideAndLiftingSettles) {
    view->setContentOffset({0, 1000});
    driver.drag({180, 500}, {180, 200}, 0.3);
    clock->advance(0.2);
    driver.play({{0, TouchDriver::Kind::down, {180, 300}}});
    EXPECT_FALSE(view->isDecelerating());
    EXPECT_TRUE(view->isTracking());
    const CGFloat stopped = view->contentOffset().y;
    clock->advance(1);
    EXPECT_EQ(view->contentOffset().y, stopped);
    driver.play({{0.1, TouchDriver::Kind::up, {180, 300}}});
    EXPECT_FALSE(view->isTracking());
    clock->advance(5);
    EXPECT_EQ(view->contentOffset().y, stopped);
}

TEST_F(ScrollViewDrag, OnlyAxesThatScrollTakeADrag) {
    // Content as wide as the view: a sideways drag is not this view's.
    driver.drag({300, 300}, {50, 310}, 0.3);
    clock->advance(2);
    EXPECT_EQ(view->contentOffset(), (CGPoint{0, 0}));
    EXPECT_TRUE(recorder->log.empty());

    view->setScrollEnabled(false);
    flingUp(300, 0.3);
    EXPECT_EQ(view->contentOffset(), (CGPoint{0, 0}));
    EXPECT_TRUE(recorder->log.empty());

    // Short content does not scroll, unless told to bounce.
    view->setScrollEnabled(true);
    view->setContentSize({375, 300});
    flingUp(300, 0.3);
    EXPECT_TRUE(recorder->log.empty());
    view->setAlwaysBounceVertical(true);
    flingUp(300, 0.3);
    EXPECT_EQ(recorder->log, kFling);
    EXPECT_EQ(view->contentOffset(), (CGPoint{0, 0}));
}

class ScrollViewPaging : public ScrollViewDrag {
protected:
    void SetUp() override {
        ScrollViewDrag::SetUp();
        view->setContentSize({375 * 4, 667});
        view->setPagingEnabled(true);
    }
    // Drags left by `distance`, `seconds` long, lifting at once (or after a pause), and settles.
    void swipe(CGFloat distance, double seconds, double pause = 0) {
        auto script = TouchDriver::dragScript({300, 300}, {300 - distance, 300}, seconds);
        script.back().at += pause;
        driver.play(script);
        clock->advance(3);
    }
};

TEST_F(ScrollViewPaging, ReleasesSnapToWholePages) {
    swipe(100, 0.5, 0.2);  // slowly, not halfway
    EXPECT_EQ(view->contentOffset().x, 0);
    EXPECT_EQ(recorder->log, kFling);

    swipe(250, 0.5, 0.2);  // slowly, past halfway
    EXPECT_EQ(view->contentOffset().x, 375);

    swipe(60, 0.1);  // a flick turns the page however short
    EXPECT_EQ(view->contentOffset().x, 750);

    swipe(-60, 0.1);
    EXPECT_EQ(view->contentOffset().x, 375);

    swipe(3000, 0.3);  // dragged far past the end: the last page
    EXPECT_EQ(view->contentOffset().x, 375 * 3);
    swipe(-100, 0.02);  // a flick turns one page however fast
    EXPECT_EQ(view->contentOffset().x, 750);
}

TEST_F(ScrollViewPaging, ContentLeftExactlyOnAPageDoesNotDecelerate) {
    // A drag out and back to where it began (less the 10 points the pan took to begin).
    recorder->log.clear();
    driver.play({{0, TouchDriver::Kind::down, {300, 300}},
                 {0.1, TouchDriver::Kind::move, {200, 300}},
                 {0.2, TouchDriver::Kind::move, {290, 300}},
                 {0.5, TouchDriver::Kind::up, {290, 300}}});
    clock->advance(2);
    EXPECT_EQ(view->contentOffset().x, 0);
    EXPECT_EQ(recorder->log, (Log{"beginDrag", "scroll", "willEndDrag", "endDrag"}));
}

TEST_F(ScrollViewPaging, AGlideStoppedBetweenPagesSettlesOnOne) {
    swipe(60, 0.1);
    // Stopped by a finger part of the way, it settles on the nearest page once the finger lifts.
    view->setContentOffset({0, 0});
    driver.play(TouchDriver::dragScript({300, 300}, {240, 300}, 0.1));
    clock->advance(0.05);
    driver.tap({100, 100}, 0.3);
    clock->advance(3);
    EXPECT_EQ(std::fmod(view->contentOffset().x, 375), 0);
    EXPECT_EQ(recorder->log.back(), "endDecelerate");
}

namespace {

// Moves the content on by a fixed distance once, when it has scrolled past a line: what a view does
// whose content repeats, to keep the finger over the middle copy.
class Jumper : public UIScrollViewDelegate {
public:
    CGFloat line = 1e9;
    CGFloat jump = 0;
    bool jumped = false;

    void scrollViewDidScroll(UIScrollView& view) override {
        if (jumped || view.contentOffset().y < line) return;
        jumped = true;
        view.setContentOffset({0, view.contentOffset().y + jump});
    }
};

class ScrollViewOffset : public ScrollViewDrag {
protected:
    std::shared_ptr<Jumper> jumper = std::make_shared<Jumper>();
    void SetUp() override {
        ScrollViewDrag::SetUp();
        view->setDelegate(jumper);
    }
};

}  // namespace

TEST_F(ScrollViewOffset, ADragGoesOnFromAnOffsetSetUnderTheFinger) {
    // A slow drag of 300 points, so that the content does not glide after it.
    const auto slow = {TouchDriver::Step{0, TouchDriver::Kind::down, {180, 500}},
                       TouchDriver::Step{0.2, TouchDriver::Kind::move, {180, 350}},
                       TouchDriver::Step{0.4, TouchDriver::Kind::move, {180, 200}},
                       TouchDriver::Step{1.0, TouchDriver::Kind::up, {180, 200}}};
    driver.play(slow);
    clock->advance(2);
    const CGFloat plain = view->contentOffset().y;
    EXPECT_NEAR(plain, 290, 1e-6) << "the finger's 300 points less the pan's 10 to begin";

    view->setContentOffset({0, 0});
    jumper->line = 100;
    jumper->jump = 1000;
    driver.play(slow);
    clock->advance(2);
    EXPECT_TRUE(jumper->jumped);
    EXPECT_NEAR(view->contentOffset().y, plain + 1000, 1e-6);
}
