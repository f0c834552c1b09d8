#include "app/widgets/swipe/page_swipe_view.h"

#include <gtest/gtest.h>

#include "tests/app/widgets/swipe/swipe_fixture.h"

namespace quorvel {
namespace {

using namespace platform;
using Indexes = std::vector<long>;
using Log = std::vector<std::string>;
using SwipeLayout = testing::SwipeTest;
using SwipeWrapping = testing::SwipeTest;
using SwipePages = testing::SwipeTest;
using SwipeLoading = testing::SwipeTest;
using SwipeTimedScroll = testing::SwipeTest;
using SwipeSettings = testing::SwipeTest;

}  // namespace

TEST_F(SwipeLayout, ItemsSitSideBySideAndOnlyThoseInSightHaveViews) {
    EXPECT_EQ(swipe->scrollView()->frame(), CGRectMake(0, 0, 100, 80)) << "one item to a page, from the edge";
    EXPECT_EQ(swipe->scrollView()->contentSize(), CGSizeMake(800, 80))
        << "ten items less the view beyond the page";
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{0, 1, 2}));
    EXPECT_EQ(frameOf(1), CGRectMake(100, 0, 100, 80));

    swipe->setScrollOffset(2.5);
    EXPECT_EQ(contentOffsetX(), 250);
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{2, 3, 4, 5}));
    EXPECT_EQ(swipe->currentItemIndex(), 3) << "half-way rounds up";
    EXPECT_EQ(frameOf(3), CGRectMake(50, 0, 100, 80));
    EXPECT_EQ(items->reused, 2) << "the views of items 0 and 1 came back for two of the new ones";
    EXPECT_EQ(swipe->currentItemView()->tag(), 3);
    EXPECT_EQ(items->log, (Log{"scroll", "index 3"}));

    swipe->setItemsPerPage(2);
    swipe->setPagingEnabled(true);
    swipe->setScrollOffset(0);
    relayout();
    EXPECT_EQ(swipe->scrollView()->frame(), CGRectMake(0, 0, 200, 80));
    EXPECT_EQ(swipe->scrollView()->contentSize().width, 1000) << "900 rounded up to whole pages";
}

TEST_F(SwipeLayout, ACentredPageLeavesRoomOnBothSides) {
    swipe->setAlignment(PageSwipeViewAlignment::center);
    relayout();
    EXPECT_EQ(swipe->scrollView()->frame(), CGRectMake(100, 0, 100, 80));
    EXPECT_EQ(swipe->scrollView()->contentSize().width, 1000);
    EXPECT_EQ(frameOf(0), CGRectMake(100, 0, 100, 80));
    swipe->setScrollOffset(4);
    EXPECT_EQ(frameOf(3), CGRectMake(0, 0, 100, 80)) << "the item before shows to the left";
    EXPECT_EQ(frameOf(5), CGRectMake(200, 0, 100, 80));
}

TEST_F(SwipeLayout, VerticalItemsRunDown) {
    swipe->setFrame(CGRectMake(0, 100, 100, 240));
    swipe->setVertical(true);
    relayout();
    EXPECT_EQ(swipe->scrollView()->frame(), CGRectMake(0, 0, 100, 80));
    EXPECT_EQ(swipe->scrollView()->contentSize(), CGSizeMake(100, 640));
    EXPECT_EQ(frameOf(1), CGRectMake(0, 80, 100, 80));
    swipe->setScrollOffset(1.5);
    EXPECT_EQ(swipe->scrollView()->contentOffset(), CGPointMake(0, 120));
    EXPECT_TRUE(swipe->scrollView()->alwaysBounceVertical());
    EXPECT_FALSE(swipe->scrollView()->alwaysBounceHorizontal());
}

TEST_F(SwipeLayout, ItemSizeIsMeasuredFromAnItemWhenTheDelegateAnswersZero) {
    items->itemSize = {};
    items->viewSize = {120, 60};
    reload(10);
    EXPECT_EQ(swipe->itemSize(), CGSizeMake(120, 60));
    EXPECT_EQ(frameOf(1), CGRectMake(120, 10, 120, 60));

    items->viewSize = {0, 60};
    swipe->reloadData();
    EXPECT_EQ(swipe->itemSize(), CGSizeMake(1, 60)) << "a zero width would divide every offset";
    items->itemSize = {50, 80};
    relayout();
    EXPECT_EQ(swipe->itemSize(), CGSizeMake(50, 80));
}

