#include "platform/coregraphics/cg_gradient.h"

#include <gtest/gtest.h>

#include "platform/coregraphics/cg_bitmap_context.h"
#include "platform/coregraphics/cg_image.h"

using namespace platform;

TEST(LinearGradient, BlendsBetweenStopsWithinTheClipAndHoldsTheEndColoursBeyond) {
    auto context = CGBitmapContext::create({100, 10}, false, 1);
    ASSERT_TRUE(context);
    auto gradient = CGGradient::withColors({CGColorCreateGenericRGB(1, 0, 0, 1), CGColorCreateGenericRGB(0, 0, 1, 1)});
    ASSERT_TRUE(gradient);
    EXPECT_EQ(gradient->stops()[1].location, 1);
    context->saveGState();
    context->clipToRect(CGRect(0, 0, 90, 10));
    CGContextDrawLinearGradient(*context, *gradient, {20, 0}, {80, 0});
    context->restoreGState();
    const auto image = context->makeImage();

    EXPECT_EQ(image->pixelAt(5, 5), (CGImage::Pixel{255, 0, 0, 255})) << "the first colour before the start";
    const auto middle = image->pixelAt(50, 5);
    EXPECT_NEAR(middle.r, 128, 3);
    EXPECT_NEAR(middle.b, 128, 3);
    EXPECT_EQ(image->pixelAt(85, 5), (CGImage::Pixel{0, 0, 255, 255})) << "the last colour after the end";
    EXPECT_EQ(image->pixelAt(95, 5).a, 0) << "nothing outside the clip";
}

TEST(LinearGradient, RefusesMismatchedLocationsAndMissingColours) {
    const auto red = CGColorCreateGenericRGB(1, 0, 0, 1);
    EXPECT_FALSE(CGGradient::withColors({}));
    EXPECT_FALSE(CGGradient::withColors({red, red}, {0}));
    EXPECT_FALSE(CGGradient::withColors({red, nullptr}));
    auto placed = CGGradient::withColors({red, red, red}, {0, 0.2, 1});
    ASSERT_TRUE(placed);
    EXPECT_DOUBLE_EQ(placed->stops()[1].location, 0.2);
}
