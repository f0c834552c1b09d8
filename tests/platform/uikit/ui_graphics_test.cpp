#include "platform/uikit/drawing/ui_graphics.h"

#include <gtest/gtest.h>

#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"

namespace platform {
namespace {

using Pixel = UIImage::Pixel;

class ImageContextTest : public ::testing::Test {
protected:
    void SetUp() override { DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8")); }
    void TearDown() override {
        while (UIGraphicsGetCurrentContext()) UIGraphicsEndImageContext();
    }

    static std::shared_ptr<UIImage> take() {
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    }
};

TEST_F(ImageContextTest, SizeScaleAndOpacityShapeTheBitmap) {
    UIGraphicsBeginImageContextWithOptions({10, 5}, false, 0);
    auto image = take();
    EXPECT_EQ(image->scale(), 2) << "scale 0 is the screen's";
    EXPECT_EQ(image->pixelWidth(), 20);
    EXPECT_EQ(image->size(), CGSizeMake(10, 5));
    EXPECT_EQ(image->pixelAt(3, 3).a, 0);

    UIGraphicsBeginImageContextWithOptions({2, 2}, true, 1);
    EXPECT_EQ(take()->pixelAt(1, 1).a, 255) << "an opaque bitmap has no transparency";

    for (CGSize size : {CGSizeMake(0, 4), CGSizeMake(NAN, 4), CGSizeMake(-3, 4), CGSizeMake(1e6, 1)}) {
        UIGraphicsBeginImageContextWithOptions(size, false, 1);
        EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr) << "no pixels or too many, no context";
    }
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);
}

TEST_F(ImageContextTest, ContextsNestAndImagesAreSnapshots) {
    UIGraphicsBeginImageContextWithOptions({4, 4}, false, 1);
    CGContext* outer = UIGraphicsGetCurrentContext();
    UIGraphicsBeginImageContextWithOptions({2, 2}, false, 1);
    EXPECT_NE(UIGraphicsGetCurrentContext(), outer);
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);

    outer->setFillColor(UIColor::redColor());
    outer->fillRect(CGRectMake(0, 0, 4, 4));
    auto before = UIGraphicsGetImageFromCurrentImageContext();
    outer->clearRect(CGRectMake(0, 0, 4, 4));
    EXPECT_EQ(before->pixelAt(1, 1), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(take()->pixelAt(1, 1).a, 0);
}

TEST_F(ImageContextTest, BlendModesActOnlyWhereTheShapeIsDrawn) {
    UIGraphicsBeginImageContextWithOptions({10, 10}, false, 1);
    CGContext* context = UIGraphicsGetCurrentContext();
    context->setFillColor(UIColor::redColor());
    context->fillRect(CGRectMake(0, 0, 5, 10));
    context->setBlendMode(CGBlendMode::sourceIn);
    context->setFillColor(UIColor::blueColor());
    context->fillRect(CGRectMake(0, 0, 10, 10));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    EXPECT_EQ(image->pixelAt(2, 5), (Pixel{0, 0, 255, 255})) << "source-in paints what was there";
    EXPECT_EQ(image->pixelAt(7, 5).a, 0) << "and nothing where nothing was";

    context->setBlendMode(CGBlendMode::clear);
    context->fillRect(CGRectMake(0, 0, 2, 2));
    context->setBlendMode(CGBlendMode::normal);
    context->setFillColor(UIColor::colorWithWhite(1, 0.5));
    context->fillEllipseInRect(CGRectMake(6, 6, 4, 4));
    image = take();
    EXPECT_EQ(image->pixelAt(0, 0).a, 0);
    EXPECT_EQ(image->pixelAt(3, 3), (Pixel{0, 0, 255, 255}));
    EXPECT_NEAR(image->pixelAt(8, 8).a, 128, 1);
    EXPECT_LT(image->pixelAt(6, 6).a, 64) << "mostly outside the ellipse";
}

}  // namespace
}  // namespace platform
