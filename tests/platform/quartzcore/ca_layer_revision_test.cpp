#include <gtest/gtest.h>

#include <functional>

#include "platform/foundation/clock.h"
#include "platform/quartzcore/ca_basic_animation.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/quartzcore/ca_shape_layer.h"

using namespace platform;

namespace {

struct Change {
    const char* what;
    std::function<void(CAShapeLayer&)> apply;
};

// Every change a renderer must repaint for moves the revision on; the same value set again does not,
// so a layout pass that sets every frame anew repaints nothing.
TEST(LayerRevision, DrawnChangesMoveItOnAndRepeatsDoNot) {
    const auto mask = CALayer::layer();
    const auto colour = CGColorCreateGenericRGB(0.2, 0.4, 0.6, 1);
    const std::vector<Change> changes = {
        {"frame", [](CAShapeLayer& l) { l.setFrame(CGRectMake(1, 2, 30, 40)); }},
        {"bounds", [](CAShapeLayer& l) { l.setBounds(CGRectMake(0, 0, 50, 50)); }},
        {"position", [](CAShapeLayer& l) { l.setPosition({5, 6}); }},
        {"anchor point", [](CAShapeLayer& l) { l.setAnchorPoint({0, 0}); }},
        {"transform", [](CAShapeLayer& l) { l.setTransform(CATransform3D::makeRotation(0.3, 0, 0, 1)); }},
        {"affine transform", [](CAShapeLayer& l) { l.setAffineTransform(CGAffineTransform::makeScale(2, 2)); }},
        {"sublayer transform", [](CAShapeLayer& l) { l.setSublayerTransform(CATransform3D::makeScale(2, 2, 1)); }},
        {"opacity", [](CAShapeLayer& l) { l.setOpacity(0.5); }},
        {"hidden", [](CAShapeLayer& l) { l.setHidden(true); }},
        {"background", [&](CAShapeLayer& l) { l.setBackgroundColor(colour); }},
        // An equal colour or path made anew is the same value.
        {"equal colour", [](CAShapeLayer& l) { l.setStrokeColor(CGColorCreateGenericRGB(0.1, 0.2, 0.3, 1)); }},
        {"equal path", [](CAShapeLayer& l) {
             auto path = std::make_shared<CGPath>();
             path->addRect(CGRectMake(1, 2, 3, 4));
             l.setPath(path);
         }},
        {"corner radius", [](CAShapeLayer& l) { l.setCornerRadius(4); }},
        {"clipping", [](CAShapeLayer& l) { l.setMasksToBounds(true); }},
        {"border", [](CAShapeLayer& l) { l.setBorderWidth(2); }},
        {"shadow", [](CAShapeLayer& l) { l.setShadowOpacity(0.5); }},
        {"mask", [&](CAShapeLayer& l) { l.setMask(mask); }},
        {"line width", [](CAShapeLayer& l) { l.setLineWidth(3); }},
        {"speed", [](CAShapeLayer& l) { l.setSpeed(0); }},
        {"key path", [](CAShapeLayer& l) { l.setValueForKeyPath("position.x", 99.0); }},
        {"display", [](CAShapeLayer& l) { l.setNeedsDisplay(); }},
    };
    for (const Change& change : changes) {
        const auto layer = CAShapeLayer::layer();
        const auto before = layer->revision();
        change.apply(*layer);
        const auto after = layer->revision();
        EXPECT_GT(after, before) << change.what;
        EXPECT_EQ(CALayer::lastRevision(), after) << change.what;
        // Key-value writes and setNeedsDisplay always count: they are asked for on purpose.
        if (std::string(change.what) == "display" || std::string(change.what) == "key path") continue;
        change.apply(*layer);
        EXPECT_EQ(layer->revision(), after) << change.what << " set again";
    }
}

// A progress ring's ends move its stroke revision alone, so only the stretch they moved over repaints.
TEST(LayerRevision, StrokeEndsMoveTheStrokeRevisionOnly) {
    const auto ring = CAShapeLayer::layer();
    const auto revision = ring->revision();
    for (auto move : {&CAShapeLayer::setStrokeEnd, &CAShapeLayer::setStrokeStart}) {
        const auto before = ring->strokeRevision();
        (*ring.*move)(0.25);
        EXPECT_GT(ring->strokeRevision(), before);
        EXPECT_EQ(CAShapeLayer::lastStrokeRevision(), ring->strokeRevision());
        const auto after = ring->strokeRevision();
        (*ring.*move)(0.25);
        EXPECT_EQ(ring->strokeRevision(), after) << "the same end again";
    }
    EXPECT_EQ(ring->revision(), revision);
}

TEST(LayerRevision, TreeChangesAndAnimationsMoveTheMovedLayerOn) {
    auto clock = VirtualClock::install();
    const auto parent = CALayer::layer(), child = CALayer::layer(), other = CALayer::layer();
    EXPECT_NE(child->revision(), other->revision()) << "a new layer never shares an old one's value";

    auto revisionAfter = [&](const std::function<void()>& change) {
        const auto before = child->revision();
        change();
        return child->revision() > before;
    };
    EXPECT_TRUE(revisionAfter([&] { parent->addSublayer(child); }));
    parent->addSublayer(other);
    EXPECT_TRUE(revisionAfter([&] { parent->insertSublayerAbove(child, other); })) << "restacked";
    // A view that takes its layers out and puts them back as they were, on every drawing pass.
    EXPECT_FALSE(revisionAfter([&] {
        child->removeFromSuperlayer();
        parent->addSublayer(child);
    }));
    const auto parentBefore = parent->revision();
    EXPECT_FALSE(revisionAfter([&] { child->removeFromSuperlayer(); })) << "it simply no longer shows";
    EXPECT_EQ(parent->revision(), parentBefore) << "the parent draws the same itself";
    EXPECT_TRUE(revisionAfter([&] { other->addSublayer(child); })) << "somewhere new";

    auto fade = CABasicAnimation::animationWithKeyPath("opacity");
    fade->setFromValue(0.0);
    fade->setToValue(1.0);
    fade->setDuration(1);
    EXPECT_TRUE(revisionAfter([&] { child->addAnimation(fade, "fade"); }));
    // The model value shows again when the animation ends: that frame must be drawn too.
    EXPECT_TRUE(revisionAfter([&] { clock->advance(2); }));
    EXPECT_FALSE(child->hasAnimations());
}

}  // namespace
