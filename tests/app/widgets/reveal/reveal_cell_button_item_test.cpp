#include <gtest/gtest.h>

#include "platform/uikit/ui_graphics.h"
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

TEST(RevealCellButtonItem, AnImageItemIsAsWideAsItsImageOthersHaveNoWidth) {
    platform::UIGraphicsBeginImageContextWithOptions({44, 30}, false, 2);
    auto image = platform::UIGraphicsGetImageFromCurrentImageContext();
    platform::UIGraphicsEndImageContext();
    EXPECT_EQ(RevealCellButtonItem(image).width(), 44);
    EXPECT_EQ(RevealCellButtonItem::itemWithImage(image, nullptr)->width(), 44);
    EXPECT_EQ(RevealCellButtonItem("Skip", image, nullptr).width(), 0);
    EXPECT_EQ(RevealCellButtonItem::itemWithTitle("Skip", nullptr)->width(), 0);
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

}  // namespace
}  // namespace quorvel
