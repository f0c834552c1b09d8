#include "platform/graphics/layer_back_buffer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/foundation/clock.h"
#include "platform/quartzcore/ca_basic_animation.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/drawing/ui_bezier_path.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"
#include "tests/support/scene_builder.h"

namespace platform {
namespace {

constexpr CGFloat kBufferScale = 3;
constexpr int kWidth = 320 * 3, kHeight = 400 * 3;

void paintGray(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
    cairo_paint(cr);
}

std::unique_ptr<LayerBackBuffer> bufferAtScale() {
    return std::make_unique<LayerBackBuffer>(kWidth, kHeight, CGAffineTransform::makeScale(kBufferScale, kBufferScale),
                                             paintGray);
}

// The showcase with a few more things to change: a card with a shadow and a label inside, an opacity
// group inside another, a masked layer, and a tilted parent with its own children.
struct Scene {
    std::shared_ptr<UIView> root = quorvel::testing::SceneBuilder::showcase();
    std::shared_ptr<UIView> card = std::make_shared<UIView>(CGRectMake(20, 130, 80, 60));
    std::shared_ptr<UILabel> clock = std::make_shared<UILabel>(CGRectMake(4, 10, 72, 30));
    std::shared_ptr<UIView> outer = std::make_shared<UIView>(CGRectMake(220, 130, 80, 80));
    std::shared_ptr<UIView> inner = std::make_shared<UIView>(CGRectMake(10, 10, 50, 50));
    std::shared_ptr<CALayer> masked = CALayer::layer();
    std::shared_ptr<CALayer> tilted = CALayer::layer();
    std::shared_ptr<CALayer> tiltedChild = CALayer::layer();
    std::shared_ptr<CAShapeLayer> ring;

    Scene() {
        card->setBackgroundColor(UIColor::colorWithWhite(1, 0.3));
        card->layer()->setCornerRadius(10);
        card->layer()->setShadowOpacity(0.5);
        card->layer()->setShadowRadius(5);
        card->layer()->setShadowOffset({0, 4});
        clock->setText("24:59");
        clock->setTextColor(UIColor::whiteColor());
        clock->setFont(UIFont::fontWithName("SFProDisplay-Medium", 22));
        card->addSubview(clock);
        root->addSubview(card);

        outer->setBackgroundColor(UIColor::blueColor());
        outer->setAlpha(0.6);
        inner->setBackgroundColor(UIColor::yellowColor());
        inner->setAlpha(0.5);
        outer->addSubview(inner);
        root->addSubview(outer);

        masked->setFrame(CGRectMake(120, 340, 60, 50));
        masked->setBackgroundColor(UIColor::greenColor());
        auto dot = CAShapeLayer::layer();
        dot->setPath(UIBezierPath::bezierPathWithOvalInRect(CGRectMake(5, 5, 40, 40))->CGPath());
        masked->setMask(dot);
        root->layer()->addSublayer(masked);

        tilted->setFrame(CGRectMake(250, 20, 50, 50));
        tilted->setBackgroundColor(UIColor::purpleColor());
        tiltedChild->setFrame(CGRectMake(30, 30, 30, 30));
        tiltedChild->setBackgroundColor(UIColor::orangeColor());
        tilted->addSublayer(tiltedChild);
        root->layer()->addSublayer(tilted);

        for (const auto& layer : root->layer()->sublayers()) {
            if (auto shape = std::dynamic_pointer_cast<CAShapeLayer>(layer)) ring = shape;
        }
        root->layoutIfNeeded();
    }

    std::vector<LayerBackBuffer::Placement> placed() const { return {{root->layer(), {0, 0}}}; }
};

// The pixels that differ between two buffers' pictures; the pictures go to the test output on a
// difference, for a person to compare.
int differingPixels(const LayerBackBuffer& repainted, const LayerBackBuffer& fresh, const std::string& name) {
    cairo_surface_t* a = repainted.surface();
    cairo_surface_t* b = fresh.surface();
    const int stride = cairo_image_surface_get_stride(a);
    int differing = 0;
    for (int y = 0; y < kHeight; ++y) {
        const auto* ra = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(a) + y * stride);
        const auto* rb = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(b) + y * stride);
        for (int x = 0; x < kWidth; ++x) {
            if (ra[x] == rb[x]) continue;
            if (!differing++) ADD_FAILURE() << name << ": the first difference is at pixel " << x << ", " << y;
        }
    }
    if (differing) {
        const auto dir = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
        std::filesystem::create_directories(dir);
        cairo_surface_write_to_png(a, (dir / ("repaint-" + name + "-partial.png")).c_str());
        cairo_surface_write_to_png(b, (dir / ("repaint-" + name + "-full.png")).c_str());
    }
    return differing;
}

// Draws the scene, changes it, repaints the damage only, and compares with a picture drawn whole.
void expectRepaintMatchesFullRedraw(const std::string& name, const std::function<void(Scene&)>& change,
                                    double mediaTime = 0) {
    SCOPED_TRACE(name);
    Scene scene;
    auto buffer = bufferAtScale();
    buffer->draw(scene.placed(), mediaTime);
    change(scene);
    scene.root->layoutIfNeeded();
    const DamageRegion damage = buffer->draw(scene.placed(), mediaTime);
    EXPECT_FALSE(damage.isEmpty());
    EXPECT_LT(damage.area(), 0.5 * kWidth * kHeight) << "a small change repaints a small part";
    auto fresh = bufferAtScale();
    fresh->draw(scene.placed(), mediaTime);
    EXPECT_EQ(differingPixels(*buffer, *fresh, name), 0);
}

