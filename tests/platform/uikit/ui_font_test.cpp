#include "platform/uikit/text/ui_font.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(UIFontNames, TheAppsNamesMapToInstalledFreeFaces) {
    const auto medium = UIFont::fontWithName("SFProDisplay-Medium", 20);
    ASSERT_TRUE(medium);
    EXPECT_EQ(medium->familyName(), "Inter");
    for (const char* name :
         {"HelveticaNeue-Light", "HelveticaNeue-UltraLight", "Helvetica-Light", "HelveticaNeue"}) {
        const auto font = UIFont::fontWithName(name, 18);
        ASSERT_TRUE(font) << name;
        EXPECT_EQ(font->familyName(), "Liberation Sans") << name;
    }
    EXPECT_EQ(UIFont::systemFontOfSize(14)->familyName(), "Inter");
}

TEST(UIFontNames, UnknownNamesAndSizesGiveNoFont) {
    EXPECT_FALSE(UIFont::fontWithName("Futura-Bold", 12));
    EXPECT_FALSE(UIFont::fontWithName("SFProDisplay-Wobbly", 12));
    EXPECT_FALSE(UIFont::fontWithName("", 12));
    EXPECT_FALSE(UIFont::fontWithName("SFProDisplay-Light", 0));
}

TEST(UIFontMetrics, LineHeightScalesWithThePointSize) {
    const auto small = UIFont::systemFontOfSize(10);
    const auto large = small->fontWithSize(30);
    EXPECT_EQ(large->familyName(), small->familyName());
    EXPECT_GT(small->ascender(), 0);
    EXPECT_LT(small->descender(), 0);
    EXPECT_GT(small->lineHeight(), 10);
    EXPECT_LT(small->lineHeight(), 15);
    EXPECT_NEAR(large->lineHeight(), 3 * small->lineHeight(), 0.01) << "72 dpi, unhinted";
}

}  // namespace
}  // namespace platform
