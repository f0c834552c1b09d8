#include "platform/graphics/layer_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/foundation/clock.h"
#include "platform/quartzcore/ca_basic_animation.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/drawing/ui_bezier_path.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"
#include "tests/platform/graphics/pixel_probe.h"

namespace platform {
namespace {


std::shared_ptr<UIView> canvas(CGFloat w, CGFloat h) {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, w, h));
    root->setBackgroundColor(UIColor::whiteColor());
    return root;
}

// A plain layer filling `frame` with one colour.
std::shared_ptr<CALayer> solid(const CGRect& frame, CGColorRef colour) {
    auto layer = CALayer::layer();
    layer->setFrame(frame);
    layer->setBackgroundColor(colour);
    return layer;
}

bool isWhite(Pixel p) {
    return p.r == 255 && p.g == 255 && p.b == 255 && p.a == 255;
}
bool isRed(Pixel p) {
    return p.r > 200 && p.g < 60 && p.b < 60;
}
bool isBlue(Pixel p) {
    return p.b > 200 && p.r < 60 && p.g < 60;
}

TEST(LayerRendererLook, RoundedBorderedViewWithShadow) {
    auto root = canvas(200, 160);
    auto card = std::make_shared<UIView>(CGRectMake(40, 40, 100, 60));
    card->setBackgroundColor(UIColor::blueColor());
    CALayer& layer = *card->layer();
    layer.setCornerRadius(16);
    layer.setBorderWidth(3);
    layer.setBorderColor(UIColor::redColor());
    layer.setShadowOpacity(1);
    layer.setShadowRadius(4);
    layer.setShadowOffset({0, 8});
    root->addSubview(card);
    const auto image = LayerRenderer::renderView(*root, kScale);
    ASSERT_EQ(image->pixelWidth(), 400);

    EXPECT_TRUE(isBlue(at(*image, 90, 70))) << "the fill inside the border";
    EXPECT_TRUE(isRed(at(*image, 41, 70))) << "the border along the left edge";
    EXPECT_TRUE(isRed(at(*image, 90, 41))) << "the border along the top edge";
    // The corner is cut by the radius; the shadow lies 8 points lower, so the corner stays clear.
    EXPECT_TRUE(isWhite(at(*image, 41, 41)));
    // Below the card the shadow darkens the background, fading with distance.
    const Pixel near = at(*image, 90, 104);
    const Pixel far = at(*image, 90, 112);
    EXPECT_LT(near.r, 120);
    EXPECT_GT(far.r, near.r);
    EXPECT_TRUE(isWhite(at(*image, 90, 130)));
    EXPECT_TRUE(isWhite(at(*image, 20, 70)));
}

TEST(LayerRendererLook, MasksToBoundsClipsSublayersToTheCorners) {
    auto root = canvas(100, 100);
    auto clip = CALayer::layer();
    clip->setFrame(CGRectMake(10, 10, 80, 80));
    clip->setCornerRadius(40);
    clip->setMasksToBounds(true);
    clip->addSublayer(solid(CGRectMake(-10, -10, 100, 100), UIColor::redColor()));
    root->layer()->addSublayer(clip);
    const auto image = LayerRenderer::renderView(*root, kScale);
    EXPECT_TRUE(isRed(at(*image, 50, 50)));
    EXPECT_TRUE(isWhite(at(*image, 12, 12))) << "outside the circle";
    EXPECT_TRUE(isWhite(at(*image, 5, 50))) << "outside the bounds";
}

