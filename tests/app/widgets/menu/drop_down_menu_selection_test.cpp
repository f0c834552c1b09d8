#include <gtest/gtest.h>

#include "tests/app/widgets/menu/menu_fixture.h"

namespace quorvel {
namespace {

using Kind = testing::TouchDriver::Kind;
using Log = std::vector<std::string>;

class DropDownMenuSelection : public testing::MenuTest {};

TEST_F(DropDownMenuSelection, WaitingForTheCloseTheActionRunsOnceTheMenuIsGone) {
    open();
    driver.tap(row(1));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(menu->isAnimating());
    clock->advance(0.49);
    EXPECT_TRUE(log.empty());
    clock->advance(0.02);
    EXPECT_EQ(log, (Log{"action Statistics", "closed"}));
    EXPECT_FALSE(menu->isOpen());
}

TEST_F(DropDownMenuSelection, NotWaitingTheActionRunsAsTheMenuStartsClosing) {
    menu->setWaitUntilAnimationIsComplete(false);
    open();
    driver.tap(row(2));
    EXPECT_EQ(log, (Log{"action Settings"}));
    EXPECT_TRUE(menu->isAnimating());
    clock->advance(0.5);
    EXPECT_EQ(log, (Log{"action Settings", "closed"}));
}

TEST_F(DropDownMenuSelection, ATapWhileOpeningRunsTheActionOnlyWhenNotWaiting) {
    menu->setWaitUntilAnimationIsComplete(false);
    menu->showFromNavigationController(*navigation);
    driver.tap(row(0));
    EXPECT_EQ(log, (Log{"action Timer"}));
    clock->advance(1);
    EXPECT_TRUE(menu->isOpen()) << "the close came while opening";
    menu->close();
    clock->advance(0.5);

    // Waiting for a close that is dropped, the action never comes.
    log.clear();
    menu->setWaitUntilAnimationIsComplete(true);
    menu->showFromNavigationController(*navigation);
    driver.tap(row(0));
    clock->advance(1);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(menu->isOpen());
}

TEST_F(DropDownMenuSelection, WithoutCloseOnSelectionTheMenuStaysOpen) {
    menu->setCloseOnSelection(false);
    open();
    driver.tap(row(0));
    driver.tap(row(1));
    EXPECT_EQ(log, (Log{"action Timer", "action Statistics"}));
    EXPECT_FALSE(menu->isAnimating());
    EXPECT_TRUE(menu->isOpen());
}

TEST_F(DropDownMenuSelection, AnItemWithoutActionKeepsTheMenuOpen) {
    items[1]->setAction(nullptr);
    open();
    driver.tap(row(1));
    clock->advance(1);
    EXPECT_TRUE(menu->isOpen());
    EXPECT_TRUE(log.empty());
}

TEST_F(DropDownMenuSelection, AFingerPressesTheRowAndChoosesOnlyWhenLiftedLevelWithIt) {
    items[0]->setHiglightedImage(icon(platform::UIColor::redColor()));
    open();
    const auto first = menu->itemViews()[0];
    driver.play({{0, Kind::down, row(0)}});
    EXPECT_TRUE(first->isHighlighted());
    EXPECT_TRUE(first->imageView()->isHighlighted());
    // Dragged off below the row and lifted there: no action.
    driver.play({{0.1, Kind::move, {187, row(0).y + 45}}, {0.2, Kind::up, {187, row(0).y + 45}}});
    EXPECT_FALSE(first->isHighlighted());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(menu->isOpen());
    EXPECT_FALSE(menu->isAnimating());

    // A cancelled touch only takes the highlight away.
    driver.play({{0, Kind::down, row(2)}, {0.1, Kind::cancel}});
    EXPECT_FALSE(menu->itemViews()[2]->isHighlighted());
    EXPECT_TRUE(log.empty());

    // Sideways off the row still chooses it.
    driver.play(
        {{0, Kind::down, row(1)}, {0.1, Kind::move, {20, row(1).y}}, {0.2, Kind::up, {20, row(1).y}}});
    clock->advance(0.5);
    EXPECT_EQ(log, (Log{"action Statistics", "closed"}));
}

}  // namespace
}  // namespace quorvel
