#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/quartzcore/ca_layer.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "tests/support/transform_expectations.h"

using namespace platform;

namespace {

constexpr double kPi = std::numbers::pi;

std::shared_ptr<CALayer> layerWithFrame(const CGRect& frame) {
    auto layer = CALayer::layer();
    layer->setFrame(frame);
    return layer;
}

std::vector<CALayer*> order(const CALayer& parent) {
    std::vector<CALayer*> out;
    for (const auto& l : parent.sublayers()) out.push_back(l.get());
    return out;
}

}  // namespace

TEST(LayerTree, InsertionsKeepTheOrderAsked) {
    auto root = CALayer::layer();
    auto a = CALayer::layer(), b = CALayer::layer(), c = CALayer::layer(), d = CALayer::layer(),
         e = CALayer::layer();
    root->addSublayer(a);
    root->addSublayer(b);
    root->addSublayer(c);
    root->insertSublayerAtIndex(d, 1);
    EXPECT_EQ(order(*root), (std::vector<CALayer*>{a.get(), d.get(), b.get(), c.get()}));
    root->insertSublayerBelow(e, a);
    root->insertSublayerAbove(a, c);  // moves a to the front
    EXPECT_EQ(order(*root), (std::vector<CALayer*>{e.get(), d.get(), b.get(), c.get(), a.get()}));
    root->insertSublayerAtIndex(a, 99);  // past the end appends
    root->insertSublayerAtIndex(c, 0);   // an existing sublayer moves
    EXPECT_EQ(order(*root), (std::vector<CALayer*>{c.get(), e.get(), d.get(), b.get(), a.get()}));
    EXPECT_EQ(a->superlayer(), root);
}

TEST(LayerTree, MovingAndRemovingKeepsOneParentAndNoCycles) {
    auto root = CALayer::layer(), other = CALayer::layer(), child = CALayer::layer();
    root->addSublayer(child);
    other->addSublayer(child);
    EXPECT_TRUE(root->sublayers().empty());
    EXPECT_EQ(child->superlayer(), other);

    auto grandchild = CALayer::layer();
    child->addSublayer(grandchild);
    grandchild->addSublayer(other);  // other is an ancestor: refused
    grandchild->addSublayer(grandchild);
    EXPECT_TRUE(grandchild->sublayers().empty());

    std::weak_ptr<CALayer> watch = child;
    child->removeFromSuperlayer();
    EXPECT_TRUE(other->sublayers().empty());
    EXPECT_EQ(child->superlayer(), nullptr);
    child.reset();
    EXPECT_TRUE(watch.expired());  // the tree held the only other reference
    EXPECT_EQ(grandchild->superlayer(), nullptr);
}

TEST(LayerGeometry, FrameFollowsPositionAnchorAndTransform) {
    auto layer = layerWithFrame({150, 75, 100, 50});
    EXPECT_EQ(layer->position(), CGPointMake(200, 100));
    EXPECT_EQ(layer->bounds(), CGRectMake(0, 0, 100, 50));
    layer->setAnchorPoint({0, 0});
    EXPECT_EQ(layer->frame(), CGRectMake(200, 100, 100, 50));
    layer->setAnchorPoint({0.5, 0.5});
    layer->setTransform(CATransform3DMakeRotation(kPi / 2, 0, 0, 1));
    const CGRect turned = layer->frame();
    EXPECT_NEAR(turned.minX(), 175, 1e-9);
    EXPECT_NEAR(turned.minY(), 50, 1e-9);
    EXPECT_NEAR(turned.width(), 50, 1e-9);
    EXPECT_NEAR(turned.height(), 100, 1e-9);
    // The bounds' origin moves the content, not the frame.
    layer->setTransform(CATransform3DIdentity);
    layer->setBounds({10, 20, 100, 50});
    EXPECT_EQ(layer->frame(), CGRectMake(150, 75, 100, 50));
    auto child = layerWithFrame({10, 20, 5, 5});
    layer->addSublayer(child);
    EXPECT_EQ(child->convertPointToLayer({0, 0}, layer), CGPointMake(10, 20));
    // No layer means the root's own space.
    EXPECT_EQ(child->convertPointToLayer({1, 2}, nullptr), CGPointMake(11, 22));
}

TEST(LayerHitTesting, FindsTheTurnedLayerWhereItNowLies) {
    auto root = layerWithFrame({0, 0, 400, 400});
    auto bar = layerWithFrame({150, 190, 100, 20});  // centred on (200, 200)
    root->addSublayer(bar);
    bar->setTransform(CATransform3DMakeRotation(kPi / 2, 0, 0, 1));  // now upright, x 190…210
    EXPECT_EQ(root->hitTest({200, 240}), bar);
    EXPECT_EQ(root->hitTest({240, 200}), root);  // where the unturned bar would have been
    const CGPoint local = bar->convertPointFromLayer({200, 240}, root);
    EXPECT_NEAR(local.x, 90, 1e-9);  // the bar's far end points down
    EXPECT_NEAR(local.y, 10, 1e-9);
    EXPECT_EQ(root->hitTest({500, 500}), nullptr);
}