TEST(LayerBackBufferRepaint, ChangedLayersRepaintToTheSamePixelsAsAFullRedraw) {
    const std::vector<std::pair<std::string, std::function<void(Scene&)>>> changes = {
        {"moved", [](Scene& s) { s.card->setFrame(CGRectMake(36, 150, 80, 60)); }},
        {"resized", [](Scene& s) { s.card->setFrame(CGRectMake(20, 130, 110, 40)); }},
        {"hidden", [](Scene& s) { s.card->setHidden(true); }},
        {"removed", [](Scene& s) { s.card->removeFromSuperview(); }},
        {"added", [](Scene& s) {
             auto badge = std::make_shared<UIView>(CGRectMake(30, 30, 12, 12));
             badge->setBackgroundColor(UIColor::redColor());
             s.inner->addSubview(badge);
         }},
        {"text changed", [](Scene& s) { s.clock->setText("24:58"); }},
        {"ring progress", [](Scene& s) { s.ring->setStrokeEnd(0.3); }},
        {"turned", [](Scene& s) { s.tilted->setAffineTransform(CGAffineTransform::makeRotation(0.7)); }},
        {"sublayer transform", [](Scene& s) { s.tilted->setSublayerTransform(CATransform3D::makeScale(0.5, 0.5, 1)); }},
        {"perspective", [](Scene& s) {
             CATransform3D t = CATransform3D::makeRotation(0.6, 1, 0, 0);
             t.m34 = -1.0 / 200;
             s.tilted->setTransform(t);
         }},
        {"nested opacity", [](Scene& s) { s.inner->setAlpha(0.9); }},
        {"outer opacity", [](Scene& s) { s.outer->setAlpha(0.3); }},
        {"mask moved", [](Scene& s) { s.masked->mask()->setPosition({40, 30}); }},
        {"shadow", [](Scene& s) { s.card->layer()->setShadowRadius(9); }},
        {"restacked", [](Scene& s) { s.root->sendSubviewToBack(s.outer); }},
    };
    for (const auto& [name, change] : changes) expectRepaintMatchesFullRedraw(name, change);
}

TEST(LayerBackBufferRepaint, AnimatedLayersRepaintEachFrameUntilTheyEnd) {
    auto clock = VirtualClock::install();
    Scene scene;
    auto buffer = bufferAtScale();
    buffer->draw(scene.placed(), clock->now());
    auto slide = CABasicAnimation::animationWithKeyPath("position");
    slide->setFromValue(CGPointMake(60, 160));
    slide->setToValue(CGPointMake(160, 300));
    slide->setDuration(1);
    scene.card->layer()->addAnimation(slide, "slide");
    auto fill = CABasicAnimation::animationWithKeyPath("strokeEnd");
    fill->setFromValue(0.0);
    fill->setToValue(1.0);
    fill->setDuration(0.5);
    scene.ring->addAnimation(fill, "fill");
    // Six frames, the last of which ends the slide and puts the card back where its model says.
    for (int frame = 1; frame <= 6; ++frame) {
        clock->advance(1.0 / 6 + 0.001);
        SCOPED_TRACE(frame);
        EXPECT_FALSE(buffer->draw(scene.placed(), clock->now()).isEmpty());
        auto fresh = bufferAtScale();
        fresh->draw(scene.placed(), clock->now());
        EXPECT_EQ(differingPixels(*buffer, *fresh, "animated-" + std::to_string(frame)), 0);
    }
    EXPECT_FALSE(scene.card->layer()->hasAnimations());
    EXPECT_TRUE(buffer->draw(scene.placed(), clock->now()).isEmpty()) << "ended: nothing moves any more";
}

TEST(LayerBackBufferRepaint, AnUnchangedTreeDrawsNothing) {
    Scene scene;
    auto buffer = bufferAtScale();
    EXPECT_EQ(buffer->draw(scene.placed(), 0).area(), double(kWidth) * kHeight) << "the first frame is whole";
    EXPECT_TRUE(buffer->draw(scene.placed(), 0).isEmpty());
    // Laying out again, setting the same frames and texts, changes nothing either.
    scene.clock->setFrame(scene.clock->frame());
    scene.root->setNeedsLayout();
    scene.root->layoutIfNeeded();
    EXPECT_TRUE(buffer->draw(scene.placed(), 0).isEmpty());
    // Another place for the tree repaints it all.
    EXPECT_EQ(buffer->draw({{scene.root->layer(), {10, 0}}}, 0).area(), double(kWidth) * kHeight);
}

TEST(LayerBackBufferRepaint, ATickRepaintsOnlyAroundTheClockAndTheRing) {
    Scene scene;
    auto buffer = bufferAtScale();
    buffer->draw(scene.placed(), 0);
    scene.clock->setText("24:58");
    scene.ring->setStrokeEnd(0.64);
    const DamageRegion& damage = buffer->draw(scene.placed(), 0);
    // The clock's card casts a shadow of what it holds, so the card repaints with its text.
    const CGRect cardAndRing = CGRectMake(0, 110 * kBufferScale, 230 * kBufferScale, 140 * kBufferScale);
    for (const CGRect& r : damage.rects()) EXPECT_TRUE(cardAndRing.contains(r));
    EXPECT_LT(damage.area(), 0.1 * kWidth * kHeight);
    // The ring repaints only the stretch its end moved over, not the play button inside it.
    EXPECT_FALSE(damage.intersects(CGRectMake(150 * kBufferScale, 170 * kBufferScale, 20 * kBufferScale, 20 * kBufferScale)));
}

}  // namespace
}  // namespace platform
