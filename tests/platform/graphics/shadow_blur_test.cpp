#include "platform/graphics/shadow_blur.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace platform {
namespace {

long alphaSum(cairo_surface_t* s) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    long sum = 0;
    for (int y = 0; y < cairo_image_surface_get_height(s); ++y) {
        for (int x = 0; x < cairo_image_surface_get_width(s); ++x)
            sum += data[y * cairo_image_surface_get_stride(s) + x];
    }
    return sum;
}

TEST(ShadowBlurBoxes, ThreeOddBoxesMatchTheGaussianVariance) {
    for (double sigma : {1.0, 2.5, 6.0, 20.0}) {
        const auto widths = ShadowBlur::boxWidths(sigma);
        ASSERT_EQ(widths.size(), 3u);
        double variance = 0;
        for (int w : widths) {
            EXPECT_EQ(w % 2, 1);
            variance += (w * w - 1) / 12.0;
        }
        EXPECT_NEAR(variance, sigma * sigma, sigma * sigma * 0.15 + 0.5) << sigma;
    }
}

TEST(ShadowBlurBoxes, NonsenseRadiiGiveBoxesThatFit) {
    EXPECT_EQ(ShadowBlur::boxWidths(NAN), (std::vector<int>{1, 1, 1}));
    for (double sigma : {1e12, double(INFINITY)}) {
        for (int w : ShadowBlur::boxWidths(sigma)) {
            EXPECT_GT(w, 1) << sigma;
            EXPECT_EQ(w % 2, 1) << sigma;
        }
    }
    cairo_surface_t* a8 = cairo_image_surface_create(CAIRO_FORMAT_A8, 4, 4);
    ShadowBlur::blur(a8, INFINITY);
    cairo_surface_destroy(a8);
}

TEST(ShadowBlurMasks, BlurSpreadsTheShapeAndKeepsItsWeight) {
    CGPath square;
    square.addRect(CGRectMake(0, 0, 20, 20));
    auto& blur = ShadowBlur::shared();
    blur.clear();
    const auto& mask = blur.maskForPath(square, 6, 1);
    EXPECT_EQ(mask.scale, 1);
    // The mask reaches beyond the shape, and its total alpha is close to the square's.
    EXPECT_LT(mask.origin.x, -6);
    EXPECT_NEAR(alphaSum(mask.surface), 255L * 400, 255L * 400 * 0.03);
    // A finer device gets the same shadow enlarged: the same weight per point.
    const auto& fine = blur.maskForPath(square, 6, 3);
    EXPECT_EQ(fine.scale, 3);
    EXPECT_NEAR(alphaSum(fine.surface), 9 * 255L * 400, 9 * 255L * 400 * 0.05);
    const unsigned char* data = cairo_image_surface_get_data(mask.surface);
    const int stride = cairo_image_surface_get_stride(mask.surface);
    const int inside = static_cast<int>(-mask.origin.x) + 10;
    const int corner = static_cast<int>(-mask.origin.x);
    EXPECT_GT(data[inside * stride + inside], 200);
    EXPECT_LT(data[corner * stride + corner], 100) << "the corner is soft";
}

TEST(ShadowBlurMasks, SameShapeComesFromTheCache) {
    auto& blur = ShadowBlur::shared();
    blur.clear();
    CGPath a;
    a.addRoundedRect(CGRectMake(0, 0, 50, 30), 8, 8);
    const auto* first = blur.maskForPath(a, 3, 2).surface;
    EXPECT_EQ(blur.maskForPath(a, 3, 2).surface, first);
    EXPECT_EQ(blur.cachedMasks(), 1u);
    blur.maskForPath(a, 3, 3);
    EXPECT_EQ(blur.cachedMasks(), 2u) << "another scale is another mask";

    auto draw = [](double width) {
        return [width](cairo_t* cr) {
            cairo_rectangle(cr, 0, 0, width, 10);
            cairo_fill(cr);
        };
    };
    const auto* drawn = blur.maskForDrawing(CGRectMake(0, 0, 40, 10), 4, 2, draw(20)).surface;
    EXPECT_EQ(blur.maskForDrawing(CGRectMake(0, 0, 40, 10), 4, 2, draw(20)).surface, drawn)
        << "the same pixels drawn again";
    EXPECT_NE(blur.maskForDrawing(CGRectMake(0, 0, 40, 10), 4, 2, draw(30)).surface, drawn);
    EXPECT_EQ(blur.cachedMasks(), 4u);
}

TEST(ShadowBlurMasks, AnOwnerWithAnUnchangedStampIsNotDrawnAgain) {
    auto& blur = ShadowBlur::shared();
    blur.clear();
    int drawings = 0;
    auto draw = [&drawings](cairo_t* cr) {
        ++drawings;
        cairo_rectangle(cr, 0, 0, 20, 10);
        cairo_fill(cr);
    };
    const int owner = 0;
    const CGRect area = CGRectMake(0, 0, 40, 10);
    const auto* first = blur.maskForDrawing(area, 4, 2, draw, &owner, 7).surface;
    EXPECT_EQ(blur.maskForDrawing(area, 4, 2, draw, &owner, 7).surface, first);
    EXPECT_EQ(drawings, 1);
    // A new stamp, area or scale draws again (the same pixels still find the same mask).
    EXPECT_EQ(blur.maskForDrawing(area, 4, 2, draw, &owner, 8).surface, first);
    blur.maskForDrawing(area, 4, 3, draw, &owner, 8);
    EXPECT_EQ(drawings, 3);
    // Clearing the cache forgets what owners drew: nothing points at a freed mask.
    blur.clear();
    EXPECT_TRUE(blur.maskForDrawing(area, 4, 2, draw, &owner, 8).surface);
    EXPECT_EQ(drawings, 4);
}

}  // namespace
}  // namespace platform
