#include <gtest/gtest.h>

#include "app/widgets/reveal/popover_cell_button_item.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "tests/app/widgets/reveal/reveal_fixture.h"

namespace quorvel {
namespace {

using platform::UIColor;

TEST(RevealCellButtonItem, OpaqueOnlyAboveNinetyEightPercentAlphaInAnyColourSpace) {
    RevealCellButtonItem item("Skip");
    EXPECT_FALSE(item.isOpaque());
    item.setBackgroundColor(UIColor::colorWithRed(1, 0, 0, 0.99));
    EXPECT_TRUE(item.isOpaque());
    item.setBackgroundColor(UIColor::colorWithRed(1, 0, 0, 0.9));
    EXPECT_FALSE(item.isOpaque());
    item.setBackgroundColor(UIColor::colorWithWhite(0.2, 1));
    EXPECT_TRUE(item.isOpaque());
    item.setBackgroundColor(UIColor::colorWithHue(0.5, 1, 1, 1));
    EXPECT_TRUE(item.isOpaque());
    item.setBackgroundColor(nullptr);
    EXPECT_FALSE(item.isOpaque());
}

class RevealCellButtonTap : public testing::RevealCellTest {};

TEST_F(RevealCellButtonTap, ATapRunsTheHandlerAndAYesClosesTheCell) {
    std::vector<std::string> ran;
    bool close = false;
    for (const auto& item : source->left) {
        item->setHandler([&](const std::shared_ptr<RevealCellButtonItem>& tapped,
                             const std::shared_ptr<RevealTableViewCell>& from) {
            ran.push_back(tapped->title());
            EXPECT_EQ(from, cell);
            return close;
        });
    }
    join();
    cell->setRevealPosition(revealPositionLeft);
    driver.tap({15, kRow});
    EXPECT_EQ(ran, (std::vector<std::string>{"Skip"}));
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);

    close = true;
    driver.tap({60, kRow});
    EXPECT_EQ(ran, (std::vector<std::string>{"Skip", "Reset"}));
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    EXPECT_TRUE(contentSpring()) << "closing animates";
}

TEST_F(RevealCellButtonTap, APopoverAnchorsToAnItemsButton) {
    join();
    cell->setRevealPosition(revealPositionRight);
    auto popover = std::make_shared<platform::UIPopoverPresentationController>(
        std::make_shared<platform::UIViewController>());
    const auto& item = source->right.front();
    setCellButtonItem(*popover, *item);
    EXPECT_EQ(popover->sourceView(), cell->utilityContentView());
    // The opaque button's frame reaches a pixel past its share; the button sits at its far edge.
    EXPECT_EQ(popover->sourceRect(), platform::CGRect(275, 0, 100, 99.5));
    EXPECT_FALSE(popover->barButtonItem());

    cell->resetCellAnimated(false);
    setCellButtonItem(*popover, *item);
    EXPECT_EQ(popover->sourceRect(), platform::CGRect::zero());
}

}  // namespace
}  // namespace quorvel