TEST_F(SwipeWrapping, ContentIsThreeCopiesAndTheOffsetStaysInTheMiddleOne) {
    reload(5);
    swipe->setWrapEnabled(true);
    EXPECT_EQ(swipe->scrollView()->contentSize().width, 1500);
    EXPECT_EQ(contentOffsetX(), 500);
    EXPECT_FALSE(swipe->scrollView()->bounces());

    swipe->scrollView()->setContentOffset({420, 0});  // dragged back out of the middle copy
    EXPECT_EQ(contentOffsetX(), 920);
    EXPECT_NEAR(swipe->scrollOffset(), 4.2, 1e-6);
    EXPECT_EQ(swipe->currentItemIndex(), 4);
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{0, 1, 2, 4}));
    EXPECT_NEAR(frameOf(4).origin.x, -20, 1e-4);
    EXPECT_NEAR(frameOf(0).origin.x, 80, 1e-4) << "item 0 follows item 4";

    swipe->scrollView()->setContentOffset({1030, 0});  // and forward out of it
    EXPECT_EQ(contentOffsetX(), 530);
    EXPECT_NEAR(swipe->scrollOffset(), 0.3, 1e-6);
    EXPECT_EQ(swipe->currentItemIndex(), 0);

    reload(1);
    EXPECT_EQ(swipe->scrollView()->contentSize().width, 100) << "a single item is not copied";
}

TEST_F(SwipeWrapping, MovesTakeTheShorterWayRound) {
    reload(5);
    swipe->setWrapEnabled(true);
    swipe->scrollToOffset(4, 1.0);
    clock->advance(0.5);
    EXPECT_NEAR(swipe->scrollOffset(), 4.5, 1e-4) << "half-way back over item 0";
    clock->advance(0.6);
    EXPECT_EQ(swipe->scrollOffset(), 4);
    EXPECT_EQ(swipe->currentItemIndex(), 4);

    swipe->scrollByNumberOfItems(2, 0);
    EXPECT_EQ(swipe->scrollOffset(), 1) << "two items on from 4 is 1";
    EXPECT_EQ(contentOffsetX(), 600);
    swipe->setWrapEnabled(false);
    EXPECT_EQ(swipe->scrollOffset(), 1) << "the offset survives the change";
    EXPECT_EQ(contentOffsetX(), 100) << "and the content follows it out of the copies";
}

TEST_F(SwipePages, PagesCountAndTheFinalPageMayBeCutShort) {
    swipe->setItemsPerPage(3);
    EXPECT_EQ(swipe->numberOfPages(), 4);
    swipe->setCurrentPage(2);
    EXPECT_EQ(swipe->currentItemIndex(), 6);
    EXPECT_EQ(swipe->currentPage(), 2);

    swipe->setTruncateFinalPage(true);
    swipe->scrollToPage(3, 0);
    EXPECT_EQ(swipe->currentItemIndex(), 7) << "the last page ends at the last item";
    EXPECT_EQ(swipe->currentPage(), 3);
    swipe->setTruncateFinalPage(false);
    EXPECT_EQ(swipe->currentPage(), 2) << "7 of 3 a page rounds to page 2";

    swipe->setItemsPerPage(0);
    EXPECT_EQ(swipe->itemsPerPage(), 1);
    EXPECT_EQ(swipe->numberOfPages(), 10);
}

TEST_F(SwipeLoading, DeferredLoadingWaitsForAWholeItem) {
    swipe->setDefersItemViewLoading(true);
    reload(20);
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{0, 1, 2, 3, 4}));
    swipe->scrollView()->setContentOffset({60, 0});
    EXPECT_EQ(swipe->currentItemIndex(), 0);
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{0, 1, 2, 3, 4}));
    swipe->scrollView()->setContentOffset({100, 0});
    EXPECT_EQ(swipe->currentItemIndex(), 1);
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{0, 1, 2, 3, 4, 5}));
    swipe->scrollView()->setContentOffset({260, 0});
    EXPECT_EQ(swipe->currentItemIndex(), 3);
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{2, 3, 4, 5, 6, 7}));

    swipe->setDefersItemViewLoading(false);
    swipe->scrollView()->setContentOffset({320, 0});
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{3, 4, 5, 6}));
}

