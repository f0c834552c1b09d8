#include "app/widgets/intro/blur_introduction_view.h"

#include <gtest/gtest.h>

#include "platform/foundation/console.h"
#include "tests/app/widgets/intro/intro_test.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::IntroTest;
using Log = std::vector<std::string>;

using IntroductionLayout = IntroTest;

TEST_F(IntroductionLayout, LeftToRightPanelsThenAClosingPage) {
    intro->setBackgroundColor(UIColor::redColor());
    build();
    const auto& scroll = intro->MasterScrollView();
    EXPECT_EQ(panels[2]->frame(), CGRect(750, 0, 375, 667));
    EXPECT_EQ(panels[2]->parentIntroductionView(), intro);
    EXPECT_EQ(scroll->subviews().back()->frame(), CGRect(1125, 0, 375, 400)) << "the closing page";
    EXPECT_EQ(scroll->contentSize(), CGSizeMake(1500, 667));
    EXPECT_EQ(intro->PageControl()->numberOfPages(), 3);
    EXPECT_TRUE(intro->LeftSkipButton()->isHidden());
    EXPECT_FALSE(intro->RightSkipButton()->isHidden());
    EXPECT_EQ(intro->RightSkipButton()->currentTitle(), "Skip");
    EXPECT_EQ(intro->RightSkipButton()->frame().maxX(), 365);

    const auto& background = intro->BackgroundColorView();
    ASSERT_TRUE(background);
    EXPECT_EQ(background->backgroundColor(), UIColor::redColor());
    const auto& views = intro->subviews();
    EXPECT_EQ(std::find(views.begin(), views.end(), background) + 1, std::find(views.begin(), views.end(), scroll))
        << "just below the scroll view";
}

TEST_F(IntroductionLayout, RightToLeftStartsAtTheRightEndWithTheClosingPageLeftmost) {
    build(LanguageDirectionRightToLeft);
    const auto& scroll = intro->MasterScrollView();
    EXPECT_EQ(panels[0]->frame().origin.x, 1125);
    EXPECT_EQ(panels[2]->frame().origin.x, 375);
    EXPECT_EQ(scroll->subviews().back()->frame(), CGRect(0, 0, 375, 400));
    EXPECT_EQ(scroll->contentSize(), CGSizeMake(1500, 667));
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(1125, 0));
    EXPECT_EQ(intro->PageControl()->currentPage(), 2);
    EXPECT_TRUE(intro->RightSkipButton()->isHidden());
    EXPECT_FALSE(intro->LeftSkipButton()->isHidden());

    swipe(false);  // towards the second panel, on the left
    EXPECT_EQ(takeLog(), (Log{"change:1:B", "B:appear"}));
    EXPECT_EQ(intro->PageControl()->currentPage(), 1);
    intro->changeToPanelAtIndex(2);
    clock->advance(1);
    EXPECT_EQ(scroll->contentOffset(), CGPointMake(375, 0));
    EXPECT_EQ(takeLog(), (Log{"B:disappear", "C:appear", "change:2:C"}));
    swipe(false);
    EXPECT_EQ(takeLog(), Log{"finish:0"});
}

TEST_F(IntroductionLayout, WithoutPanelsItOnlySaysSo) {
    Console::Capture console;
    intro->buildIntroductionWithPanels(std::vector<std::shared_ptr<IntroductionPanel>>{});
    EXPECT_TRUE(console.contains(
        "You must pass in panels for the introduction view to have content. 0 panels were found"));
    EXPECT_TRUE(intro->MasterScrollView()->subviews().empty());
    intro->buildIntroductionWithPanels(std::nullopt);
    EXPECT_TRUE(console.contains("The panels object was nil."));
}

using IntroductionPaging = IntroTest;

TEST_F(IntroductionPaging, SwipingBringsTheNextPanelInAndTellsTheDelegate) {
    build();
    const auto& first = panels[0];
    clock->advance(1);
    EXPECT_EQ(first->PanelTitleLabel()->alpha(), 1);
    EXPECT_EQ(panels[1]->PanelTitleLabel()->alpha(), 0);

    swipe();
    EXPECT_EQ(takeLog(), (Log{"A:disappear", "change:1:B", "B:appear"}));
    EXPECT_EQ(intro->CurrentPanelIndex(), 1);
    EXPECT_EQ(intro->PageControl()->currentPage(), 1);
    EXPECT_EQ(first->PanelTitleLabel()->alpha(), 0) << "every other panel is cleared";
    const auto& title = panels[1]->PanelTitleLabel();
    EXPECT_EQ(title->alpha(), 1);
    EXPECT_EQ(title->frame().origin.x, 10);

    // Settling back on the same panel says nothing.
    intro->scrollViewDidEndDecelerating(*intro->MasterScrollView());
    EXPECT_TRUE(log.empty());
}

