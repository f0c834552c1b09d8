#include <gtest/gtest.h>

#include "tests/app/widgets/menu/menu_fixture.h"

namespace quorvel {
namespace {

using platform::CGRect;
using platform::CGSize;
using platform::NSTextAlignment;
using platform::UIColor;
using Kind = testing::TouchDriver::Kind;

bool same(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
    return a && a->isEqual(b);
}

class DropDownMenuLook : public testing::MenuTest {};

TEST_F(DropDownMenuLook, TheSeparatorImageIsTwoDarkRowsAGapAndALightRow) {
    const auto image = DropDownMenu::separatorImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 1);
    EXPECT_EQ(image->pixelHeight(), 4);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size(), (CGSize{0.5, 2}));
    using Pixel = platform::UIImage::Pixel;
    EXPECT_EQ(image->pixelAt(0, 0), (Pixel{28, 28, 27, 255}));
    EXPECT_EQ(image->pixelAt(0, 1), (Pixel{28, 28, 27, 255}));
    EXPECT_EQ(image->pixelAt(0, 2).a, 0);
    EXPECT_EQ(image->pixelAt(0, 3), (Pixel{79, 79, 77, 255}));
}

TEST_F(DropDownMenuLook, AnItemsOwnValuesWinAndTheRowBackgroundNeverFallsBackToTheMenu) {
    auto& item = *items[1];
    item.setTextColor(UIColor::yellowColor());
    item.setHighlightedBackgroundColor(UIColor::blueColor());
    item.setTextShadowOffset({2, 2});
    item.setTextAlignment(int(NSTextAlignment::left));
    items[2]->setBackgroundColor(UIColor::greenColor());
    open();

    const auto plain = menu->itemViews()[0], own = menu->itemViews()[1], green = menu->itemViews()[2];
    EXPECT_TRUE(same(plain->backgroundView()->backgroundColor(), UIColor::clearColor()));
    EXPECT_TRUE(same(green->backgroundView()->backgroundColor(), UIColor::greenColor()));
    EXPECT_TRUE(same(menu->menuView()->backgroundColor(), menu->backgroundColor()));
    EXPECT_TRUE(same(plain->titleLabel()->textColor(), menu->textColor()));
    EXPECT_TRUE(same(own->titleLabel()->textColor(), UIColor::yellowColor()));
    EXPECT_EQ(plain->titleLabel()->shadowOffset(), (CGSize{0, -1}));
    EXPECT_EQ(own->titleLabel()->shadowOffset(), (CGSize{2, 2}));
    EXPECT_EQ(plain->titleLabel()->textAlignment(), NSTextAlignment::center);
    EXPECT_EQ(own->titleLabel()->textAlignment(), NSTextAlignment::left);
    EXPECT_TRUE(same(plain->separatorView()->backgroundColor(), menu->separatorColor()));

    // Pressed: the highlighted values, the item's where it has them.
    driver.play({{0, Kind::down, row(0)}});
    EXPECT_TRUE(same(plain->backgroundView()->backgroundColor(), menu->highlightedBackgroundColor()));
    EXPECT_TRUE(same(plain->separatorView()->backgroundColor(), menu->highlightedSeparatorColor()));
    EXPECT_TRUE(same(plain->titleLabel()->textColor(), menu->highlightedTextColor()));
    driver.play({{0, Kind::cancel}, {0.1, Kind::down, row(1)}});
    EXPECT_TRUE(same(own->backgroundView()->backgroundColor(), UIColor::blueColor()));
    EXPECT_TRUE(same(own->titleLabel()->textColor(), menu->highlightedTextColor()));
    driver.play({{0, Kind::cancel}});
    EXPECT_TRUE(same(own->backgroundView()->backgroundColor(), UIColor::clearColor()));
    EXPECT_TRUE(same(own->titleLabel()->textColor(), UIColor::yellowColor()));
}

TEST_F(DropDownMenuLook, ASubtitleSplitsTheRowAndItsLookFollowsTheSameRule) {
    auto subtitled = std::make_shared<DropDownMenuItem>("Focus", "25 minutes", nullptr, nullptr, nullptr);
    subtitled->setSubtitleTextOffset({4, 1});
    subtitled->setSubtitleHighlightedTextColor(UIColor::redColor());
    auto empty = std::make_shared<DropDownMenuItem>("Break", "", nullptr, nullptr, nullptr);
    menu->setItems({subtitled, empty});
    menu->setTextOffset({10, 0});
    open();
    const auto first = menu->itemViews()[0], second = menu->itemViews()[1];
    EXPECT_EQ(first->titleLabel()->frame(), CGRect(10, 0, 375, 34));
    ASSERT_TRUE(first->subtitleLabel());
    EXPECT_EQ(first->subtitleLabel()->frame(), CGRect(4, 35, 375, 25));
    EXPECT_TRUE(same(first->subtitleLabel()->textColor(), menu->subtitleTextColor()));
    EXPECT_FALSE(second->subtitleLabel()) << "an empty subtitle is none";
    EXPECT_EQ(second->titleLabel()->frame(), CGRect(10, 0, 375, 60));

    driver.play({{0, Kind::down, row(0)}});
    EXPECT_TRUE(same(first->subtitleLabel()->textColor(), UIColor::redColor()));
    EXPECT_TRUE(same(first->subtitleLabel()->shadowColor(), menu->subtitleHighlightedTextShadowColor()));
}

