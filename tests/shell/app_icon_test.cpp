#include <gtest/gtest.h>

#include "platform/uikit/drawing/ui_image.h"
#include "shell/app_icon.h"

using quorvel::shell::AppIcon;

TEST(AppIcon, ARedRoundedTileWithAWhiteRingThreeQuartersRoundFromTwelveOClock) {
    const auto icon = AppIcon::image(128);
    ASSERT_TRUE(icon);
    ASSERT_EQ(icon->pixelWidth(), 128);
    ASSERT_EQ(icon->pixelHeight(), 128);
    // The rounded corners are transparent; the tile's middle is red.
    EXPECT_EQ(icon->pixelAt(1, 1).a, 0);
    const auto middle = icon->pixelAt(64, 64);
    EXPECT_EQ(middle.a, 255);
    EXPECT_GT(middle.r, 200);
    EXPECT_LT(middle.g, 100);
    // The ring is 40 pixels from the middle: full white from twelve o'clock clockwise through nine
    // o'clock, faint between nine and twelve where the time has not run yet.
    const auto top = icon->pixelAt(64, 24), right = icon->pixelAt(104, 64), bottom = icon->pixelAt(64, 104),
               lowerLeft = icon->pixelAt(36, 92);
    for (const auto& p : {top, right, bottom, lowerLeft}) EXPECT_GT(p.g, 240);
    const auto upperLeft = icon->pixelAt(36, 36);
    EXPECT_LT(upperLeft.g, 200);
    EXPECT_GT(upperLeft.g, 100);
}
