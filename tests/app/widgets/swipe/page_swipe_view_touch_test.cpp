#include <gtest/gtest.h>

#include <filesystem>

#include "app/widgets/swipe/page_swipe_view.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/app/widgets/swipe/swipe_fixture.h"

namespace quorvel {
namespace {

using namespace platform;
using Log = std::vector<std::string>;
using Selected = std::vector<long>;
using SwipeTouches = testing::SwipeTest;

// The swipe view lies 100 points down the window.
CGPoint screen(CGFloat x, CGFloat y = 40) {
    return {x, 100 + y};
}

}  // namespace

TEST_F(SwipeTouches, ATapSelectsTheItemUnderIt) {
    driver.tap(screen(150));
    EXPECT_EQ(items->selected, (Selected{1}));
    items->refusedIndex = 2;
    driver.tap(screen(250));
    EXPECT_EQ(items->selected, (Selected{1})) << "the delegate said no";

    auto button = std::make_shared<UIButton>(CGRectMake(0, 0, 100, 80));
    swipe->itemViewAtIndex(0)->addSubview(button);
    driver.tap(screen(50));
    EXPECT_EQ(items->selected, (Selected{1})) << "a control in an item keeps its touches";
}

TEST_F(SwipeTouches, ATapOnAWrappedItemSelectsItsIndexNotItsCopy) {
    reload(5);
    swipe->setWrapEnabled(true);
    ASSERT_EQ(contentOffsetX(), 500);
    driver.tap(screen(150));
    EXPECT_EQ(items->selected, (Selected{1}));
}

TEST_F(SwipeTouches, ATapBesideACentredPageStillReachesTheItemShownThere) {
    swipe->setAlignment(PageSwipeViewAlignment::center);
    relayout();
    swipe->setScrollOffset(1);
    driver.tap(screen(50));
    driver.tap(screen(250));
    EXPECT_EQ(items->selected, (Selected{0, 2}));
}

TEST_F(SwipeTouches, ADragMovesTheOffsetAndPagingSettlesOnTheNearestItem) {
    swipe->setPagingEnabled(true);
    relayout();
    clock->advance(0.3);  // layout's own settling scroll
    items->log.clear();

    auto script = testing::TouchDriver::dragScript(screen(250), screen(110), 0.5);
    script.back().kind = testing::TouchDriver::Kind::move;
    script.push_back({0.8 + testing::TouchDriver::kFrame, testing::TouchDriver::Kind::up, screen(110)});
    driver.play(script);
    EXPECT_TRUE(swipe->isDecelerating());
    EXPECT_NEAR(swipe->scrollOffset(), 1.3, 1e-6) << "the finger's 140 points less the pan's 10 to begin";
    clock->advance(2);

    EXPECT_EQ(swipe->scrollOffset(), 1);
    EXPECT_EQ(swipe->currentItemIndex(), 1);
    EXPECT_EQ(contentOffsetX(), 100);
    EXPECT_EQ(items->log, (Log{"beginDrag", "scroll", "index 1", "scroll", "endDrag+", "beginDecelerate",
                               "scroll", "endDecelerate"}));
    EXPECT_TRUE(items->selected.empty()) << "a drag is no tap";
}

TEST_F(SwipeTouches, WrappedItemsDrawnForAPerson) {
    window->setBackgroundColor(UIColor::whiteColor());
    swipe->setBackgroundColor(UIColor::lightGrayColor());
    const std::vector<std::shared_ptr<UIColor>> colours{UIColor::redColor(), UIColor::orangeColor(),
                                                        UIColor::yellowColor(), UIColor::greenColor(),
                                                        UIColor::blueColor()};
    // Cards slightly narrower than their items, so that the gaps between them show.
    class Cards : public testing::SwipeItems {
    public:
        std::vector<std::shared_ptr<UIColor>> colours;
        std::shared_ptr<UIView> swipeViewViewForItemAtIndex(PageSwipeView&, long index,
                                                            std::shared_ptr<UIView>) override {
            auto item = std::make_shared<UIView>(CGRectMake(0, 0, 100, 80));
            auto card = std::make_shared<UILabel>(CGRectMake(5, 5, 90, 70));
            card->setBackgroundColor(colours[size_t(index)]);
            card->setText(std::to_string(index));
            card->setTextAlignment(NSTextAlignment::center);
            item->addSubview(card);
            return item;
        }
    };
    auto cards = std::make_shared<Cards>();
    cards->count = 5;
    cards->colours = colours;
    swipe->setDataSource(cards);
    swipe->setDelegate(cards);
    swipe->setAlignment(PageSwipeViewAlignment::center);
    swipe->setWrapEnabled(true);
    swipe->setScrollOffset(4.5);
    swipe->layoutIfNeeded();

    const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "swipe_view.png";
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*swipe, path, 2));
    const auto image = LayerRenderer::renderView(*swipe, 2);
    auto at = [&](CGFloat x) { return image->pixelAt(int(x * 2), 20); };
    EXPECT_EQ(at(100), (UIImage::Pixel{0, 0, 255, 255})) << "item 4 left of centre";
    EXPECT_EQ(at(200), (UIImage::Pixel{255, 0, 0, 255})) << "item 0 follows it";
    EXPECT_EQ(at(20), (UIImage::Pixel{0, 255, 0, 255})) << "item 3 beside the scroll view";
}

}  // namespace quorvel
