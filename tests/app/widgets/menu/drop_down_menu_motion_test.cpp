#include <gtest/gtest.h>

#include "platform/quartzcore/ca_spring_animation.h"
#include "tests/app/widgets/menu/menu_fixture.h"

namespace quorvel {
namespace {

using platform::CGFloat;
using platform::CGRect;
using Log = std::vector<std::string>;

class DropDownMenuMotion : public testing::MenuTest {};

TEST_F(DropDownMenuMotion, OpensBehindTheBarWithASpringOverHalfASecond) {
    EXPECT_EQ(menu->combinedHeight(), 3 * 60 + 40);
    menu->showFromNavigationController(*navigation);
    EXPECT_TRUE(menu->isOpen());
    EXPECT_TRUE(menu->isAnimating());
    const auto view = navigation->view();
    EXPECT_EQ(view->subviews().back(), navigation->navigationBar()) << "the bar covers the menu";
    EXPECT_EQ(menu->containerView()->superview(), view);
    window->layoutIfNeeded();
    EXPECT_EQ(menu->containerView()->frame(), CGRect(0, 0, 375, 667));

    // It starts fully above the screen, 64 points of room for the bar above its rows...
    EXPECT_EQ(menu->menuWrapperView()->frame().size, platform::CGSizeMake(375, 64 + 220));
    EXPECT_EQ(shownWrapperY(), -284);
    EXPECT_EQ(menu->itemViews()[1]->frame(), CGRect(0, 64 + 60 + 40, 375, 60));
    // ...and drops to −40, where its rows start at the bar's bottom edge.
    EXPECT_EQ(wrapperY(), -40);
    auto spring = std::dynamic_pointer_cast<platform::CASpringAnimation>(
        menu->menuWrapperView()->layer()->animationForKey("position"));
    ASSERT_TRUE(spring);
    EXPECT_DOUBLE_EQ(spring->duration(), 0.5);
    EXPECT_DOUBLE_EQ(spring->initialVelocity(), 4.0);
    CGFloat deepest = -1000;
    for (int step = 0; step < 49; ++step) {
        clock->advance(0.01);
        deepest = std::max(deepest, shownWrapperY());
    }
    EXPECT_GT(deepest, -40) << "the spring overshoots";
    EXPECT_TRUE(menu->isAnimating());
    clock->advance(0.02);
    EXPECT_FALSE(menu->isAnimating());
    EXPECT_EQ(menu->backgroundView()->alpha(), 1);
    EXPECT_EQ(menu->itemViews()[0]->convertRectToView(menu->itemViews()[0]->bounds(), nullptr),
              CGRect(0, 64, 375, 60));
}

TEST_F(DropDownMenuMotion, ClosesWithADipThenRollsUpAndRemovesItsViews) {
    open();
    bool completed = false;
    menu->closeWithCompletion([&] {
        completed = true;
        log.push_back("completion");
    });
    EXPECT_EQ(wrapperY(), -20);
    clock->advance(0.19);
    EXPECT_GT(shownWrapperY(), -40);
    clock->advance(0.01);
    EXPECT_EQ(wrapperY(), -284) << "rolling up from 0.2 s";
    EXPECT_TRUE(menu->isOpen());
    clock->advance(0.15);
    EXPECT_LT(shownWrapperY(), -40);
    EXPECT_GT(menu->backgroundView()->layer()->presentationValue("opacity").toDouble(), 0);
    clock->advance(0.15);
    EXPECT_TRUE(completed);
    EXPECT_FALSE(menu->isOpen());
    EXPECT_FALSE(menu->isAnimating());
    EXPECT_EQ(log, (Log{"completion", "closed"}));
    EXPECT_EQ(containersIn(*navigation->view()), 0u);
    EXPECT_FALSE(menu->backgroundView()->superview());
    // Items keep the rows they were last shown in.
    EXPECT_EQ(items[2]->itemView(), menu->itemViews()[2]);
}

TEST_F(DropDownMenuMotion, WithoutBounceOpeningAndClosingAreOneMove) {
    menu->setBounce(false);
    menu->showFromNavigationController(*navigation);
    EXPECT_FALSE(std::dynamic_pointer_cast<platform::CASpringAnimation>(
        menu->menuWrapperView()->layer()->animationForKey("position")));
    clock->advance(0.3);
    EXPECT_FALSE(menu->isAnimating());
    menu->close();
    EXPECT_EQ(wrapperY(), -284);
    clock->advance(0.3);
    EXPECT_FALSE(menu->isOpen());
}

TEST_F(DropDownMenuMotion, RequestsWhileMovingAreDropped) {
    menu->showFromNavigationController(*navigation);
    menu->showFromNavigationController(*navigation);
    menu->close();
    EXPECT_EQ(containersIn(*navigation->view()), 1u);
    clock->advance(0.5);
    EXPECT_TRUE(menu->isOpen()) << "the close came while opening";
    // Open, a second show would cover the first set of views for good: it is dropped too.
    menu->showInView(root->view());
    EXPECT_EQ(containersIn(*root->view()), 0u);

    menu->close();
    menu->close();
    menu->showFromNavigationController(*navigation);
    clock->advance(0.5);
    EXPECT_EQ(log, (Log{"closed"}));
    EXPECT_FALSE(menu->isOpen());
    EXPECT_EQ(containersIn(*navigation->view()), 0u);
}

TEST_F(DropDownMenuMotion, BelowTheBarTheContainerStartsAtItsBottomEdge) {
    menu->setAppearsBehindNavigationBar(false);
    menu->setSeparatorHeight(2);
    menu->setCornerRadius(10);
    EXPECT_EQ(menu->combinedHeight(), 3 * 62 + 40 + 10);
    open();
    window->layoutIfNeeded();
    EXPECT_EQ(menu->containerView()->frame(), CGRect(0, kBarBottom, 375, 667 - kBarBottom));
    EXPECT_EQ(menu->backgroundButton()->frame(), menu->containerView()->bounds());
    EXPECT_EQ(menu->menuWrapperView()->frame(), CGRect(0, -42, 375, 236));
    EXPECT_EQ(menu->itemViews()[0]->separatorView()->frame(), CGRect(0, 40, 375, 2));
    EXPECT_EQ(menu->itemViews()[1]->frame(), CGRect(0, 104, 375, 60));
    EXPECT_EQ(menu->itemViews()[2]->frame(), CGRect(0, 166, 375, 70))
        << "the last row reaches into the corner";
    EXPECT_EQ(menu->menuView()->layer()->cornerRadius(), 10);
}

TEST_F(DropDownMenuMotion, InAPlainViewThereIsNoBarToLeaveRoomFor) {
    auto host = std::make_shared<platform::UIView>(CGRect(0, 0, 320, 400));
    window->addSubview(host);
    menu->showInView(host);
    EXPECT_EQ(menu->containerView()->frame(), host->bounds());
    EXPECT_FALSE(menu->navigationBar());
    EXPECT_EQ(menu->menuWrapperView()->frame(), CGRect(0, -40, 320, 220));
    EXPECT_EQ(menu->itemViews()[0]->frame().minY(), 40);
}

TEST_F(DropDownMenuMotion, TappingTheDimmedBackgroundCloses) {
    open();
    driver.tap({187, 500});
    EXPECT_TRUE(menu->isAnimating());
    clock->advance(0.5);
    EXPECT_EQ(log, (Log{"closed"}));
}

}  // namespace
}  // namespace quorvel