TEST_F(SwipeLoading, ReloadingStartsAfreshAndOneItemReloadsOnlyWhenLoaded) {
    const auto shown = swipe->itemViewAtIndex(1);
    items->viewSize = {90, 80};
    swipe->reloadItemAtIndex(1);
    EXPECT_NE(swipe->itemViewAtIndex(1), shown);
    EXPECT_EQ(swipe->indexOfItemView(swipe->itemViewAtIndex(1).get()), 1);
    EXPECT_EQ(swipe->indexOfItemView(shown.get()), PageSwipeView::kNotFound);
    swipe->reloadItemAtIndex(8);
    EXPECT_FALSE(swipe->itemViewAtIndex(8));

    auto inner = std::make_shared<UIView>();
    swipe->itemViewAtIndex(2)->addSubview(inner);
    EXPECT_EQ(swipe->indexOfItemViewOrSubview(inner.get()), 2);
    EXPECT_EQ(swipe->indexOfItemViewOrSubview(swipe->scrollView().get()), PageSwipeView::kNotFound);

    swipe->reloadData();
    EXPECT_TRUE(swipe->visibleItemViews().empty());
    EXPECT_TRUE(swipe->itemViewPool().empty());
    swipe->layoutIfNeeded();
    EXPECT_EQ(swipe->indexesForVisibleItems(), (Indexes{0, 1, 2}));
}

TEST_F(SwipeTimedScroll, AnEasedScrollEndsOnceOnTheTarget) {
    swipe->scrollToItemAtIndex(4, 1.0);
    EXPECT_TRUE(swipe->scrolling());
    clock->advance(0.25);
    EXPECT_NEAR(swipe->scrollOffset(), 4 * 0.0625, 1e-4) << "slow to start";
    clock->advance(0.25);
    EXPECT_NEAR(swipe->scrollOffset(), 2, 1e-4);
    clock->advance(0.25);
    EXPECT_NEAR(swipe->scrollOffset(), 4 * 0.9375, 1e-4) << "slow to end";
    EXPECT_NEAR(contentOffsetX(), 375, 0.01);
    clock->advance(1);
    EXPECT_EQ(swipe->scrollOffset(), 4);
    EXPECT_FALSE(swipe->scrolling());
    EXPECT_EQ(std::count(items->log.begin(), items->log.end(), "endAnimation"), 1);
    EXPECT_EQ(items->log.back(), "endAnimation");

    swipe->scrollByNumberOfItems(-1, 0.5);
    clock->advance(1);
    EXPECT_EQ(swipe->scrollOffset(), 3);
    swipe->scrollByOffset(20, 0.5);
    clock->advance(1);
    EXPECT_EQ(swipe->scrollOffset(), 9) << "held to the last item without wrapping";
}

TEST_F(SwipeTimedScroll, LeavingTheWindowPausesATimedScrollAndComingBackResumesIt) {
    swipe->scrollToItemAtIndex(5, 1.0);
    clock->advance(0.2);
    const double reached = swipe->scrollOffset();
    swipe->removeFromSuperview();
    clock->advance(5);
    EXPECT_EQ(swipe->scrollOffset(), reached);
    window->addSubview(swipe);
    clock->advance(0.1);
    EXPECT_EQ(swipe->scrollOffset(), 5) << "its time ran out while away";
}

TEST_F(SwipeTimedScroll, AutoscrollMovesSteadilyFromWhenItStarts) {
    clock->advance(100);
    swipe->setAutoscroll(-2);
    clock->advance(1.0 / 60 + 1e-6);
    EXPECT_NEAR(swipe->scrollOffset(), 2.0 / 60, 1e-4) << "not a hundred seconds' worth";
    clock->advance(1 - 1.0 / 60);
    EXPECT_NEAR(swipe->scrollOffset(), 2, 1e-3);
    swipe->setAutoscroll(0);
    clock->advance(1);
    EXPECT_NEAR(swipe->scrollOffset(), 2, 1e-3);
}

TEST_F(SwipeSettings, TheScrollViewKeepsItsOwnRateAndNothingScrollsBeforeTheFirstLayout) {
    PageSwipeView fresh;
    EXPECT_EQ(fresh.decelerationRate(), float(UIScrollViewDecelerationRateNormal));
    EXPECT_EQ(fresh.scrollView()->decelerationRate(), UIScrollViewDecelerationRateNormal) << "not zero";
    fresh.scrollView()->setContentOffset({50, 0});
    EXPECT_EQ(fresh.scrollOffset(), 0) << "no item size to measure by yet";
}

}  // namespace quorvel