TEST_F(DropDownMenuLook, ImagesSitInASquareAtEitherEdgeWithTheBadgeOnTheirOuterCorner) {
    items[0]->setBadge("3");
    std::vector<std::string> configured;
    menu->setBadgeLabelConfigurationBlock([&](const auto& label, const auto& item) {
        configured.push_back(item->title() + " " + label->text());
    });
    open();
    window->layoutIfNeeded();
    const auto first = menu->itemViews()[0];
    EXPECT_EQ(first->imageView()->frame(), CGRect(15, 15, 30, 30));
    const auto badge = first->badgeLabel();
    EXPECT_FALSE(badge->isHidden());
    EXPECT_EQ(badge->frame().origin, (platform::CGPoint{43, 13}));
    const CGSize text = platform::NSAttributedString("3", {badge->font(), nullptr}).size();
    EXPECT_EQ(badge->frame().size, (CGSize{text.width + 6, text.height + 2}));
    EXPECT_TRUE(menu->itemViews()[1]->badgeLabel()->isHidden());
    EXPECT_EQ(configured, (std::vector<std::string>{"Timer 3"}));
    menu->close();
    clock->advance(0.5);

    menu->setImageAlignment(1);
    menu->setImageOffset({5, 2});
    open();
    window->layoutIfNeeded();
    const auto right = menu->itemViews()[0];
    EXPECT_EQ(right->imageView()->frame(), CGRect(375 - (20 + 30), 17, 30, 30));
    EXPECT_EQ(right->badgeLabel()->frame().maxX(), 325 + 2);
}

TEST_F(DropDownMenuLook, RowsReadAsButtonsAndFollowTheirItem) {
    open();
    window->layoutIfNeeded();
    const auto row = menu->itemViews()[0];
    EXPECT_EQ(row->accessibilityTraits(), platform::UIAccessibilityTraitButton);
    EXPECT_EQ(row->accessibilityHint(), "Double tap to choose");
    EXPECT_EQ(row->accessibilityLabel(), "Timer");
    EXPECT_EQ(menu->backgroundButton()->accessibilityLabel(), "Menu background");

    // Changing a shown item changes its row.
    items[0]->setTitle("Focus");
    items[0]->setSubtitle("25 min");
    EXPECT_EQ(row->titleLabel()->text(), "Focus");
    EXPECT_EQ(row->accessibilityLabel(), "Focus, 25 min");
    const auto red = icon(UIColor::redColor());
    items[0]->setImage(red);
    EXPECT_EQ(row->imageView()->image(), red);
    items[0]->setTag(7);
    EXPECT_EQ(items[0]->description(), "<title: Focus; subtitle: 25 min; tag: 7>");

    // An item's own view fills its row.
    auto custom = std::make_shared<platform::UIView>();
    menu->close();
    clock->advance(0.5);
    menu->setItems({std::make_shared<DropDownMenuItem>(custom)});
    open();
    window->layoutIfNeeded();
    EXPECT_EQ(custom->superview(), menu->itemViews()[0]);
    EXPECT_EQ(custom->frame(), CGRect(0, 0, 375, 60));
}

TEST_F(DropDownMenuLook, LiveBlurPutsAToolbarBehindClearRows) {
    menu->setLiveBlur(true);
    menu->setLiveBlurBackgroundStyle(int(platform::UIBarStyle::black));
    menu->setLiveBlurTintColor(UIColor::purpleColor());
    menu->setShadowOpacity(0.5);
    open();
    ASSERT_TRUE(menu->toolbar());
    EXPECT_TRUE(same(menu->toolbar()->barTintColor(), UIColor::purpleColor()));
    EXPECT_EQ(menu->menuWrapperView()->subviews().front(), menu->toolbar());
    EXPECT_FALSE(menu->menuView()->backgroundColor());
    EXPECT_EQ(menu->menuWrapperView()->layer()->shadowOpacity(), 0) << "no shadow over the blur";
    EXPECT_EQ(menu->itemViews()[0]->backgroundView()->alpha(), 0.5);
}

}  // namespace
}  // namespace quorvel
