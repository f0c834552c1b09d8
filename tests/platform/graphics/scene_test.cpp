#include <gtest/gtest.h>

#include <filesystem>
#include <numbers>

#include "platform/graphics/layer_renderer.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/ns_attributed_string.h"
#include "platform/uikit/ui_bezier_path.h"
#include "platform/uikit/ui_button.h"
#include "platform/uikit/ui_graphics.h"
#include "platform/uikit/ui_image_view.h"
#include "platform/uikit/ui_label.h"

namespace platform {
namespace {

// The play glyph of the app's icon font, white, in a 32-point square.
std::shared_ptr<UIImage> playIcon() {
    UIGraphicsBeginImageContextWithOptions({32, 32}, false, 0);
    NSAttributedString("\uF215", {UIFont::fontWithName("qvicons", 32), UIColor::whiteColor()})
        .drawInRect(CGRectMake(0, 0, 32, 32));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

std::shared_ptr<UIImage> gradientSwatch() {
    UIGraphicsBeginImageContextWithOptions({40, 40}, false, 0);
    CGContext* context = UIGraphicsGetCurrentContext();
    for (int i = 0; i < 4; ++i) {
        context->setFillColor(UIColor::colorWithHue(i / 4.0, 0.7, 0.9, 1));
        context->fillEllipseInRect(CGRectMake(i * 6, i * 6, 40 - i * 12, 40 - i * 12));
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// Labels, buttons, an image, a rotated layer and a perspective layer, written as a PNG for a person to
// look at.
TEST(LayerRendererScene, WritesASmallSceneAsPNG) {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, 320, 400));
    root->setBackgroundColor(UIColor::colorWithRed(1, 64 / 255.0, 64 / 255.0, 1));

    auto title = std::make_shared<UILabel>(CGRectMake(20, 20, 280, 40));
    title->setText("Focus Session");
    title->setFont(UIFont::fontWithName("SFProDisplay-Medium", 30));
    title->setTextColor(UIColor::whiteColor());
    title->setTextAlignment(NSTextAlignment::center);
    root->addSubview(title);

    auto body = std::make_shared<UILabel>(CGRectMake(20, 64, 280, 60));
    body->setNumberOfLines(0);
    body->setFont(UIFont::fontWithName("HelveticaNeue-Light", 15));
    body->setTextColor(UIColor::colorWithWhite(1, 0.85));
    body->setText("Twenty-five minutes of work, then a short break. Every fourth break is a long one.");
    root->addSubview(body);

    auto play = UIButton::buttonWithType(UIButtonType::custom);
    play->setFrame(CGRectMake(120, 140, 80, 80));
    play->setImage(playIcon(), UIControlStateNormal);
    play->layer()->setCornerRadius(40);
    play->layer()->setBorderWidth(2);
    play->layer()->setBorderColor(UIColor::whiteColor());
    play->layer()->setShadowOpacity(0.4);
    play->layer()->setShadowRadius(6);
    play->layer()->setShadowOffset({0, 4});
    play->layer()->setShadowPath(UIBezierPath::bezierPathWithOvalInRect(CGRectMake(0, 0, 80, 80))->CGPath());
    root->addSubview(play);

    auto ringLayer = CAShapeLayer::layer();
    ringLayer->setFrame(CGRectMake(110, 130, 100, 100));
    ringLayer->setPath(UIBezierPath::bezierPathWithArcCenter({50, 50}, 48, -std::numbers::pi / 2,
                                                             3 * std::numbers::pi / 2, true)
                           ->CGPath());
    ringLayer->setFillColor(nullptr);
    ringLayer->setStrokeColor(UIColor::whiteColor());
    ringLayer->setLineWidth(2);
    ringLayer->setStrokeEnd(0.65);
    root->layer()->addSublayer(ringLayer);

    auto skip = UIButton::buttonWithType(UIButtonType::system);
    skip->setTitle("Skip", UIControlStateNormal);
    skip->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    skip->setBackgroundImage(std::make_shared<UIImage>(*gradientSwatch()), UIControlStateNormal);
    skip->setFrame(CGRectMake(20, 250, 120, 44));
    root->addSubview(skip);

    auto picture = std::make_shared<UIImageView>(gradientSwatch());
    picture->setFrame(CGRectMake(180, 250, 120, 44));
    picture->setContentMode(UIViewContentMode::scaleAspectFit);
    picture->setBackgroundColor(UIColor::colorWithWhite(0, 0.2));
    root->addSubview(picture);

    auto rotated = CALayer::layer();
    rotated->setFrame(CGRectMake(40, 320, 60, 40));
    rotated->setBackgroundColor(UIColor::colorWithRed(106 / 255.0, 130 / 255.0, 238 / 255.0, 1));
    rotated->setCornerRadius(6);
    rotated->setAffineTransform(CGAffineTransform::makeRotation(0.4));
    root->layer()->addSublayer(rotated);

    auto card = CALayer::layer();
    card->setFrame(CGRectMake(170, 310, 100, 60));
    card->setBackgroundColor(UIColor::colorWithRed(54 / 255.0, 62 / 255.0, 71 / 255.0, 1));
    card->setBorderWidth(2);
    card->setBorderColor(UIColor::whiteColor());
    CATransform3D perspective;
    perspective.m34 = -1.0 / 300;
    card->setTransform(CATransform3D::makeRotation(0.8, 0, 1, 0).concat(perspective));
    root->layer()->addSublayer(card);

    const std::filesystem::path out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "scene.png";
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*root, out, 2));
    const auto written = UIImage::imageWithContentsOfFile(out);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->pixelWidth(), 640);
    EXPECT_EQ(written->pixelHeight(), 800);
}

}  // namespace
}  // namespace platform
