#include "platform/uikit/drawing/ui_image_view.h"

#include <gtest/gtest.h>

#include "tests/platform/uikit/swatch.h"

namespace platform {
namespace {

using quorvel::testing::swatch;

TEST(UIImageViewPlacement, ContentModesPlaceTheImage) {
    const CGRect bounds = CGRectMake(0, 0, 100, 50);
    const CGSize image{20, 10};
    EXPECT_EQ(UIImageView::placeImage(image, bounds, UIViewContentMode::scaleToFill), bounds);
    EXPECT_EQ(UIImageView::placeImage(image, bounds, UIViewContentMode::scaleAspectFit),
              CGRectMake(0, 0, 100, 50));
    EXPECT_EQ(UIImageView::placeImage({10, 10}, bounds, UIViewContentMode::scaleAspectFit),
              CGRectMake(25, 0, 50, 50));
    EXPECT_EQ(UIImageView::placeImage({10, 10}, bounds, UIViewContentMode::scaleAspectFill),
              CGRectMake(0, -25, 100, 100));
    EXPECT_EQ(UIImageView::placeImage(image, bounds, UIViewContentMode::center), CGRectMake(40, 20, 20, 10));
    EXPECT_EQ(UIImageView::placeImage(image, bounds, UIViewContentMode::bottomRight),
              CGRectMake(80, 40, 20, 10));
}

TEST(UIImageViewDrawing, IntrinsicSizeHighlightAndTemplateTint) {
    const auto red = swatch({4, 4}, UIColor::redColor());
    auto view = std::make_shared<UIImageView>(red, swatch({2, 2}, UIColor::blueColor()));
    EXPECT_EQ(view->intrinsicContentSize(), CGSizeMake(4, 4));
    EXPECT_EQ(view->bounds().size, CGSizeMake(4, 4)) << "the image's size, not the highlighted one's";

    auto draw = [&] {
        UIGraphicsBeginImageContextWithOptions({4, 4}, false, 1);
        view->drawRect(view->bounds());
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image->pixelAt(2, 2);
    };
    EXPECT_EQ(draw(), (UIImage::Pixel{255, 0, 0, 255}));
    view->setHighlighted(true);
    EXPECT_EQ(draw(), (UIImage::Pixel{0, 0, 255, 255}));
    view->setHighlighted(false);
    view->setImage(red->imageWithRenderingMode(UIImageRenderingMode::alwaysTemplate));
    view->setTintColor(UIColor::greenColor());
    EXPECT_EQ(draw(), (UIImage::Pixel{0, 255, 0, 255}));
}

}  // namespace
}  // namespace platform
