#include "app/core/color_image.h"

#include <gtest/gtest.h>

#include "platform/foundation/ns_bundle.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "tests/support/temp_data_root.h"

namespace quorvel {
namespace {

using namespace platform;
using Pixel = UIImage::Pixel;

void expectNear(Pixel p, Pixel q, int tolerance = 2) {
    EXPECT_NEAR(p.r, q.r, tolerance);
    EXPECT_NEAR(p.g, q.g, tolerance);
    EXPECT_NEAR(p.b, q.b, tolerance);
    EXPECT_NEAR(p.a, q.a, tolerance);
}

TEST(ColorImageSwatches, HalfTransparentColourFillsOnePointAndStretchesOverAnyArea) {
    const auto image = ColorImage::imageWithColor(UIColor::colorWithRed(1, 0.5, 0, 0.5));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), CGSizeMake(1, 1));
    EXPECT_EQ(image->scale(), 1);
    expectNear(image->pixelAt(0, 0), {255, 128, 0, 128});

    UIGraphicsBeginImageContextWithOptions({10, 6}, false, 1);
    image->drawInRect(CGRectMake(0, 0, 10, 6));
    const auto stretched = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) expectNear(stretched->pixelAt(x, y), {255, 128, 0, 128});
    }
}

TEST(ColorImageSwatches, RectangleGivesOnlyItsSizeAndRoundSwatchIsAnEllipse) {
    const auto image = ColorImage::imageWithCGColor(UIColor::blueColor(), CGRectMake(5, 5, 3, 2));
    EXPECT_EQ(image->size(), CGSizeMake(3, 2));
    expectNear(image->pixelAt(2, 1), {0, 0, 255, 255});

    const auto round = ColorImage::imageWithColorRounded(UIColor::blackColor());
    EXPECT_EQ(round->size(), CGSizeMake(1, 1));
    EXPECT_NEAR(round->pixelAt(0, 0).a, 200, 30) << "about π/4 of the pixel, as antialiasing estimates it";
}

class ColorImageNamed : public ::testing::Test {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(root_.path());
        // A 4 × 4 icon: a transparent left half, an opaque top right and a half-transparent bottom right.
        UIGraphicsBeginImageContextWithOptions({4, 4}, false, 1);
        CGContext* context = UIGraphicsGetCurrentContext();
        context->setFillColor(UIColor::greenColor());
        context->fillRect(CGRectMake(2, 0, 2, 2));
        context->setFillColor(UIColor::colorWithRed(0, 1, 0, 0.5));
        context->fillRect(CGRectMake(2, 2, 2, 2));
        ASSERT_TRUE(UIGraphicsGetImageFromCurrentImageContext()->writePNG(root_.path() / "icon.png"));
        UIGraphicsEndImageContext();
    }
    void TearDown() override { NSBundle::setMainBundlePath({}); }

    quorvel::testing::TempDataRoot root_;
};

TEST_F(ColorImageNamed, OverlayPaintsVisiblePixelsAndKeepsTheAlpha) {
    const auto tinted = ColorImage::imageNamed("icon", UIColor::redColor());
    ASSERT_TRUE(tinted);
    EXPECT_EQ(tinted->size(), CGSizeMake(4, 4));
    EXPECT_EQ(tinted->pixelAt(0, 0).a, 0);
    EXPECT_EQ(tinted->pixelAt(1, 3).a, 0);
    expectNear(tinted->pixelAt(3, 0), {255, 0, 0, 255});
    expectNear(tinted->pixelAt(3, 3), {255, 0, 0, 128});
    EXPECT_FALSE(ColorImage::imageNamed("missing", UIColor::redColor()));
}

TEST(ColorImageResize, StretchesToAnotherAspectWithoutCropping) {
    UIGraphicsBeginImageContextWithOptions({4, 2}, false, 2);
    CGContext* context = UIGraphicsGetCurrentContext();
    context->setFillColor(UIColor::redColor());
    context->fillRect(CGRectMake(0, 0, 2, 2));
    context->setFillColor(UIColor::blueColor());
    context->fillRect(CGRectMake(2, 0, 2, 2));
    const auto wide = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();

    const auto tall = ColorImage::resize(*wide, {2, 8});
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->size(), CGSizeMake(2, 8));
    EXPECT_EQ(tall->scale(), 2);
    for (int y : {0, 8, 15}) {
        expectNear(tall->pixelAt(0, y), {255, 0, 0, 255}, 3);
        expectNear(tall->pixelAt(3, y), {0, 0, 255, 255}, 3);
    }
}

TEST(ColorImageEmpty, SizeWithoutPixelsGivesNoImageAndLeavesTheCallersContextAlone) {
    UIGraphicsBeginImageContextWithOptions({2, 2}, false, 1);
    CGContext* outer = UIGraphicsGetCurrentContext();
    const auto swatch = UIGraphicsGetImageFromCurrentImageContext();
    EXPECT_FALSE(ColorImage::imageWithCGColor(UIColor::redColor(), CGRectMake(0, 0, 0, 5)));
    EXPECT_FALSE(ColorImage::resize(*swatch, {3, 0}));
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer) << "the caller's context stays open";
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext()->pixelAt(1, 1).a, 0) << "and undrawn";
    UIGraphicsEndImageContext();
}

}  // namespace
}  // namespace quorvel
