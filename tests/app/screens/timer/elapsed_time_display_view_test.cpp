#include "app/screens/timer/elapsed_time_display_view.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/screens/timer/shared_fonts.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/text/ui_font.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;

struct RecordingScreen : TimerSettable {
    void toggleTimer(TimerStatus status) override { toggled.push_back(status); }
    void toggleTimer() override { ADD_FAILURE() << "no control calls the plain action"; }
    std::vector<TimerStatus> toggled;
};

// Connected as the storyboard does it: the clock button first, so the width constraint can measure its
// title, then the stack of the round and goal labels.
class ElapsedTimeDisplay : public testing::EmulatedDevice {
protected:
    void SetUp() override {
        EmulatedDevice::SetUp();
        view->setBackgroundColor(UIColor::colorWithRed(0.85, 0.33, 0.31, 1));
        button->setTitle("25:00", UIControlStateNormal);
        button->titleLabel()->setFont(UIFont::fontWithName("HelveticaNeue-UltraLight", 64));
        button->addTarget(view, &ElapsedTimeDisplayView::toggleTimer, UIControlEventTouchUpInside);
        stack->setFrame(CGRectMake(60, 84, 200, 30));
        stack->setDistribution(UIStackViewDistribution::fillEqually);
        view->addSubview(button);
        view->addSubview(stack);
        view->setTimerControlButton(button);
        view->setWidthConstraint(width);
        view->setStaticsticsHolder(stack);
        view->setRoundDisplayLabel(round);
        view->setGoalDisplayLabel(goal);
    }

    std::shared_ptr<ElapsedTimeDisplayView> view = std::make_shared<ElapsedTimeDisplayView>();
    std::shared_ptr<UIButton> button = std::make_shared<UIButton>(CGRectMake(10, 0, 300, 80));
    std::shared_ptr<UILabel> round = std::make_shared<UILabel>(), goal = std::make_shared<UILabel>();
    std::shared_ptr<UIStackView> stack =
        std::make_shared<UIStackView>(std::vector<std::shared_ptr<UIView>>{round, goal});
    std::shared_ptr<NSLayoutConstraint> width = button->widthAnchor().constraintEqualToConstant(10);
};

TEST_F(ElapsedTimeDisplay, OutletsAreStyledAsConnectedAndTapsReachOnlyASetDelegate) {
    EXPECT_EQ(*button->titleColorForState(UIControlStateNormal), *UIColor::whiteColor());
    EXPECT_TRUE(button->titleLabel()->adjustsFontSizeToFitWidth());
    EXPECT_DOUBLE_EQ(button->titleLabel()->minimumScaleFactor(), 0.3);
    EXPECT_GT(width->constant(), 100);
    EXPECT_EQ(width->constant(), button->titleLabel()->intrinsicContentSize().width);
    EXPECT_EQ(round->font(), elapsedTimeLabelFont());
    EXPECT_EQ(elapsedTimeLabelFont()->pointSize(), 14) << "a phone's size";
    EXPECT_EQ(*goal->textColor(), *UIColor::whiteColor());
    EXPECT_TRUE(stack->isHidden());
    std::make_shared<ElapsedTimeDisplayView>()->setWidthConstraint(width);
    EXPECT_EQ(width->constant(), 0) << "no clock button to measure";

    view->updateSessionCounts("1", "4", "0", "12");
    EXPECT_EQ(round->text(), "Round 1/4");
    EXPECT_EQ(goal->text(), "Goal 0/12");

    button->sendActionsForControlEvents(UIControlEventTouchUpInside);  // no delegate: nothing
    auto screen = std::make_shared<RecordingScreen>();
    view->setDelegate(screen);
    view->setCurrentTimerStatus(TimerStatus::Running);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(screen->toggled, std::vector<TimerStatus>{TimerStatus::Running});
    screen.reset();
    view->toggleTimer();  // held weakly: gone, nothing happens
}

TEST_F(ElapsedTimeDisplay, TheCountsShowOnlyOnAPhoneLyingSideways) {
    for (auto standing :
         {UIDeviceOrientation::faceUp, UIDeviceOrientation::portrait, UIDeviceOrientation::unknown}) {
        view->updateForRotation(standing, Split::oneHalf);
        EXPECT_TRUE(stack->isHidden());
    }
    EXPECT_EQ(view->splitStatus(), Split::oneHalf);
    view->updateSessionCounts("2", "4", "5", "12");
    view->setFrame(CGRectMake(0, 0, 320, 120));
    view->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::fullSize);
    EXPECT_FALSE(stack->isHidden());
    view->layoutIfNeeded();
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*view, out / "elapsed_time_display_view.png", 2));
    const auto image = LayerRenderer::renderView(*view, 2);
    int white = 0;
    for (int y = 84 * 2; y < 114 * 2; ++y) {
        for (int x = 60 * 2; x < 260 * 2; ++x) white += image->pixelAt(x, y).g > 200;
    }
    EXPECT_GT(white, 100) << "the round and goal texts in white";

    emulate("iPadPro10Inch");
    view->updateForRotation(UIDeviceOrientation::landscapeRight, Split::fullSize);
    EXPECT_TRUE(stack->isHidden());
}

}  // namespace
}  // namespace quorvel
