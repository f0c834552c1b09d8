#include <gtest/gtest.h>

#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ns_attributed_string.h"

namespace platform {
namespace {

// A red square with "W" drawn over it in the given blend mode, and the alpha of its most covered pixel.
int mostCoveredAlphaUnderText(CGBlendMode mode, std::shared_ptr<UIImage>* drawn = nullptr) {
    UIGraphicsBeginImageContextWithOptions({40, 40}, false, 1);
    CGContext* context = UIGraphicsGetCurrentContext();
    context->setFillColor(UIColor::redColor());
    context->fillRect(CGRectMake(0, 0, 40, 40));
    context->saveGState();
    context->setBlendMode(mode);
    NSAttributedString("W", {UIFont::boldSystemFontOfSize(30), UIColor::blackColor()}).drawAtPoint({4, 2});
    context->restoreGState();
    context->fillRect(CGRectMake(0, 38, 40, 2));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    int lowest = 255;
    for (int y = 0; y < 38; ++y) {
        for (int x = 0; x < 40; ++x) lowest = std::min(lowest, int(image->pixelAt(x, y).a));
    }
    if (drawn) *drawn = image;
    return lowest;
}

TEST(TextBlendMode, ClearModeCutsTheGlyphsOutOfWhatLiesBeneath) {
    EXPECT_EQ(mostCoveredAlphaUnderText(CGBlendMode::normal), 255) << "normal text paints over the fill";
    std::shared_ptr<UIImage> image;
    EXPECT_EQ(mostCoveredAlphaUnderText(CGBlendMode::clear, &image), 0) << "cleared text leaves holes";
    EXPECT_EQ(image->pixelAt(1, 39), (UIImage::Pixel{255, 0, 0, 255}))
        << "restoring the state ends the clear mode for later fills";
}

}  // namespace
}  // namespace platform
