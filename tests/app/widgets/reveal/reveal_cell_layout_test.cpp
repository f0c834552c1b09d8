#include <gtest/gtest.h>

#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/text/ui_font.h"
#include "tests/app/widgets/reveal/reveal_fixture.h"

namespace quorvel {
namespace {

using platform::CGFloat;
using platform::CGRect;
using platform::UIColor;

class RevealCellLayout : public testing::RevealCellTest {
protected:
    std::vector<CGRect> buttonFrames(RevealSide side) const {
        std::vector<CGRect> frames;
        for (const auto& view : cell->utilityContentView()->buttonViews(side))
            frames.push_back(view->frame());
        return frames;
    }
};

TEST_F(RevealCellLayout, RoundAndGoalCaptionsFollowTheCellsSize) {
    EXPECT_EQ(cell->session()->text(), "ROUND");
    EXPECT_EQ(cell->session()->frame(), CGRect(0, 15, 160, 20));
    EXPECT_EQ(cell->session()->superview(), cell->contentView()) << "the captions slide with the content";

    cell->setNsession(std::make_shared<platform::UILabel>());
    cell->setNgoal(std::make_shared<platform::UILabel>());
    join();
    const CGFloat y = 100 / 6.9;
    EXPECT_NEAR(cell->session()->frame().minY(), y, 1e-9);
    EXPECT_EQ(cell->session()->frame().size, platform::CGSizeMake(187.5, y));
    EXPECT_EQ(cell->goal()->frame().minX(), 187.5);
    EXPECT_EQ(cell->centerSeparator()->frame(), CGRect(187, 16, 1, 64));
    EXPECT_EQ(cell->nsession()->frame(), CGRect(0, 31, 187.5, 50));
    EXPECT_EQ(cell->ngoal()->frame(), CGRect(187.5, 31, 187.5, 50));
}

TEST_F(RevealCellLayout, ButtonsShareTheDraggedDistanceAndStretchPastTheirWidth) {
    source->left.back()->setBackgroundColor(UIColor::colorWithRed(0, 0, 1, 0.5));  // not opaque
    join();
    drag(100, 160, 1, false);
    EXPECT_EQ(contentX(), 60);
    // 30 : 50 of 60 points; the opaque first button one pixel wider, under its neighbour.
    EXPECT_EQ(buttonFrames(RevealSide::left), (std::vector<CGRect>{{0, 0, 23, 99.5}, {22.5, 0, 37.5, 99.5}}));

    // Past the 80 points of buttons the buttons stretch at a sixth of the finger's pace...
    follow(160, 200, 0.5);
    EXPECT_EQ(contentX(), 100);
    EXPECT_EQ(buttonFrames(RevealSide::left).back().maxX(), 83.5);
    // ...and past the 60 points beyond them, so does the content.
    follow(200, 300, 0.5);
    EXPECT_EQ(contentX(), 150);
    EXPECT_EQ(cell->revealLocation(), 150);
    EXPECT_EQ(buttonFrames(RevealSide::left), (std::vector<CGRect>{{0, 0, 35, 99.5}, {34, 0, 57.5, 99.5}}));
    EXPECT_EQ(moves->only("moved").back(), "moved 200 2.5");
}

TEST_F(RevealCellLayout, RightButtonsGrowFromTheRightEdgeWithTheirButtonAtTheFarSide) {
    join();
    drag(300, 250, 1, false);
    ASSERT_EQ(buttonFrames(RevealSide::right).size(), 1u);
    EXPECT_EQ(buttonFrames(RevealSide::right)[0], CGRect(324.5, 0, 50.5, 99.5));
    const auto button = cell->utilityContentView()->buttonViews(RevealSide::right)[0]->button();
    EXPECT_EQ(button->frame(), CGRect(-49.5, 0, 100, 99.5));
    // The left buttons sit at the cell's left edge inside their frames.
    lift(250);
    clock->advance(0.35);
    cell->setRevealPosition(revealPositionLeft);
    ASSERT_EQ(buttonFrames(RevealSide::left).size(), 2u);
    const auto first = cell->utilityContentView()->buttonViews(RevealSide::left)[0];
    EXPECT_EQ(first->button()->frame().origin.x, 0);
    EXPECT_EQ(first->clipsToBounds(), true);
}

TEST_F(RevealCellLayout, AReversedCascadeStacksLaterButtonsBehindAndExtendsTheFirst) {
    cell->setCellRevealMode(revealModeReversedAction);
    join();
    drag(100, 200, 1, false);
    auto content = cell->utilityContentView();
    const auto views = content->buttonViews(RevealSide::left);
    EXPECT_EQ(content->subviews(), (std::vector<std::shared_ptr<platform::UIView>>{views[1], views[0]}));
    EXPECT_EQ(views[1]->button()->frame().origin.x, views[1]->frame().width() - 50) << "at the inner edge";
    EXPECT_FALSE(content->isExtended(RevealSide::left));

    // Crossing the threshold, the first button grows over the whole drag in 0.3 s...
    follow(200, 250, 0.2);
    EXPECT_TRUE(content->isExtended(RevealSide::left));
    EXPECT_EQ(views[0]->frame(), CGRect(0, 0, 90.5, 99.5));
    auto grow = views[0]->layer()->animationForKey("bounds");
    ASSERT_TRUE(grow);
    EXPECT_DOUBLE_EQ(grow->duration(), 0.3);
    // ...and gives the room back in 0.5 s.
    follow(250, 200, 0.2);
    EXPECT_FALSE(content->isExtended(RevealSide::left));
    auto shrink = views[0]->layer()->animationForKey("bounds");
    ASSERT_TRUE(shrink);
    EXPECT_DOUBLE_EQ(shrink->duration(), 0.5);
}

TEST_F(RevealCellLayout, ButtonsShowTheirItem) {
    auto icon = [] {
        platform::UIGraphicsBeginImageContextWithOptions({20, 20}, false, 2);
        auto image = platform::UIGraphicsGetImageFromCurrentImageContext();
        platform::UIGraphicsEndImageContext();
        return image;
    }();
    auto combined = RevealCellButtonItem::itemWithImage(icon, nullptr);
    combined->setTitle("Mute");
    combined->setTintColor(UIColor::whiteColor());
    source->right = {combined};
    join();
    cell->setRevealPosition(revealPositionRight);
    const auto button = cell->utilityContentView()->buttonForItem(*combined);
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->wantsCombinedLayout());
    EXPECT_EQ(combined->view(), cell->utilityContentView());
    button->layoutIfNeeded();
    // 24 points of image over 12 of title, centred in the 99.5-point row.
    EXPECT_EQ(button->imageView()->frame(), CGRect(0, 32, 20, 24));
    EXPECT_EQ(button->titleLabel()->frame(), CGRect(0, 56, 20, 12));

    // A title alone lights up when pressed.
    cell->setRevealPosition(revealPositionLeft);
    const auto titled = cell->utilityContentView()->buttonForItem(*source->left[0]);
    EXPECT_FALSE(titled->backgroundImageForState(platform::UIControlStateNormal));
    const auto pressed = titled->backgroundImageForState(platform::UIControlStateHighlighted);
    ASSERT_TRUE(pressed);
    EXPECT_EQ(pressed->size(), platform::CGSizeMake(1, 1));
    EXPECT_NEAR(pressed->pixelAt(0, 0).a, 0.333 * 255, 1);
}

TEST_F(RevealCellLayout, TheTablesHighlightCannotRecolourTheButtons) {
    join();
    cell->setRevealPosition(revealPositionLeft);
    const auto view = cell->utilityContentView()->buttonViews(RevealSide::left)[0];
    view->setBackgroundColor(UIColor::whiteColor());
    EXPECT_TRUE(view->backgroundColor()->isEqual(UIColor::redColor()));
}

}  // namespace
}  // namespace quorvel
