#include "platform/uikit/controls/ui_button.h"

#include <gtest/gtest.h>

#include "tests/platform/uikit/swatch.h"

namespace platform {
namespace {

using quorvel::testing::swatch;

TEST(UIButtonStates, ValuesFallBackToTheNormalState) {
    auto button = UIButton::buttonWithType(UIButtonType::custom);
    button->setTitle("Focus", UIControlStateNormal);
    button->setTitleColor(UIColor::grayColor(), UIControlStateHighlighted);
    EXPECT_EQ(button->titleLabel()->text(), "Focus");
    EXPECT_TRUE(button->currentTitleColor()->isEqual(UIColor::whiteColor())) << "a custom button's default";

    button->setHighlighted(true);
    EXPECT_EQ(button->state(), UIControlStateHighlighted);
    EXPECT_EQ(button->currentTitle(), "Focus");
    EXPECT_TRUE(button->titleLabel()->textColor()->isEqual(UIColor::grayColor()));

    button->setTitle("Pause", UIControlStateHighlighted);
    EXPECT_EQ(button->titleLabel()->text(), "Pause");
    button->setHighlighted(false);
    button->setEnabled(false);
    EXPECT_EQ(button->state(), UIControlStateDisabled);
    EXPECT_EQ(button->titleLabel()->text(), "Focus");
    EXPECT_FALSE(button->titleForState(UIControlStateSelected) == std::nullopt);
}

TEST(UIButtonStates, ImagesPerStateAndNullRemovesThem) {
    auto button = UIButton::buttonWithType(UIButtonType::custom);
    const auto play = swatch({32, 32});
    button->setImage(play, UIControlStateNormal);
    button->setBackgroundImage(swatch({1, 1}), UIControlStateHighlighted);
    EXPECT_EQ(button->imageView()->image(), play);
    EXPECT_FALSE(button->currentBackgroundImage());
    button->setSelected(true);
    EXPECT_EQ(button->currentImage(), play);
    button->setImage(nullptr, UIControlStateNormal);
    EXPECT_FALSE(button->imageView()->image());
    EXPECT_TRUE(button->imageView()->isHidden());
}

TEST(UIButtonStates, SystemButtonsTakeTheTintColour) {
    auto button = UIButton::buttonWithType(UIButtonType::system);
    button->setTitle("Skip", UIControlStateNormal);
    button->setTintColor(UIColor::redColor());
    EXPECT_TRUE(button->titleLabel()->textColor()->isEqual(UIColor::redColor()));
    button->setTitleColor(UIColor::greenColor(), UIControlStateNormal);
    EXPECT_TRUE(button->titleLabel()->textColor()->isEqual(UIColor::greenColor()));
}

TEST(UIButtonLayout, ImageThenTitleCentredWithTheirInsets) {
    auto button = UIButton::buttonWithType(UIButtonType::custom);
    button->setImage(swatch({20, 20}), UIControlStateNormal);
    button->setTitle("Statistics", UIControlStateNormal);
    button->setContentEdgeInsets(UIEdgeInsetsMake(2, 4, 2, 4));
    const CGSize title = button->titleLabel()->sizeThatFits({0, 0});
    const CGSize fit = button->sizeThatFits({0, 0});
    EXPECT_EQ(fit.width, 20 + title.width + 8);
    EXPECT_EQ(fit.height, std::max<CGFloat>(20, title.height) + 4);
    EXPECT_EQ(button->intrinsicContentSize(), fit);

    button->setFrame(CGRectMake(0, 0, 200, 44));
    button->setImageEdgeInsets(UIEdgeInsetsMake(0, 3, 0, -3));
    button->layoutIfNeeded();
    const CGFloat left = 100 - (20 + title.width) / 2;
    EXPECT_NEAR(button->imageView()->frame().origin.x, left + 3, 1e-9) << "moved right by the insets";
    EXPECT_NEAR(button->titleLabel()->frame().origin.x, left + 20, 1e-9);
    EXPECT_NEAR(button->imageView()->frame().midY(), 22, 1e-9);

    button->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::left);
    button->layoutIfNeeded();
    EXPECT_NEAR(button->titleLabel()->frame().origin.x, 4 + 20, 1e-9);
}

}  // namespace
}  // namespace platform
