#include "app/core/theme_colors.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(ThemeColorImages, TranslucentSwatchesAreOnePointImagesMadeOnce) {
    const auto& white = translucentWhiteImage();
    const auto& black = translucentBlackImage();
    ASSERT_TRUE(white && black);
    EXPECT_EQ(white->size(), platform::CGSizeMake(1, 1));
    EXPECT_EQ(white.get(), translucentWhiteImage().get());
    const auto w = white->pixelAt(0, 0);
    EXPECT_NEAR(w.a, 0.18 * 255, 1);
    EXPECT_NEAR(w.r, 250, 3);
    EXPECT_EQ(w.r, w.b);
    const auto b = black->pixelAt(0, 0);
    EXPECT_NEAR(b.a, 0.8 * 255, 1);
    EXPECT_EQ(b.r, 0);
}

}  // namespace
}  // namespace quorvel