TEST(LayerRendererLook, ViewsDrawTheirOwnContentInTheirPlace) {
    auto root = canvas(100, 60);
    auto label = std::make_shared<UILabel>(CGRectMake(20, 10, 60, 40));
    label->setFont(UIFont::boldSystemFontOfSize(30));
    label->setText("IIII");
    label->setTextColor(UIColor::blueColor());
    root->addSubview(label);
    const auto image = LayerRenderer::renderView(*root, kScale);
    int inside = 0, outside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (isWhite(at(*image, x, y))) continue;
            (CGRectMake(20, 10, 60, 40).contains(CGPointMake(x, y)) ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}

// A view that, each time it is drawn, puts a new red layer at the back of its superlayer and takes the
// last one away, as a view drawing its own shadow behind itself does.
class BackdropView : public UIView {
public:
    using UIView::UIView;
    void drawRect(const CGRect&) override {
        const auto superlayer = layer()->superlayer();
        if (!superlayer) return;
        if (backdrop_) backdrop_->removeFromSuperlayer();
        backdrop_ = solid(frame().insetBy(-10, -10), UIColor::redColor());
        superlayer->insertSublayerAtIndex(backdrop_, 0);
        // Enough siblings that the insertion reallocates the superlayer's list.
        for (int i = 0; i < 32; ++i) superlayer->insertSublayerAtIndex(CALayer::layer(), 1);
    }

private:
    std::shared_ptr<CALayer> backdrop_;
};

TEST(LayerRendererLook, AViewChangingTheTreeWhileDrawnLeavesTheFrameWhole) {
    auto root = canvas(100, 100);
    root->addSubview(std::make_shared<BackdropView>(CGRectMake(30, 30, 40, 40)));
    auto after = std::make_shared<UIView>(CGRectMake(0, 80, 100, 20));
    after->setBackgroundColor(UIColor::blueColor());
    root->addSubview(after);

    const auto first = LayerRenderer::renderView(*root, kScale);
    EXPECT_TRUE(isWhite(at(*first, 25, 50))) << "added while the frame was drawn: shows from the next";
    EXPECT_TRUE(isBlue(at(*first, 50, 90))) << "the siblings after the view are still drawn";
    const auto second = LayerRenderer::renderView(*root, kScale);
    EXPECT_TRUE(isRed(at(*second, 25, 50)));
    EXPECT_TRUE(isBlue(at(*second, 50, 90)));
}

TEST(LayerRendererLook, NonsenseGeometryDrawsNothingAndDoesNotCrash) {
    auto root = canvas(20, 20);
    auto odd = solid(CGRectMake(0, 0, NAN, 1e12), UIColor::redColor());
    odd->setShadowOpacity(1);
    odd->setShadowRadius(1e9);
    root->layer()->addSublayer(odd);
    auto huge = solid(CGRectMake(-1e7, -1e7, 2e7, 2e7), UIColor::clearColor());
    huge->setShadowOpacity(1);
    huge->setBorderWidth(1);
    root->layer()->addSublayer(huge);
    const auto image = LayerRenderer::renderView(*root, kScale);
    EXPECT_EQ(image->pixelWidth(), 40);
    auto empty = std::make_shared<UIView>(CGRectMake(0, 0, NAN, -5));
    EXPECT_EQ(LayerRenderer::renderView(*empty, kScale)->pixelWidth(), 1);
}

TEST(LayerRendererLook, LayersShrunkToNothingOrMisplacedLeaveTheirSiblingsDrawn) {
    auto root = canvas(40, 20);
    auto shrunk = std::make_shared<UIView>(CGRectMake(0, 0, 20, 20));
    shrunk->setBackgroundColor(UIColor::blueColor());
    shrunk->setTransform(CGAffineTransformMakeScale(0, 0));
    root->addSubview(shrunk);
    auto lost = solid(CGRectMake(0, 0, 10, 10), UIColor::blueColor());
    lost->setPosition({NAN, 5});
    root->layer()->addSublayer(lost);
    auto after = std::make_shared<UIView>(CGRectMake(20, 0, 20, 20));
    after->setBackgroundColor(UIColor::redColor());
    root->addSubview(after);
    const auto image = LayerRenderer::renderView(*root, kScale);
    EXPECT_TRUE(isWhite(at(*image, 10, 10))) << "nothing of the shrunk or misplaced layers";
    EXPECT_TRUE(isRed(at(*image, 30, 10))) << "the layer drawn after them";
}

TEST(LayerRendererLook, OpacityAndHiddenLayers) {
    auto root = canvas(60, 20);
    auto faint = solid(CGRectMake(0, 0, 20, 20), UIColor::blackColor());
    faint->setOpacity(0.5);
    auto hidden = solid(CGRectMake(20, 0, 20, 20), UIColor::blackColor());
    hidden->setHidden(true);
    root->layer()->addSublayer(faint);
    root->layer()->addSublayer(hidden);
    const auto image = LayerRenderer::renderView(*root, kScale);
    EXPECT_NEAR(at(*image, 10, 10).r, 128, 2);
    EXPECT_TRUE(isWhite(at(*image, 30, 10)));
}

TEST(LayerRendererLook, PatternColourTilesItsImage) {
    // A 2 × 1 point tile: red on the left, blue on the right.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(2, 1), true, kScale);
    UIGraphicsGetCurrentContext()->setFillColor(UIColor::redColor());
    UIGraphicsGetCurrentContext()->fillRect(CGRectMake(0, 0, 1, 1));
    UIGraphicsGetCurrentContext()->setFillColor(UIColor::blueColor());
    UIGraphicsGetCurrentContext()->fillRect(CGRectMake(1, 0, 1, 1));
    auto tile = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(tile);

    auto root = canvas(10, 4);
    root->layer()->addSublayer(solid(CGRectMake(0, 0, 10, 4), UIColor::colorWithPatternImage(tile)));
    const auto image = LayerRenderer::renderView(*root, kScale);
    for (CGFloat x : {0.5, 2.5, 8.5}) EXPECT_TRUE(isRed(at(*image, x, 2))) << x;
    for (CGFloat x : {1.5, 3.5, 9.5}) EXPECT_TRUE(isBlue(at(*image, x, 2))) << x;
}

// A ring of radius 30 round (50, 50), starting at the top and running clockwise on the screen.
std::shared_ptr<CAShapeLayer> ring(CGFloat strokeEnd) {
    auto shape = CAShapeLayer::layer();
    shape->setFrame(CGRectMake(0, 0, 100, 100));
    shape->setPath(UIBezierPath::bezierPathWithArcCenter({50, 50}, 30, -std::numbers::pi / 2,
                                                         3 * std::numbers::pi / 2, true)
                       ->CGPath());
    shape->setFillColor(nullptr);
    shape->setStrokeColor(UIColor::redColor());
    shape->setLineWidth(6);
    shape->setStrokeEnd(strokeEnd);
    return shape;
}

// Whether the ring is drawn at the clock angle (0 at the top, growing clockwise).
bool ringDrawnAt(const UIImage& image, double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    return isRed(at(image, 50 + 30 * std::sin(a), 50 - 30 * std::cos(a)));
}

TEST(LayerRendererShapes, StrokeEndDrawsThatFractionOfTheOutline) {
    auto root = canvas(100, 100);
    root->layer()->addSublayer(ring(0.25));
    const auto image = LayerRenderer::renderView(*root, kScale);
    for (const double degrees : {5, 45, 85}) EXPECT_TRUE(ringDrawnAt(*image, degrees)) << degrees;
    for (const double degrees : {100, 180, 300}) EXPECT_FALSE(ringDrawnAt(*image, degrees)) << degrees;
    EXPECT_TRUE(isWhite(at(*image, 50, 50))) << "no fill";
}

TEST(LayerRendererShapes, StrokeEndFollowsItsAnimation) {
    auto clock = VirtualClock::install();
    auto root = canvas(100, 100);
    auto shape = ring(1);
    root->layer()->addSublayer(shape);
    auto animation = CABasicAnimation::animationWithKeyPath("strokeEnd");
    animation->setFromValue(CAValue(0.0));
    animation->setToValue(CAValue(1.0));
    animation->setDuration(4);
    shape->addAnimation(animation, "animateCircle");
    clock->advance(2);
    const auto image = LayerRenderer::renderView(*root, kScale);
    EXPECT_TRUE(ringDrawnAt(*image, 170));
    EXPECT_FALSE(ringDrawnAt(*image, 190));
}

TEST(LayerRendererTransforms, RotationAndPerspectiveUseTheProjectedAffinePart) {
    const CGRect bounds = CGRectMake(0, 0, 100, 50);
    const auto turn = CGAffineTransform::makeRotation(0.3).translatedBy(5, 7);
    const auto affine = LayerRenderer::projectedTransform(CATransform3D::makeAffineTransform(turn), bounds);
    ASSERT_TRUE(affine);
    EXPECT_DOUBLE_EQ(affine->a, turn.a);
    EXPECT_DOUBLE_EQ(affine->ty, turn.ty);

    CATransform3D perspective;
    perspective.m34 = -1.0 / 500;
    const auto turned = CATransform3D::makeRotation(std::numbers::pi / 3, 0, 1, 0).concat(perspective);
    const auto projected = LayerRenderer::projectedTransform(turned, bounds);
    ASSERT_TRUE(projected);
    EXPECT_LT(projected->a, 0.6) << "narrower than the unturned layer";
    EXPECT_GT(projected->a, 0.3);

    CATransform3D behind;
    behind.m44 = -1;
    EXPECT_FALSE(LayerRenderer::projectedTransform(behind, bounds));
}

TEST(LayerRendererTransforms, ShadowedLayersTurnedEdgeOnLeaveTheFrameDrawn) {
    // A carousel's items pass through a quarter turn; the turn's cosine rounds to 6e-17, not 0.
    for (const CGFloat angle : {std::numbers::pi / 2, std::numbers::pi / 2 - 1e-8}) {
        auto root = canvas(40, 20);
        auto card = solid(CGRectMake(0, 0, 20, 20), UIColor::blueColor());
        card->setShadowOpacity(1);
        card->setTransform(CATransform3D::makeRotation(angle, 0, 1, 0));
        root->layer()->addSublayer(card);
        root->layer()->addSublayer(solid(CGRectMake(20, 0, 20, 20), UIColor::redColor()));
        const auto image = LayerRenderer::renderView(*root, kScale);
        EXPECT_TRUE(isRed(at(*image, 30, 10))) << "angle " << angle;
        EXPECT_TRUE(isWhite(at(*image, 5, 10)));
    }
}

TEST(LayerRendererTransforms, BackFacingLayersDrawOnlyWhenDoubleSided) {
    auto root = canvas(100, 100);
    auto card = solid(CGRectMake(25, 25, 50, 50), UIColor::redColor());
    card->setTransform(CATransform3D::makeRotation(std::numbers::pi, 0, 1, 0));
    root->layer()->addSublayer(card);
    EXPECT_TRUE(isRed(at(*LayerRenderer::renderView(*root, kScale), 50, 50)));
    card->setDoubleSided(false);
    EXPECT_TRUE(isWhite(at(*LayerRenderer::renderView(*root, kScale), 50, 50)));
}

TEST(LayerRendererTransforms, SiblingsDrawInOrderAndMasksCutTheirLayer) {
    auto root = canvas(100, 100);
    auto front = solid(CGRectMake(40, 40, 60, 60), UIColor::redColor());
    front->setMask(solid(CGRectMake(0, 0, 30, 60), UIColor::blackColor()));
    root->layer()->addSublayer(solid(CGRectMake(0, 0, 60, 60), UIColor::blueColor()));
    root->layer()->addSublayer(front);
    const auto image = LayerRenderer::renderView(*root, kScale);
    EXPECT_TRUE(isRed(at(*image, 50, 50))) << "the later sibling is in front";
    EXPECT_TRUE(isWhite(at(*image, 80, 80))) << "outside the mask";
    EXPECT_TRUE(isBlue(at(*image, 20, 20)));
}

}  // namespace
}  // namespace platform
