#include "tests/support/scene_builder.h"

#include <functional>
#include <numbers>
#include <string>

#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/drawing/ui_bezier_path.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/text/ns_attributed_string.h"
#include "platform/uikit/text/ui_label.h"

using namespace platform;

namespace quorvel::testing {

namespace {

std::shared_ptr<UIImage> imageDrawnBy(CGSize size, CGFloat scale,
                                      const std::function<void(CGContext&)>& draw) {
    if (!UIGraphicsBeginImageContextWithOptions(size, false, scale)) return nullptr;
    draw(*UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// The play glyph of the app's icon font, white, in a 32-point square.
std::shared_ptr<UIImage> playIcon() {
    return imageDrawnBy({32, 32}, 0, [](CGContext&) {
        NSAttributedString("\uF215", {UIFont::fontWithName("qvicons", 32), UIColor::whiteColor()})
            .drawInRect(CGRectMake(0, 0, 32, 32));
    });
}

std::shared_ptr<UIImage> gradientSwatch() {
    return imageDrawnBy({40, 40}, 0, [](CGContext& context) {
        for (int i = 0; i < 4; ++i) {
            context.setFillColor(UIColor::colorWithHue(i / 4.0, 0.7, 0.9, 1));
            context.fillEllipseInRect(CGRectMake(i * 6, i * 6, 40 - i * 12, 40 - i * 12));
        }
    });
}

std::shared_ptr<UIImage> whiteDot() {
    return imageDrawnBy({24, 24}, 3, [](CGContext& context) {
        context.setFillColor(UIColor::whiteColor());
        context.fillEllipseInRect(CGRectMake(2, 2, 20, 20));
    });
}

std::shared_ptr<UIView> coralWindow(CGFloat width, CGFloat height) {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, width, height));
    root->setBackgroundColor(UIColor::colorWithRed(1, 64 / 255.0, 64 / 255.0, 1));
    return root;
}

// A white ring of width 2 round the middle of `frame`, drawn clockwise from twelve o'clock up to
// `strokeEnd`.
std::shared_ptr<CAShapeLayer> progressRing(const CGRect& frame, CGFloat radius, CGFloat strokeEnd) {
    auto ring = CAShapeLayer::layer();
    ring->setFrame(frame);
    ring->setPath(UIBezierPath::bezierPathWithArcCenter({frame.size.width / 2, frame.size.height / 2}, radius,
                                                        -std::numbers::pi / 2, 3 * std::numbers::pi / 2, true)
                      ->CGPath());
    ring->setFillColor(nullptr);
    ring->setStrokeColor(UIColor::whiteColor());
    ring->setLineWidth(2);
    ring->setStrokeEnd(strokeEnd);
    return ring;
}

std::shared_ptr<CALayer> rotatedLayer(const CGRect& frame, const CGColorRef& color) {
    auto rotated = CALayer::layer();
    rotated->setFrame(frame);
    rotated->setBackgroundColor(color);
    rotated->setAffineTransform(CGAffineTransform::makeRotation(0.4));
    return rotated;
}

// Turned about its vertical axis and seen in perspective.
std::shared_ptr<CALayer> perspectiveCard(const CGRect& frame, const CGColorRef& color) {
    auto card = CALayer::layer();
    card->setFrame(frame);
    card->setBackgroundColor(color);
    CATransform3D perspective;
    perspective.m34 = -1.0 / 300;
    card->setTransform(CATransform3D::makeRotation(0.8, 0, 1, 0).concat(perspective));
    return card;
}

}  // namespace

std::shared_ptr<UIView> SceneBuilder::showcase() {
    auto root = coralWindow(320, 400);

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

    root->layer()->addSublayer(progressRing(CGRectMake(110, 130, 100, 100), 48, 0.65));

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

    auto rotated = rotatedLayer(CGRectMake(40, 320, 60, 40),
                                UIColor::colorWithRed(106 / 255.0, 130 / 255.0, 238 / 255.0, 1));
    rotated->setCornerRadius(6);
    root->layer()->addSublayer(rotated);

    auto card = perspectiveCard(CGRectMake(170, 310, 100, 60),
                                UIColor::colorWithRed(54 / 255.0, 62 / 255.0, 71 / 255.0, 1));
    card->setBorderWidth(2);
    card->setBorderColor(UIColor::whiteColor());
    root->layer()->addSublayer(card);
    return root;
}

std::shared_ptr<UIView> SceneBuilder::phoneWindow() {
    auto root = coralWindow(375, 812);
    const auto icon = whiteDot();
    for (int i = 0; i < 10; ++i) {
        auto card = std::make_shared<UIView>(CGRectMake(16, 120 + i * 64, 343, 56));
        card->setBackgroundColor(UIColor::colorWithWhite(1, 0.15));
        card->layer()->setCornerRadius(12);
        card->layer()->setBorderWidth(1);
        card->layer()->setBorderColor(UIColor::colorWithWhite(1, 0.5));
        if (i % 2 == 0) {
            card->layer()->setShadowOpacity(0.3);
            card->layer()->setShadowRadius(6);
            card->layer()->setShadowOffset({0, 3});
        }
        root->addSubview(card);
        for (int j = 0; j < 2; ++j) {
            auto label = std::make_shared<UILabel>(CGRectMake(12 + j * 170, 8, 150, 40));
            label->setFont(UIFont::systemFontOfSize(j ? 15 : 20));
            label->setTextColor(UIColor::whiteColor());
            label->setText(j ? "Round " + std::to_string(i + 1) + " of 4" : "Focus Session");
            card->addSubview(label);
        }
        auto dot = CALayer::layer();
        dot->setFrame(CGRectMake(320, 20, 16, 16));
        dot->setCornerRadius(8);
        dot->setBackgroundColor(UIColor::whiteColor());
        card->layer()->addSublayer(dot);
    }
    for (int i = 0; i < 4; ++i) {
        auto button = UIButton::buttonWithType(UIButtonType::custom);
        button->setFrame(CGRectMake(16 + i * 88, 770, 80, 36));
        button->setImage(icon, UIControlStateNormal);
        root->addSubview(button);
    }
    root->layer()->addSublayer(progressRing(CGRectMake(137, 20, 100, 100), 45, 0.7));
    root->layer()->addSublayer(rotatedLayer(CGRectMake(20, 30, 60, 40), UIColor::whiteColor()));
    root->layer()->addSublayer(perspectiveCard(CGRectMake(280, 30, 60, 60), UIColor::whiteColor()));
    root->layoutIfNeeded();
    return root;
}

}  // namespace quorvel::testing
