#include "app/screens/timer/elapsed_time_display_view.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/screens/timer/shared_fonts.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/ns_layout_anchor.h"
#include "platform/uikit/ui_image.h"
#include "platform/uikit/ns_layout_anchor.h"
#include "platform/uikit/ui_font.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;

struct RecordingScreen : TimerSettable {
    void toggleTimer(TimerStatus status) override { toggled.push_back(status); }
    void toggleTimer() override { ++plainActions; }
    std::vector<TimerStatus> toggled;
    int plainActions = 0;
};

// The view as the storyboard connects it: the clock button first, so the width constraint can measure
// its title, then the labels' stack and the labels.
class ElapsedTimeDisplay : public testing::EmulatedDevice {
protected:
    void SetUp() override {
        EmulatedDevice::SetUp();
        view = std::make_shared<ElapsedTimeDisplayView>();
        view->setFrame(CGRectMake(0, 0, 320, 120));
        view->setBackgroundColor(UIColor::colorWithRed(0.85, 0.33, 0.31, 1));
        button = std::make_shared<UIButton>(CGRectMake(10, 0, 300, 80));
        button->setTitle("25:00", UIControlStateNormal);
        button->titleLabel()->setFont(UIFont::fontWithName("HelveticaNeue-UltraLight", 64));
        button->addTarget(view, &ElapsedTimeDisplayView::toggleTimer, UIControlEventTouchUpInside);
        view->addSubview(button);
        round = std::make_shared<UILabel>();
        goal = std::make_shared<UILabel>();
        stack = std::make_shared<UIStackView>(std::vector<std::shared_ptr<UIView>>{round, goal});
        stack->setFrame(CGRectMake(60, 84, 200, 30));
        stack->setDistribution(UIStackViewDistribution::fillEqually);
        view->addSubview(stack);
        width = button->widthAnchor().constraintEqualToConstant(10);

        view->setTimerControlButton(button);
        view->setWidthConstraint(width);
        view->setStaticsticsHolder(stack);
        view->setRoundDisplayLabel(round);
        view->setGoalDisplayLabel(goal);
    }

    std::shared_ptr<ElapsedTimeDisplayView> view;
    std::shared_ptr<UIButton> button;
    std::shared_ptr<UILabel> round, goal;
    std::shared_ptr<UIStackView> stack;
    std::shared_ptr<NSLayoutConstraint> width;
};

TEST_F(ElapsedTimeDisplay, ConnectingTheOutletsStylesWhatTheyHold) {
    EXPECT_EQ(*button->titleColorForState(UIControlStateNormal), *UIColor::whiteColor());
    EXPECT_TRUE(button->titleLabel()->adjustsFontSizeToFitWidth());
    EXPECT_DOUBLE_EQ(button->titleLabel()->minimumScaleFactor(), 0.3);
    EXPECT_GT(width->constant(), 100);
    EXPECT_EQ(width->constant(), button->titleLabel()->intrinsicContentSize().width);
    for (const auto& label : {round, goal}) {
        EXPECT_EQ(label->font(), elapsedTimeLabelFont());
        EXPECT_EQ(*label->textColor(), *UIColor::whiteColor());
    }
    EXPECT_EQ(elapsedTimeLabelFont()->pointSize(), 14) << "a phone's labels";
    EXPECT_TRUE(stack->isHidden());

    // Connected before any clock button, the width has nothing to measure.
    auto early = std::make_shared<ElapsedTimeDisplayView>();
    early->setWidthConstraint(width);
    EXPECT_EQ(width->constant(), 0);
}

TEST_F(ElapsedTimeDisplay, ShowsTheCountsAndPassesTapsOnOnlyWithADelegate) {
    view->updateSessionCounts("1", "4", "0", "12");
    EXPECT_EQ(round->text(), "Round 1/4");
    EXPECT_EQ(goal->text(), "Goal 0/12");

    button->sendActionsForControlEvents(UIControlEventTouchUpInside);  // no delegate yet: nothing
    auto screen = std::make_shared<RecordingScreen>();
    view->setDelegate(screen);
    view->setCurrentTimerStatus(TimerStatus::Running);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(screen->toggled, std::vector<TimerStatus>{TimerStatus::Running});
    EXPECT_EQ(screen->plainActions, 0);
    screen.reset();
    view->toggleTimer();  // the delegate is held weakly: gone, nothing happens
}

TEST_F(ElapsedTimeDisplay, TheCountsShowOnlyOnAPhoneLyingSideways) {
    view->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::fullSize);
    EXPECT_FALSE(stack->isHidden());
    for (auto flat : {UIDeviceOrientation::faceUp, UIDeviceOrientation::portrait, UIDeviceOrientation::unknown}) {
        view->updateForRotation(flat, Split::oneHalf);
        EXPECT_TRUE(stack->isHidden());
    }
    EXPECT_EQ(view->splitStatus(), Split::oneHalf);
    emulate("iPadPro10Inch");
    view->updateForRotation(UIDeviceOrientation::landscapeRight, Split::fullSize);
    EXPECT_TRUE(stack->isHidden());
}

TEST_F(ElapsedTimeDisplay, DrawnWithTheCountsOnAPhoneLyingSideways) {
    view->updateSessionCounts("2", "4", "5", "12");
    view->updateForRotation(UIDeviceOrientation::landscapeLeft, Split::fullSize);
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
}

}  // namespace
}  // namespace quorvel
