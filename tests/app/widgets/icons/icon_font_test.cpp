#include "app/widgets/icons/icon_font.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_graphics.h"

namespace quorvel {
namespace {

using platform::UIColor;
using platform::UIImage;

const char* const kPlay = "\uF215";
const char* const kPause = "\uF210";

struct Ink {
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
    UIImage::Pixel strongest;
};

Ink inkOf(const UIImage& image) {
    Ink ink;
    for (int y = 0; y < image.pixelHeight(); ++y) {
        for (int x = 0; x < image.pixelWidth(); ++x) {
            const auto p = image.pixelAt(x, y);
            if (p.a == 0) continue;
            ink.minX = std::min(ink.minX, x);
            ink.maxX = std::max(ink.maxX, x);
            ink.minY = std::min(ink.minY, y);
            ink.maxY = std::max(ink.maxY, y);
            if (p.a > ink.strongest.a) ink.strongest = p;
        }
    }
    return ink;
}

class IconFontTest : public ::testing::Test {
protected:
    void SetUp() override { platform::DeviceProfile::setCurrent(*platform::DeviceProfile::named("iPhone8")); }
};

TEST_F(IconFontTest, ImageOfSize32IsSquareAtTheScreenScaleWithTheGlyphCentred) {
    ASSERT_EQ(platform::UIScreen::mainScreen().scale(), 2);
    for (const char* icon : {kPlay, kPause}) {
        const auto image = IconFont::imageWithIcon(icon, 32, UIColor::whiteColor());
        ASSERT_TRUE(image);
        EXPECT_EQ(image->size(), platform::CGSizeMake(32, 32));
        EXPECT_EQ(image->scale(), 2);
        EXPECT_EQ(image->renderingMode(), platform::UIImageRenderingMode::alwaysOriginal);
        const Ink ink = inkOf(*image);
        ASSERT_GE(ink.maxX, 0) << "the glyph is drawn";
        EXPECT_NEAR((ink.minX + ink.maxX + 1) / 2.0, 32, 1.5);
        EXPECT_NEAR((ink.minY + ink.maxY + 1) / 2.0, 32, 1.5);
        EXPECT_GT(ink.maxX - ink.minX, 20) << "a glyph of the icon font, not a fallback box";
        EXPECT_EQ(ink.strongest, (UIImage::Pixel{255, 255, 255, 255}));
    }
}

TEST_F(IconFontTest, ImageWithoutColourIsBlackAndImageSizeMayDifferFromTheIcon) {
    const auto image = IconFont::imageWithIcon(kPause, nullptr, 16, {40, 24});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), platform::CGSizeMake(40, 24));
    const Ink ink = inkOf(*image);
    EXPECT_EQ(ink.strongest, (UIImage::Pixel{0, 0, 0, 255}));
    EXPECT_NEAR((ink.minX + ink.maxX + 1) / 2.0, 40, 1.5);
    EXPECT_NEAR((ink.minY + ink.maxY + 1) / 2.0, 24, 1.5);
}

TEST_F(IconFontTest, LabelIsClearHidesItsAccessibilityAndFitsOneGlyph) {
    const auto font = IconFont::fontWithSize(32);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->familyName(), "qvicons");
    const auto label = IconFont::labelWithIcon(kPlay, 32, UIColor::redColor());
    EXPECT_EQ(label->font()->fontName(), "qvicons");
    EXPECT_TRUE(label->backgroundColor()->isEqual(UIColor::clearColor()));
    EXPECT_TRUE(label->accessibilityElementsHidden());
    // One em wide, one line high: the font's box is a 32-point square.
    EXPECT_EQ(label->bounds().size, platform::CGSizeMake(32, 32));
}

TEST_F(IconFontTest, SetIconWithoutSizingKeepsTheFrame) {
    auto label = std::make_shared<platform::UILabel>(platform::CGRectMake(0, 0, 100, 10));
    IconFont::labelSetIcon(label, kPause, 16, UIColor::blackColor(), false);
    EXPECT_EQ(label->bounds().size, platform::CGSizeMake(100, 10));
    EXPECT_EQ(label->font()->pointSize(), 16);
}

TEST_F(IconFontTest, ImageWithoutPixelsIsNoneAndDrawsNothingIntoTheCallersContext) {
    platform::UIGraphicsBeginImageContextWithOptions({8, 8}, false, 1);
    platform::CGContext* outer = platform::UIGraphicsGetCurrentContext();
    EXPECT_FALSE(IconFont::imageWithIcon(kPlay, UIColor::blackColor(), 16, {0, 0}));
    EXPECT_EQ(platform::UIGraphicsGetCurrentContext(), outer);
    EXPECT_LT(inkOf(*platform::UIGraphicsGetImageFromCurrentImageContext()).maxX, 0);
    platform::UIGraphicsEndImageContext();
}

}  // namespace
}  // namespace quorvel
