#include "app/widgets/intro/introduction_panel.h"

#include <gtest/gtest.h>

#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "tests/app/widgets/intro/intro_test.h"

namespace quorvel {
namespace {

using namespace platform;

std::shared_ptr<UIImage> swatch(CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    UIGraphicsGetCurrentContext()->setFillColor(UIColor::whiteColor());
    UIGraphicsGetCurrentContext()->fillRect(CGRect(CGPoint{}, size));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

class IntroductionPanelBuild : public ::testing::Test {
protected:
    void SetUp() override { testing::restoreDefaultDevice(); }
};

TEST_F(IntroductionPanelBuild, HeaderTitleSeparatorDescriptionAndImageStackFromTheTop) {
    auto header = std::make_shared<UIView>(CGRect(0, 0, 100, 40));
    const auto shared = std::make_shared<IntroductionPanel>(
        CGRect(0, 0, 375, 667), "Focus", "Work in short sessions.", swatch({50, 50}), header);
    const IntroductionPanel& panel = *shared;

    EXPECT_EQ(header->frame(), CGRect(137.5, 30, 100, 40));
    const CGRect title = panel.PanelTitleLabel()->frame();
    EXPECT_EQ(title.origin, CGPointMake(10, 80));
    EXPECT_EQ(title.size.width, 355);
    EXPECT_EQ(title.size.height, std::ceil(title.size.height));
    EXPECT_GT(title.size.height, 24);
    EXPECT_EQ(panel.PanelSeparatorLine()->frame(), CGRect(10, title.maxY() + 15, 355, 1));
    const CGRect description = panel.PanelDescriptionLabel()->frame();
    EXPECT_EQ(description.origin.y, title.maxY() + 30);
    const CGFloat imageTop = title.maxY() + 10 + description.size.height + 10;
    EXPECT_EQ(panel.PanelImageView()->frame(), CGRect(10, imageTop, 355, 667 - imageTop - 48));
    EXPECT_EQ(panel.PanelImageView()->superview(), shared);
    EXPECT_EQ(panel.PanelTitleLabel()->alpha(), 0) << "the introduction fades the parts in";
}

TEST_F(IntroductionPanelBuild, WithoutImageOrHeaderTheTitleStartsAt30AndNoImageViewIsPlaced) {
    IntroductionPanel panel(CGRect(0, 0, 375, 667), "Focus", "Work.");
    EXPECT_EQ(panel.PanelTitleLabel()->frame().origin.y, 30);
    EXPECT_FALSE(panel.PanelImageView());
    EXPECT_EQ(panel.subviews().size(), 3u) << "title, separator, description";
}

TEST_F(IntroductionPanelBuild, SmallestPhonesTakeTheSmallerDescription) {
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhone4s"));
    IntroductionPanel small(CGRect(0, 0, 320, 480), "Focus", "Work.");
    EXPECT_EQ(small.PanelDescriptionLabel()->font()->pointSize(), 16);
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhoneSE"));
    IntroductionPanel se(CGRect(0, 0, 320, 568), "Focus", "Work.");
    EXPECT_EQ(se.PanelDescriptionLabel()->font()->pointSize(), 20);
}

class NibPanel : public IntroductionPanel {
public:
    NibPanel() : IntroductionPanel(CGRect(0, 0, 10, 10)) {}
};

TEST_F(IntroductionPanelBuild, NibPanelIsTheNibsFirstObjectAsACustomPanel) {
    UINib::registerNib("WelcomePanel",
                       [](UINibBuilder& nib) { nib.addTopLevel(std::make_shared<NibPanel>()); });
    const auto panel = IntroductionPanel::initWithFrame(CGRect(0, 0, 375, 667), "WelcomePanel");
    ASSERT_TRUE(std::dynamic_pointer_cast<NibPanel>(panel));
    EXPECT_EQ(panel->frame(), CGRect(0, 0, 375, 667));
    EXPECT_TRUE(panel->isCustomPanel());
    EXPECT_FALSE(panel->hasCustomAnimation());
    EXPECT_FALSE(IntroductionPanel::initWithFrame(CGRect(0, 0, 375, 667), "Missing"));
}

}  // namespace
}  // namespace quorvel
