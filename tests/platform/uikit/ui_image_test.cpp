#include "platform/uikit/drawing/ui_image.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/foundation/ns_bundle.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "tests/support/temp_data_root.h"

namespace platform {
namespace {

using Pixel = UIImage::Pixel;

// A square with a red frame one point wide round a blue middle.
std::shared_ptr<UIImage> framedSquare(CGFloat side, CGFloat scale) {
    UIGraphicsBeginImageContextWithOptions({side, side}, false, scale);
    CGContext* context = UIGraphicsGetCurrentContext();
    context->setFillColor(UIColor::redColor());
    context->fillRect(CGRectMake(0, 0, side, side));
    context->setFillColor(UIColor::blueColor());
    context->fillRect(CGRectMake(1, 1, side - 2, side - 2));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

class UIImageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8"));
        NSBundle::setMainBundlePath(root_.path());
    }
    void TearDown() override { NSBundle::setMainBundlePath({}); }
    quorvel::testing::TempDataRoot root_;
};

TEST_F(UIImageFiles, PNGRoundTripKeepsPixelsAndReadsTheScaleFromTheName) {
    const auto image = framedSquare(3, 2);
    ASSERT_TRUE(image->writePNG(root_.path() / "frame@2x.png"));
    const auto read = UIImage::imageWithContentsOfFile(root_.path() / "frame@2x.png");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->scale(), 2);
    EXPECT_EQ(read->size(), CGSizeMake(3, 3));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) EXPECT_EQ(read->pixelAt(x, y), image->pixelAt(x, y));
    }
}

TEST_F(UIImageFiles, NamedImagesPreferTheScreenScaleAndMissingOrBrokenOnesAreNone) {
    framedSquare(4, 1)->writePNG(root_.path() / "focus.png");
    std::filesystem::create_directories(root_.path() / "images");
    framedSquare(4, 2)->writePNG(root_.path() / "images" / "chart@2x.png");
    std::ofstream(root_.path() / "setting.png") << "not a picture";

    const auto focus = UIImage::imageNamed("focus");
    ASSERT_TRUE(focus);
    EXPECT_EQ(focus->scale(), 1);
    framedSquare(4, 2)->writePNG(root_.path() / "focus@2x.png");
    EXPECT_EQ(UIImage::imageNamed("focus")->scale(), 2);
    const auto chart = UIImage::imageNamed("chart");
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->size(), CGSizeMake(4, 4));
    EXPECT_FALSE(UIImage::imageNamed("setting"));
    EXPECT_FALSE(UIImage::imageNamed("HandGestures_Swipe"));
    EXPECT_FALSE(UIImage::imageNamed(""));
    framedSquare(4, 1)->writePNG(root_.path().parent_path() / "outside.png");
    EXPECT_FALSE(UIImage::imageNamed("../outside")) << "names never leave the bundle";
    std::filesystem::remove(root_.path().parent_path() / "outside.png");
}

TEST(UIImageDrawing, CapInsetsKeepTheCapsAndStretchTheMiddle) {
    const auto plain = framedSquare(3, 1);
    const auto capped = plain->resizableImageWithCapInsets(UIEdgeInsetsMake(1, 1, 1, 1));
    EXPECT_EQ(capped->capInsets(), UIEdgeInsetsMake(1, 1, 1, 1));
    EXPECT_EQ(capped->surface(), plain->surface()) << "the copy shares the pixels";
    EXPECT_EQ(plain->capInsets(), UIEdgeInsets::zero());

    UIGraphicsBeginImageContextWithOptions({12, 12}, false, 1);
    capped->drawInRect(CGRectMake(0, 0, 12, 12));
    const auto drawn = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    const Pixel red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    EXPECT_EQ(drawn->pixelAt(0, 0), red);
    EXPECT_EQ(drawn->pixelAt(0, 6), red);
    EXPECT_EQ(drawn->pixelAt(11, 11), red);
    EXPECT_EQ(drawn->pixelAt(1, 1), blue) << "the frame stays one point wide";
    EXPECT_EQ(drawn->pixelAt(6, 6), blue);
    EXPECT_EQ(drawn->pixelAt(10, 10), blue);
}

}  // namespace
}  // namespace platform
