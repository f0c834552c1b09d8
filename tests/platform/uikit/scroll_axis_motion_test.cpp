#include <gtest/gtest.h>

#include <cmath>

#include "platform/uikit/scrolling/scroll_axis_motion.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"

using namespace platform;

namespace {

// Where a motion comes to rest, sampled at display frames, and when.
struct Rest {
    CGFloat offset;
    double time;
    CGFloat furthest;  // the largest offset passed on the way
};

Rest run(const ScrollAxisMotion& motion, double limit = 10) {
    Rest rest{0, 0, -INFINITY};
    for (int frame = 1; frame / 60.0 <= limit; ++frame) {
        const auto s = motion.at(frame / 60.0);
        rest.furthest = std::max(rest.furthest, s.offset);
        if (s.atRest) return {s.offset, frame / 60.0, rest.furthest};
    }
    ADD_FAILURE() << "never came to rest";
    return rest;
}

}  // namespace

TEST(ScrollAxisMotionDeceleration, MeetsTheEdgeAndStopsOrBouncesBack) {
    // Heading for 900 in a range that ends at 600.
    const auto stopping =
        ScrollAxisMotion::decelerate(400, 900, UIScrollViewDecelerationRateNormal, 0, 600, false);
    const Rest stopped = run(stopping);
    EXPECT_EQ(stopped.offset, 600);
    EXPECT_EQ(stopped.furthest, 600);

    const auto bouncing =
        ScrollAxisMotion::decelerate(400, 900, UIScrollViewDecelerationRateNormal, 0, 600, true);
    const Rest bounced = run(bouncing);
    EXPECT_EQ(bounced.offset, 600);
    EXPECT_EQ(bouncing.end(), 600);
    EXPECT_GT(bounced.furthest, 610);  // it went past the edge on the way
    EXPECT_LT(bounced.furthest, 900);
}

TEST(ScrollAxisMotionDeceleration, RatesThatCannotSlowDownStopDead) {
    for (CGFloat rate : {0.0, -1.0, 1.0, 2.0, double(NAN)}) {
        EXPECT_EQ(ScrollAxisMotion::projectedDistance(1500, rate), 0);
        const auto s = ScrollAxisMotion::decelerate(10, 500, rate, 0, 1000, true).at(0.1);
        EXPECT_TRUE(s.atRest);
        EXPECT_EQ(s.offset, 10);
    }
}

TEST(ScrollAxisMotionSprings, SnapAndBounceSettleOnTheirPoint) {
    // Let go 120 points short of a page, still moving towards it.
    const Rest snapped = run(ScrollAxisMotion::snap(255, 375, 800));
    EXPECT_EQ(snapped.offset, 375);
    EXPECT_LT(snapped.time, 0.6);

    // Let go 80 points past the top edge.
    const Rest bounced = run(ScrollAxisMotion::bounce(-80, 0, 0));
    EXPECT_EQ(bounced.offset, 0);
    EXPECT_LE(bounced.furthest, 0);  // critically damped: no swing past the edge
    EXPECT_LT(bounced.time, 1.0);
}

TEST(ScrollAxisMotionSprings, ASnapFollowsMovedContentABounceKeepsToItsEdge) {
    const auto snap = ScrollAxisMotion::snap(255, 375, 0);
    EXPECT_EQ(snap.movedBy(0.1, 1000).end(), 1375);
    const auto bounce = ScrollAxisMotion::bounce(-80, 0, 0);
    EXPECT_EQ(bounce.movedBy(0.1, 5).end(), 0);
}

TEST(ScrollAxisMotionRubberBand, PullingFurtherShowsLessAndLessAndNeverAWholeView) {
    const CGFloat dimension = 600;
    CGFloat previous = 0;
    for (CGFloat pull : {10.0, 100.0, 1000.0, 1e6}) {
        const CGFloat shown = ScrollAxisMotion::rubberBand(pull, dimension);
        EXPECT_GT(shown, previous);
        EXPECT_LT(shown, pull);
        EXPECT_LT(shown, dimension);
        EXPECT_NEAR(ScrollAxisMotion::rubberBandInverse(shown, dimension), pull, pull * 1e-6);
        previous = shown;
    }
    // A view with no size, or no pull, shows nothing past the edge.
    EXPECT_EQ(ScrollAxisMotion::rubberBand(50, 0), 0);
    EXPECT_EQ(ScrollAxisMotion::rubberBand(0, dimension), 0);
    EXPECT_EQ(ScrollAxisMotion::rubberBandInverse(50, 0), 0);
}