TEST(LayerHitTesting, UnprojectsThroughPerspective) {
    // A carousel item: its container spans the root, the item turned about y with perspective.
    auto root = layerWithFrame({0, 0, 400, 300});
    auto item = layerWithFrame({150, 100, 100, 100});
    root->addSublayer(item);
    CATransform3D t = CATransform3DIdentity;
    t.m34 = -1.0 / 500;
    t = CATransform3DTranslate(t, 0, 0, -150);
    t = CATransform3DRotate(t, kPi / 3, 0, 1, 0);
    item->setTransform(CATransform3DTranslate(t, 0, 0, 150));

    const auto inside = item->convertPointToSuperlayer({95, 30});
    ASSERT_TRUE(inside);
    EXPECT_EQ(root->hitTest(*inside), item);
    const CGPoint back = item->convertPointFromLayer(*inside, root);
    EXPECT_NEAR(back.x, 95, 1e-9);
    EXPECT_NEAR(back.y, 30, 1e-9);
    // Just past the item's edge in its own plane: the root, although the flat (affine) image of the
    // item would still cover the spot.
    const auto outside = item->convertPointToSuperlayer({104, 30});
    ASSERT_TRUE(outside);
    EXPECT_EQ(root->hitTest(*outside), root);
    const CGRect flat = item->transformToSuperlayer().affineTransform().apply(item->bounds());
    EXPECT_TRUE(flat.contains(*outside));
}

TEST(LayerHitTesting, BackFacesHiddenLayersAndClippingAreSkipped) {
    auto root = layerWithFrame({0, 0, 200, 200});
    auto card = layerWithFrame({50, 50, 100, 100});
    root->addSublayer(card);
    CATransform3D flipped = CATransform3DIdentity;
    flipped.m34 = -1.0 / 500;
    card->setTransform(CATransform3DRotate(flipped, kPi * 0.9, 0, 1, 0));
    EXPECT_TRUE(card->isFacingAway());
    EXPECT_EQ(root->hitTest({100, 100}), card);  // double-sided by default
    card->setDoubleSided(false);
    EXPECT_EQ(root->hitTest({100, 100}), root);

    card->setTransform(CATransform3DIdentity);
    auto overhang = layerWithFrame({90, 90, 50, 50});  // sticks out of the card to (190, 190)
    card->addSublayer(overhang);
    EXPECT_EQ(root->hitTest({180, 180}), overhang);
    card->setMasksToBounds(true);
    EXPECT_EQ(root->hitTest({180, 180}), root);
    EXPECT_EQ(root->hitTest({145, 145}), overhang);
    overhang->setHidden(true);
    EXPECT_EQ(root->hitTest({145, 145}), card);
}

TEST(LayerHitTesting, SublayerTransformPerspectiveActsAboutTheAnchor) {
    auto root = layerWithFrame({0, 0, 200, 200});
    CATransform3D perspective = CATransform3DIdentity;
    perspective.m34 = -1.0 / 500;
    root->setSublayerTransform(perspective);
    auto near = layerWithFrame({50, 50, 100, 100});
    root->addSublayer(near);
    near->setTransform(CATransform3DMakeTranslation(0, 0, 100));  // towards the eye: looks bigger
    const CGRect seen = root->convertRectFromLayer(near->bounds(), near);
    EXPECT_NEAR(seen.minX(), 100 - 50 * 1.25, 1e-9);  // w = 1 − 100/500 = 0.8 about the centre
    EXPECT_NEAR(seen.width(), 125, 1e-9);
    EXPECT_EQ(root->hitTest({40, 100}), near);  // outside its flat frame, inside its enlarged image
    EXPECT_EQ(root->hitTest({35, 100}), root);
}

TEST(LayerValues, KeyPathsReadAndWriteParts) {
    auto layer = CAShapeLayer::layer();
    layer->setValueForKeyPath("position.y", 40.0);
    layer->setValueForKeyPath("bounds.size.width", 30.0);
    layer->setValueForKeyPath("transform.rotation.z", kPi / 2);
    layer->setValueForKeyPath("transform.scale", 2.0);
    EXPECT_EQ(layer->position(), CGPointMake(0, 40));
    EXPECT_EQ(layer->bounds().size.width, 30);
    const auto expected =
        CATransform3DConcat(CATransform3DMakeScale(2, 2, 2), CATransform3DMakeRotation(kPi / 2, 0, 0, 1));
    quorvel::testing::expectTransformNear(layer->transform(), expected, 1e-12);
    EXPECT_NEAR(layer->valueForKeyPath("transform.rotation.z").toDouble(), kPi / 2, 1e-12);
    EXPECT_NEAR(layer->valueForKeyPath("transform.scale").toDouble(), 2, 1e-12);
    EXPECT_TRUE(layer->setValueForKeyPath("strokeEnd", 0.5));
    EXPECT_EQ(layer->strokeEnd(), 0.5);
    EXPECT_FALSE(layer->setValueForKeyPath("position", 3.0));  // wrong type
    EXPECT_FALSE(layer->setValueForKeyPath("nonsense", 1.0));
    layer->setValueForKeyPath("opacity", 0.3);
    EXPECT_EQ(layer->opacity(), 0.3f);
}