TEST_F(IntroductionPaging, PartsSlideInTitleFirstThenDescription) {
    build();
    const auto& panel = panels[0];
    const CGRect title = panel->PanelTitleLabel()->frame();
    EXPECT_EQ(panel->PanelTitleLabel()->layer()->presentationValue("position.x").toDouble(),
              title.midX() + 10);
    clock->advance(0.3);
    EXPECT_EQ(panel->PanelTitleLabel()->layer()->presentationValue("opacity").toDouble(), 1);
    EXPECT_EQ(panel->PanelSeparatorLine()->layer()->presentationValue("opacity").toDouble(), 1);
    EXPECT_EQ(panel->PanelDescriptionLabel()->layer()->presentationValue("opacity").toDouble(), 0);
    clock->advance(0.3);
    EXPECT_EQ(panel->PanelDescriptionLabel()->layer()->presentationValue("opacity").toDouble(), 1);
}

TEST_F(IntroductionPaging, LastPanelFadesOntoTheClosingPageAndFinishesOnce) {
    build();
    swipe();
    swipe();
    takeLog();
    const auto& scroll = intro->MasterScrollView();
    scroll->setContentOffset({750 + 187.5, 0});
    EXPECT_DOUBLE_EQ(intro->alpha(), 0.5);
    scroll->setContentOffset({750, 0});
    EXPECT_DOUBLE_EQ(intro->alpha(), 1);

    swipe();
    EXPECT_EQ(takeLog(), (Log{"C:disappear", "finish:0"}));
    EXPECT_EQ(intro->alpha(), 0);
    swipe();
    EXPECT_TRUE(log.empty()) << "a faded view takes no more touches";
}

TEST_F(IntroductionPaging, ChangeToPanelScrollsThereAndRefusesTheCurrentOrAMissingIndex) {
    build();
    Console::Capture console;
    intro->changeToPanelAtIndex(2);
    EXPECT_EQ(takeLog(), (Log{"A:disappear", "C:appear", "change:2:C"}));
    clock->advance(1);
    EXPECT_EQ(intro->MasterScrollView()->contentOffset(), CGPointMake(750, 0));
    EXPECT_EQ(intro->PageControl()->currentPage(), 2);
    EXPECT_EQ(intro->CurrentPanelIndex(), 2);

    for (long index : {2L, 3L, -1L}) intro->changeToPanelAtIndex(index);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(console.contains("The index: 2 is out of range for Panels array[0...2]"));
    EXPECT_TRUE(console.contains("The index: 3 is out of range for Panels array[0...2]"));
    EXPECT_TRUE(console.contains("The index: -1 is out of range for Panels array[0...2]"));
    EXPECT_EQ(intro->CurrentPanelIndex(), 2);
}

TEST_F(IntroductionPaging, SkipReportsAndFadesOutDisablingHidesBothSkipButtons) {
    build();
    intro->RightSkipButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(takeLog(), Log{"finish:1"});
    clock->advance(0.15);
    EXPECT_NEAR(intro->layer()->presentationValue("opacity").toDouble(), 0.5, 0.2);
    clock->advance(0.2);
    EXPECT_EQ(intro->layer()->presentationValue("opacity").toDouble(), 0);
    EXPECT_TRUE(intro->superview()) << "removing it is the delegate's business";

    intro->setEnabled(false);
    EXPECT_EQ(intro->LeftSkipButton()->alpha(), 0);
    EXPECT_EQ(intro->RightSkipButton()->alpha(), 0);
    EXPECT_FALSE(intro->MasterScrollView()->isScrollEnabled());
    intro->setEnabled(true);
    EXPECT_EQ(intro->RightSkipButton()->alpha(), 1);
    EXPECT_EQ(intro->LeftSkipButton()->alpha(), 0);
    EXPECT_TRUE(intro->MasterScrollView()->isScrollEnabled());
}

}  // namespace
}  // namespace quorvel
