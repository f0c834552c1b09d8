#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "tests/platform/uikit/scroll_recorder.h"

using namespace platform;

namespace {

class ScrollView : public ::testing::Test {
protected:
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<UIScrollView> view = std::make_shared<UIScrollView>(CGRect(0, 0, 320, 480));
    std::shared_ptr<quorvel::testing::ScrollRecorder> recorder =
        std::make_shared<quorvel::testing::ScrollRecorder>();

    void SetUp() override {
        view->setContentSize({320, 2000});
        view->setDelegate(recorder);
    }
};

}  // namespace

TEST_F(ScrollView, OffsetsRunFromTheInsetsToTheFarEdges) {
    view->setContentInset(UIEdgeInsetsMake(20, 5, 30, 5));
    EXPECT_EQ(view->minimumContentOffset(), (CGPoint{-5, -20}));
    EXPECT_EQ(view->maximumContentOffset(), (CGPoint{5, 2000 + 30 - 480}));
    // Content shorter than the view cannot move away from its start.
    view->setContentSize({100, 100});
    EXPECT_EQ(view->maximumContentOffset(), view->minimumContentOffset());

    view->setContentOffset({0, 250});
    EXPECT_EQ(view->bounds().origin, (CGPoint{0, 250}));
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"scroll"}));
    // The same offset again, or one that is not a number, changes nothing and says nothing.
    view->setContentOffset({0, 250});
    view->setContentOffset({NAN, 10});
    EXPECT_EQ(recorder->offsets.size(), 1u);
}

TEST_F(ScrollView, AnimatedScrollEasesFrameByFrameThenEndsOnce) {
    view->setContentOffset({0, 600}, true);
    EXPECT_EQ(view->contentOffset(), (CGPoint{0, 0}));
    clock->advance(0.15);
    EXPECT_NEAR(view->contentOffset().y, 300, 25);
    clock->advance(0.15);
    EXPECT_EQ(view->contentOffset(), (CGPoint{0, 600}));
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"scroll", "endAnimation"}));
    EXPECT_EQ(recorder->offsets.size(), 18u);  // 0.3 s of frames
    for (size_t i = 1; i < recorder->offsets.size(); ++i)
        EXPECT_GT(recorder->offsets[i].y, recorder->offsets[i - 1].y);
    clock->advance(1);
    EXPECT_EQ(recorder->log.size(), 2u);

    // Animating to where it already is does nothing at all.
    view->setContentOffset({0, 600}, true);
    clock->advance(1);
    EXPECT_EQ(recorder->log.size(), 2u);
}

TEST_F(ScrollView, AnOffsetSetDuringAnAnimatedScrollStopsIt) {
    view->setContentOffset({0, 600}, true);
    clock->advance(0.1);
    view->setContentOffset({0, 50});
    clock->advance(1);
    EXPECT_EQ(view->contentOffset(), (CGPoint{0, 50}));
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"scroll"}));

    // A new animation takes over from one under way, from where that one got to.
    view->setContentOffset({0, 600}, true);
    clock->advance(0.1);
    const CGFloat reached = view->contentOffset().y;
    view->setContentOffset({0, 0}, true);
    clock->advance(1 / 60.0);
    EXPECT_LT(view->contentOffset().y, reached);
    clock->advance(1);
    EXPECT_EQ(view->contentOffset(), (CGPoint{0, 0}));
    EXPECT_EQ(recorder->log, (std::vector<std::string>{"scroll", "endAnimation"}));
}

TEST_F(ScrollView, ScrollRectToVisibleMovesTheLeastThatShowsTheRect) {
    view->setContentInset(UIEdgeInsetsMake(40, 0, 0, 0));
    view->setContentOffset({0, -40});
    // Below the view: its bottom edge comes to the view's bottom.
    view->scrollRectToVisible(CGRect(0, 900, 320, 100), false);
    EXPECT_EQ(view->contentOffset().y, 1000 - 480);
    // Already in view: nothing moves.
    view->scrollRectToVisible(CGRect(0, 700, 320, 100), false);
    EXPECT_EQ(view->contentOffset().y, 1000 - 480);
    // Above: its top comes to the top, below the inset.
    view->scrollRectToVisible(CGRect(0, 100, 320, 50), false);
    EXPECT_EQ(view->contentOffset().y, 100 - 40);
    // Taller than the view: its top shows.
    view->scrollRectToVisible(CGRect(0, 1200, 320, 700), false);
    EXPECT_EQ(view->contentOffset().y, 1200 - 40);
    // Past the end of the content: no further than the last offset.
    view->scrollRectToVisible(CGRect(0, 1990, 320, 100), false);
    EXPECT_EQ(view->contentOffset().y, 2000 - 480);

    view->scrollRectToVisible(CGRect(0, 0, 320, 10), true);
    EXPECT_EQ(view->contentOffset().y, 2000 - 480);
    clock->advance(0.5);
    EXPECT_EQ(view->contentOffset().y, -40);
    EXPECT_EQ(recorder->log.back(), "endAnimation");
}
