#include <cmath>

#include "tests/app/widgets/carousel/carousel_fixture.h"

namespace quorvel::testing {
namespace {

using Type = ItemCarouselType;
using Log = std::vector<std::string>;

const Log kDragSettles{"touched", "touched", "beginDrag", "endDrag", "beginAnimation", "endAnimation"};
const Log kFlick{"touched",         "touched",       "beginDrag",      "endDrag+",
                 "beginDecelerate", "endDecelerate", "beginAnimation", "endAnimation"};

class CarouselMotion : public CarouselTest {
protected:
    void showLinear(long count) {
        items->count = count;
        show(Type::linear);
    }
    // The finger drags along the carousel's middle from x0 to x1 in `seconds`, at an even speed, and
    // lifts a frame later. The carousel takes the speed of the last move as the release speed.
    void drag(double x0, double x1, double seconds) {
        driver.drag(centre(x0 - 160), centre(x1 - 160), seconds);
    }
    // At one point a frame: 1.2 items a second, too slow to run out.
    void slowDrag(double x0, double x1) { drag(x0, x1, std::fabs(x1 - x0) / 60); }
    double offsetAt(const std::string& event) const {
        for (size_t i = 0; i < items->log.size(); ++i) {
            if (items->log[i] == event) return items->offsetsAtEvents[i];
        }
        ADD_FAILURE() << "no " << event;
        return 0;
    }
};

}  // namespace

TEST_F(CarouselMotion, TimedScrollMovesLinearlyAndTellsItsStartAndEnd) {
    showLinear(10);
    carousel->scrollToItemAtIndex(3, true);
    EXPECT_TRUE(carousel->isScrolling());
    EXPECT_EQ(items->log, (Log{"beginAnimation"}));
    clock->advance(0.2);
    EXPECT_NEAR(carousel->scrollOffset(), 1.5, 1e-5) << "half the time, half the way: no easing";
    clock->advance(0.25);  // the frame at 0.4 s may fall a hair short of it on the clock
    EXPECT_EQ(carousel->scrollOffset(), 3);
    EXPECT_FALSE(carousel->isScrolling());
    EXPECT_EQ(items->log, (Log{"beginAnimation", "endAnimation"}));
    EXPECT_EQ(items->indexChanges, (std::vector<long>{1, 2, 3}));
    // The snap between items runs out, then the timer stops.
    clock->advance(0.5);
    EXPECT_EQ(carousel->toggle(), 0);
    EXPECT_FALSE(carousel->timer());

    // Without animation: one offset change, and neither animation message.
    settle();
    carousel->scrollToItemAtIndex(7, false);
    EXPECT_EQ(carousel->scrollOffset(), 7);
    EXPECT_EQ(items->scrolls, 1);
    EXPECT_EQ(items->indexChanges, (std::vector<long>{7}));
    EXPECT_TRUE(items->log.empty());
}

TEST_F(CarouselMotion, ScrollingByWholeItemsLandsOnItemBoundaries) {
    showLinear(10);
    // From `from` (none: where the last left it), by `by` items over `duration` seconds.
    const struct {
        double from;
        long by;
        double duration, expected;
        const char* name;
    } cases[] = {{2.3, 2, 0.4, 4, "floor(2.3) + 2"},
                 {2.3, -1, 0.4, 2, "ceil(2.3) − 1"},
                 {2.7, 0, 0.4, 3, "2.7 by none"},
                 {NAN, 2, 0, 5, "at once"},
                 {NAN, 20, 0, 9, "clamped to the last item"}};
    for (const auto& c : cases) {
        if (!std::isnan(c.from)) carousel->setScrollOffset(c.from);
        carousel->scrollByNumberOfItems(c.by, c.duration);
        if (c.duration > 0) clock->advance(0.5);
        EXPECT_EQ(carousel->scrollOffset(), c.expected) << c.name;
    }
}

TEST_F(CarouselMotion, AroundAWrappedCarouselTheShortWayIsTakenOnlyNearTheEnd) {
    items->count = 12;
    show(Type::cylinder);
    carousel->setScrollOffset(11);
    carousel->scrollToOffset(0, 1);
    clock->advance(0.5);
    EXPECT_NEAR(carousel->scrollOffset(), 11.5, 1e-6) << "through 12, which is item 0";
    clock->advance(0.6);
    EXPECT_EQ(carousel->scrollOffset(), 0);

    carousel->setScrollOffset(10);
    carousel->scrollToOffset(0, 1);
    clock->advance(0.5);
    EXPECT_NEAR(carousel->scrollOffset(), 5, 1e-6) << "the long way";

    carousel->setMinScroll(true);
    carousel->setScrollOffset(10);
    carousel->scrollToOffset(0, 1);
    clock->advance(0.5);
    EXPECT_NEAR(carousel->scrollOffset(), 11, 1e-6);
}

TEST_F(CarouselMotion, AFlickRunsOutToTheClosedFormRestingOffset) {
    showLinear(60);
    drag(300, 100, 0.2);  // 1000 points a second, 20 items a second
    clock->advance(3);
    EXPECT_EQ(items->log, kFlick);
    const double velocity = items->releaseVelocity;
    EXPECT_NEAR(velocity, 20, 2);
    const double runOut = velocity / (60 * (1 - double(0.95f)));
    EXPECT_NEAR(items->releaseRunOut, runOut, 1e-6 * runOut) << "the velocity squared in single precision";
    EXPECT_NEAR(runOut, 6.67, 0.7);
    const double released = offsetAt("endDrag+");
    const double end = std::ceil(float(released + runOut));
    EXPECT_NEAR(offsetAt("endDecelerate"), end, 1e-6);
    EXPECT_EQ(carousel->scrollOffset(), end);
    EXPECT_FALSE(carousel->isDecelerating() || carousel->isScrolling() || carousel->isDragging());

    // At the minute ring's rate the same flick runs out within an item.
    carousel->setScrollOffset(0);
    carousel->setDecelerationRate(0.2);
    settle();
    drag(300, 100, 0.2);
    clock->advance(3);
    EXPECT_EQ(items->log, kFlick);
    EXPECT_NEAR(items->releaseRunOut, 20.0 / 48, 0.05);
    EXPECT_EQ(carousel->scrollOffset(), std::ceil(float(offsetAt("endDrag+") + items->releaseRunOut)));
}

TEST_F(CarouselMotion, ADragLetGoAtRestSettlesOnTheNearestItem) {
    showLinear(10);
    slowDrag(300, 215);  // 75 points after the pan's first 10: 1.5 items
    EXPECT_EQ(items->log, (Log{"touched", "touched", "beginDrag", "endDrag", "beginAnimation"}));
    EXPECT_NEAR(carousel->scrollOffset(), 1.5, 1e-9);
    clock->advance(0.39);
    EXPECT_EQ(items->log.back(), "beginAnimation");
    clock->advance(0.05);
    EXPECT_EQ(items->log, kDragSettles);
    EXPECT_EQ(carousel->scrollOffset(), 2);

    // Let go on an item, it settles in a blink.
    settle();
    slowDrag(300, 240);
    EXPECT_NEAR(carousel->scrollOffset(), 3, 1e-9);
    clock->advance(0.04);
    EXPECT_EQ(items->log, kDragSettles);
}

TEST_F(CarouselMotion, ASlowFlickWithoutRunOutStepsToTheNextItem) {
    showLinear(10);
    carousel->setDecelerationRate(0.2);
    drag(300, 200, 0.5);  // 200 points a second: a run-out of less than 0.1 item
    EXPECT_EQ(items->log.back(), "beginAnimation");
    EXPECT_GT(items->releaseVelocity, 2);
    EXPECT_LE(std::fabs(items->releaseRunOut), 0.1);
    clock->advance(1);
    EXPECT_EQ(carousel->scrollOffset(), 3) << "released at 1.8, past item 2 towards 3";
}

TEST_F(CarouselMotion, PastTheEndTheDragMeetsGrowingResistanceAndBouncesBack) {
    showLinear(5);
    auto script = TouchDriver::dragScript(centre(140), centre(-160), 1);
    const auto lift = script.back();
    script.pop_back();
    driver.play(script);
    // 290 points would be 5.8 items; past the last item the drag gives less and less.
    EXPECT_GT(carousel->scrollOffset(), 4.6);
    EXPECT_LT(carousel->scrollOffset(), 5);
    clock->advance(0.2);
    driver.input().up(lift.point);
    clock->advance(1);
    EXPECT_EQ(carousel->scrollOffset(), 4);
}

TEST_F(CarouselMotion, WithoutBounceOrBounceDistanceTheEndsHold) {
    showLinear(5);
    carousel->setBounceDistance(0);
    drag(300, 0, 1);
    EXPECT_EQ(carousel->scrollOffset(), 4) << "no overshoot, and no NaN from a zero distance";
    clock->advance(1);
    EXPECT_EQ(carousel->scrollOffset(), 4);

    carousel->setBounceDistance(1);
    carousel->setBounces(false);
    carousel->setScrollOffset(0);
    drag(0, 300, 1);
    EXPECT_EQ(carousel->scrollOffset(), 0);
}

TEST_F(CarouselMotion, AFlickPastTheEndStopsAtTheBounceLimitAndComesBack) {
    showLinear(5);
    drag(300, 250, 0.05);  // 20 items a second from 0.67: a run-out to 8 is held at 4 + 1
    clock->advance(3);
    EXPECT_EQ(items->log, kFlick);
    EXPECT_NEAR(offsetAt("endDecelerate"), 5, 1e-6) << "one bounce distance past the last item";
    EXPECT_EQ(carousel->scrollOffset(), 4);
}

TEST_F(CarouselMotion, PagingMovesOneItemWhateverTheFlick) {
    showLinear(20);
    carousel->setPagingEnabled(true);
    drag(300, 15, 0.1);  // released at 4.75, at 57 items a second
    clock->advance(3);
    EXPECT_EQ(carousel->scrollOffset(), std::ceil(offsetAt("endDrag+")));
}

TEST_F(CarouselMotion, AnItemChangeSnapsTheToggleToRestOverFourTenths) {
    showLinear(10);
    carousel->setScrollOffset(1);
    EXPECT_EQ(carousel->toggle(), -1);
    ASSERT_TRUE(carousel->timer());
    EXPECT_DOUBLE_EQ(carousel->timer()->timeInterval(), 1.0 / 60);
    clock->advance(0.2);
    EXPECT_NEAR(carousel->toggle(), -0.5, 1e-6);
    clock->advance(0.2);
    EXPECT_EQ(carousel->toggle(), 0);
    clock->advance(0.05);
    EXPECT_FALSE(carousel->timer());
}

TEST_F(CarouselMotion, WithoutItemBoundariesARunOutEndsBetweenItemsAndTheTimerStops) {
    showLinear(60);
    carousel->setScrollToItemBoundary(false);
    carousel->setStopAtItemBoundary(false);
    drag(300, 100, 0.2);
    clock->advance(3);
    EXPECT_EQ(items->log,
              (Log{"touched", "touched", "beginDrag", "endDrag+", "beginDecelerate", "endDecelerate"}));
    const double rest = offsetAt("endDecelerate");
    EXPECT_NE(rest, std::round(rest));
    EXPECT_EQ(carousel->scrollOffset(), rest);
    EXPECT_EQ(carousel->toggle(), 0);
    EXPECT_FALSE(carousel->timer());
    const int scrolls = items->scrolls;
    clock->advance(1);
    EXPECT_EQ(items->scrolls, scrolls) << "an offset between items is not past the ends";

    // A drag let go at rest stays where it is too.
    settle();
    slowDrag(300, 215);
    clock->advance(1);
    EXPECT_EQ(items->log, (Log{"touched", "touched", "beginDrag", "endDrag"}));
}

TEST_F(CarouselMotion, AutoscrollMovesTowardsLowerOffsetsFromWhereItStarts) {
    items->count = 10;
    show(Type::cylinder);
    carousel->setScrollOffset(5);
    settle(1);
    carousel->setAutoscroll(2);
    clock->advance(1.0 / 60);
    EXPECT_NEAR(carousel->scrollOffset(), 5 - 2.0 / 60, 1e-6) << "no jump on the first step";
    clock->advance(1 - 1.0 / 60);
    EXPECT_NEAR(carousel->scrollOffset(), 3, 1e-6);
    carousel->setAutoscroll(-1);
    clock->advance(7);
    EXPECT_NEAR(carousel->scrollOffset(), 0, 1e-5) << "round the circle: 3 + 7 is item 0";
}

TEST_F(CarouselMotion, TheTimerFollowsTheSuperviewAndTheRunningFlag) {
    showLinear(10);
    EXPECT_FALSE(carousel->timer());
    carousel->removeFromSuperview();
    window->addSubview(carousel);
    EXPECT_TRUE(carousel->timer());
    clock->advance(1);
    EXPECT_FALSE(carousel->timer()) << "nothing to move once the layout's settle is over";

    carousel->setIsRunning(true);
    carousel->startRotatingWithDuration(2);  // by its own offset: none
    ASSERT_TRUE(carousel->timer());
    EXPECT_EQ(carousel->timer()->timeInterval(), 0.25);
    carousel->setScrollOffset(2);
    carousel->startRotatingWithDuration(2);
    clock->advance(1);
    EXPECT_NEAR(carousel->scrollOffset(), 3, 1e-5);
    carousel->stopRotating();
    EXPECT_FALSE(carousel->timer());
    clock->advance(2);
    EXPECT_NEAR(carousel->scrollOffset(), 3, 1e-5);
    carousel->removeFromSuperview();
    EXPECT_FALSE(carousel->timer());
}

TEST_F(CarouselMotion, OffsetsThatAreNotNumbersLeaveTheCarouselWhereItIs) {
    showLinear(10);
    carousel->setScrollOffset(2);
    carousel->setScrollOffset(std::nan(""));
    carousel->scrollToOffset(INFINITY, 0.4);
    carousel->scrollByOffset(NAN, 0);
    EXPECT_EQ(carousel->scrollOffset(), 2);
    carousel->scrollByOffset(1, NAN);
    EXPECT_EQ(carousel->scrollOffset(), 3) << "a duration that is not a number is none";
    EXPECT_FALSE(carousel->isScrolling());
}

}  // namespace quorvel::testing
