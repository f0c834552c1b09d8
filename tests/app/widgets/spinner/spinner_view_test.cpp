#include "app/widgets/spinner/spinner_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/quartzcore/ca_animation_group.h"
#include "platform/quartzcore/ca_keyframe_animation.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/drawing/ui_image.h"
#include "tests/support/transform_expectations.h"

namespace quorvel {
namespace {

using namespace platform;
constexpr double kPi = std::numbers::pi;

// One animation of a spinner's tree: its layer (or mask), its key and the copy the layer runs.
struct Animated {
    std::shared_ptr<CALayer> layer;
    std::string key;
    std::shared_ptr<CAAnimation> animation;
};

void collect(const std::shared_ptr<CALayer>& layer, std::vector<Animated>& out) {
    for (const auto& key : layer->animationKeys()) out.push_back({layer, key, layer->animationForKey(key)});
    if (layer->mask()) collect(layer->mask(), out);
    for (const auto& sublayer : layer->sublayers()) collect(sublayer, out);
}

std::vector<Animated> animationsOf(const SpinnerView& spinner) {
    std::vector<Animated> out;
    for (const auto& sublayer : spinner.layer()->sublayers()) collect(sublayer, out);
    return out;
}

std::string keyPathOf(const CAAnimation& animation) {
    if (auto keyframes = dynamic_cast<const CAKeyframeAnimation*>(&animation)) return keyframes->keyPath();
    return dynamic_cast<const CAAnimationGroup*>(&animation) ? "group" : "?";
}

CATransform3D shownTransform(const std::shared_ptr<CALayer>& layer) {
    return layer->presentationValue("transform").toTransform();
}

// Where the layer lies before its transform.
CGRect untransformedFrame(const CALayer& layer) {
    const CGSize size = layer.bounds().size;
    return CGRect({layer.position().x - layer.anchorPoint().x * size.width,
                   layer.position().y - layer.anchorPoint().y * size.height},
                  size);
}

void expectTransformNear(const CATransform3D& a, const CATransform3D& b) {
    testing::expectTransformNear(a, b, 1e-6);
}

class Spinner : public ::testing::Test {
protected:
    void SetUp() override { DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8")); }

    std::shared_ptr<SpinnerView> make(int style, CGFloat size = 40) {
        return std::make_shared<SpinnerView>(style, UIColor::blackColor(), size);
    }
    // The shape that style `style` shows first.
    std::shared_ptr<CALayer> firstShape(const SpinnerView& spinner) {
        return spinner.layer()->sublayers()[0];
    }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
};

}  // namespace

TEST_F(Spinner, EachStyleLoopsItsAnimationsStaggeredFromTheMomentItIsBuilt) {
    struct Expected {
        std::string keyPath;
        double duration;
        std::vector<double> beginOffsets;
        std::vector<std::string> keys;  // empty: every key is the kit's own
    };
    const std::vector<Expected> styles{
        {"transform", 1.2, {0}, {}},
        {"transform", 1.2, {0}, {}},
        {"transform", 2.0, {0, -1}, {}},
        {"transform", 1.2, {0, 0.1, 0.2, 0.3, 0.4}, {}},
        {"transform", 1.8, {0, -0.9}, {}},
        {"group", 1.0, {0}, {}},
        {"transform", 2.0, {0, 0, -1}, {"spinner-anim", "spinkit-anim", "spinkit-anim"}},
        {"transform", 1.5, {0, 0.25, 0.5}, {}},
        {"transform", 1.0, {0, 0.125, 0.25, 0.375, 0.5, 0.625, 0.75, 0.875}, {}},
        {"transform", 1.5, {0, 0.1, 0.1, 0.2, 0.2, 0.2, 0.3, 0.3, 0.4}, {}},
        {"transform", 1.0, {0}, {}},
        {"opacity", 1.0, {0, .084, .168, .252, .336, .42, .504, .588, .672, .756, .84, .924}, {}},
        {"group", 1.2, {-1.2, -1.1, -1, -.9, -.8, -.7, -.6, -.5, -.4, -.3, -.2, -.1}, {}},
        {"transform.rotation.z", 0.8, {0}, {}},
        {"strokeEnd", 1.2, {0, 0}, {"spinkit-anim.end", "spinkit-anim.start"}},
    };
    const double now = CACurrentMediaTime();
    for (int style = 0; style < 15; ++style) {
        SCOPED_TRACE("style " + std::to_string(style));
        const auto animated = animationsOf(*make(style));
        const Expected& expected = styles[size_t(style)];
        ASSERT_EQ(animated.size(), expected.beginOffsets.size());
        EXPECT_EQ(keyPathOf(*animated[0].animation), expected.keyPath);
        for (size_t i = 0; i < animated.size(); ++i) {
            const CAAnimation& animation = *animated[i].animation;
            EXPECT_EQ(animated[i].key, expected.keys.empty() ? "spinkit-anim" : expected.keys[i]);
            EXPECT_DOUBLE_EQ(animation.duration(), expected.duration);
            EXPECT_NEAR(animation.beginTime() - now, expected.beginOffsets[i], 1e-6);
            EXPECT_TRUE(std::isinf(animation.repeatCount()));
            EXPECT_FALSE(animation.isRemovedOnCompletion());
        }
    }
    for (int style : {-1, 15}) {
        EXPECT_TRUE(make(style)->layer()->sublayers().empty()) << "style " << style << " shows nothing";
    }
}

TEST_F(Spinner, ShapesArePlacedOnTheirGridRowOrRing) {
    auto bounce = make(7);
    EXPECT_EQ(untransformedFrame(*bounce->layer()->sublayers()[2]), CGRectMake(30, 20, 10, 10))
        << "the row hangs from mid-height";
    auto grid = make(9);
    // Diagonal by diagonal from the top left, each from left to right.
    const CGFloat s = 40.0 / 3;
    const std::vector<CGPoint> origins{{0, 0},     {0, s},     {s, 0},     {0, 2 * s},    {s, s},
                                       {2 * s, 0}, {s, 2 * s}, {2 * s, s}, {2 * s, 2 * s}};
    for (size_t i = 0; i < origins.size(); ++i) {
        const CGPoint origin = untransformedFrame(*grid->layer()->sublayers()[i]).origin;
        EXPECT_NEAR(origin.x, origins[i].x, 1e-9) << "cube " << i;
        EXPECT_NEAR(origin.y, origins[i].y, 1e-9) << "cube " << i;
    }

    auto orbit = make(10);
    auto hole = std::dynamic_pointer_cast<CAShapeLayer>(firstShape(*orbit)->mask());
    ASSERT_TRUE(hole);
    EXPECT_TRUE(hole->path()->containsPoint({20, 30}, hole->fillRule()));
    EXPECT_FALSE(hole->path()->containsPoint({20, 8}, hole->fillRule())) << "the hole near the top";
}

TEST_F(Spinner, AnimationsMoveTheShapesThroughTheirKeyFrames) {
    auto plane = make(0);
    auto cubes = make(4);
    auto dots = make(7);
    auto arc = make(13);
    auto arcAlt = make(14);

    clock->advance(0.45);
    // A quarter of the cubes' cycle: the first is at the second corner, the second (half a cycle ahead)
    // at the fourth.
    const auto cube = cubes->layer()->sublayers();
    EXPECT_NEAR(shownTransform(cube[0]).m41, 40 - 13, 1e-6);
    EXPECT_NEAR(shownTransform(cube[0]).m42, 0, 1e-6);
    EXPECT_NEAR(shownTransform(cube[1]).m41, 0, 1e-6);
    EXPECT_NEAR(shownTransform(cube[1]).m42, 40 - 13, 1e-6);
    EXPECT_NEAR(std::hypot(shownTransform(cube[0]).m11, shownTransform(cube[0]).m12), 0.5, 1e-6);

    clock->advance(0.15);
    CATransform3D perspective = CATransform3DIdentity;
    perspective.m34 = 1.0 / 120;
    expectTransformNear(shownTransform(firstShape(*plane)), perspective.rotatedBy(kPi, 0, 1, 0));
    EXPECT_NEAR(arcAlt->layer()->sublayers()[0]->mask()->presentationValue("strokeEnd").toDouble(), 1, 1e-6);
    EXPECT_NEAR(arcAlt->layer()->sublayers()[0]->mask()->presentationValue("strokeStart").toDouble(), 0,
                1e-6);

    clock->advance(0.15);  // 0.75 s
    const auto dot = dots->layer()->sublayers();
    const double grown[3] = {shownTransform(dot[0]).m11, shownTransform(dot[1]).m11,
                             shownTransform(dot[2]).m11};
    EXPECT_NEAR(grown[0], 1, 1e-6) << "the first dot is full half-way through its cycle";
    EXPECT_GT(grown[0], grown[1]);
    EXPECT_GT(grown[1], grown[2]);
    EXPECT_GT(grown[2], 0) << "the last began a quarter of a second ago";

    clock->advance(0.05);  // 0.8 s: one turn of the arc, back where it began
    EXPECT_NEAR(shownTransform(firstShape(*arc)).m11, 1, 1e-6);
    clock->advance(0.2);
    EXPECT_NEAR(shownTransform(firstShape(*arc)).m12, 1, 1e-6) << "a quarter turn into the next";
}

TEST_F(Spinner, StaggeredShapesWaitHiddenUntilTheirTurnComes) {
    auto grid = make(9);
    clock->advance(0.05);
    EXPECT_GT(shownTransform(grid->layer()->sublayers()[0]).m11, 0);
    EXPECT_EQ(shownTransform(grid->layer()->sublayers()[8]), CATransform3DMakeScale(0, 0, 0));
    auto fading = make(11);
    EXPECT_EQ(fading->layer()->sublayers()[0]->presentationValue("opacity").toDouble(), 1);
    EXPECT_EQ(fading->layer()->sublayers()[11]->presentationValue("opacity").toDouble(), 0);
}

TEST_F(Spinner, StoppingFreezesAndStartingGoesOnFromTheFrozenMomentAcrossAClockGap) {
    auto paused = make(7);
    auto running = make(7);
    clock->advance(0.3);
    const auto frozen = shownTransform(paused->layer()->sublayers()[0]);
    paused->stopAnimating();
    EXPECT_TRUE(paused->isHidden());
    clock->advance(0.2);
    const auto atHalfASecond = shownTransform(running->layer()->sublayers()[0]);
    clock->advance(9.8);
    EXPECT_EQ(shownTransform(paused->layer()->sublayers()[0]), frozen) << "ten seconds later, unmoved";

    paused->startAnimating();
    EXPECT_FALSE(paused->isHidden());
    expectTransformNear(shownTransform(paused->layer()->sublayers()[0]), frozen);
    clock->advance(0.2);
    expectTransformNear(shownTransform(paused->layer()->sublayers()[0]), atHalfASecond);
}

TEST_F(Spinner, RepeatedStartsAndStopsAndForegroundHooksKeepTime) {
    auto spinner = make(7);
    auto reference = make(7);
    auto shape = spinner->layer()->sublayers()[0];
    auto same = [&] {
        expectTransformNear(shownTransform(shape), shownTransform(reference->layer()->sublayers()[0]));
    };

    clock->advance(0.4);
    spinner->startAnimating();
    spinner->applicationWillEnterForeground();  // without having gone to the background
    EXPECT_EQ(spinner->layer()->speed(), 1);
    clock->advance(0.2);
    same();

    spinner->applicationDidEnterBackground();
    clock->advance(5);
    spinner->applicationWillEnterForeground();
    reference->applicationDidEnterBackground();  // the reference stands still for as long
    clock->advance(0.2);
    reference->applicationWillEnterForeground();
    clock->advance(0.1);
    EXPECT_NE(shownTransform(shape), shownTransform(reference->layer()->sublayers()[0]));

    spinner->setHidesWhenStopped(false);
    spinner->stopAnimating();
    const auto frozen = shownTransform(shape);
    spinner->stopAnimating();
    spinner->applicationDidEnterBackground();
    clock->advance(3);
    spinner->applicationWillEnterForeground();
    clock->advance(1);
    EXPECT_FALSE(spinner->isHidden()) << "stopped but still shown";
    EXPECT_EQ(shownTransform(shape), frozen) << "a stopped spinner stays frozen in the foreground";
}

TEST_F(Spinner, RecolouringKeepsTheAnimationsAndLeavesContainersClear) {
    auto chasing = make(6);
    const auto container = chasing->layer()->sublayers()[0];
    const auto dotAnimation = container->sublayers()[1]->animationForKey("spinkit-anim");
    clock->advance(0.5);
    const auto before = shownTransform(container->sublayers()[1]);
    chasing->setColor(UIColor::redColor());
    EXPECT_FALSE(container->backgroundColor()) << "the turning square stays see-through";
    for (const auto& dot : container->sublayers())
        EXPECT_TRUE(dot->backgroundColor()->isEqual(UIColor::redColor()));
    EXPECT_EQ(container->sublayers()[1]->animationForKey("spinkit-anim"), dotAnimation);
    EXPECT_EQ(shownTransform(container->sublayers()[1]), before);

    auto orbit = make(10);
    orbit->setColor(UIColor::blueColor());
    EXPECT_TRUE(firstShape(*orbit)->backgroundColor()->isEqual(UIColor::blueColor()));
    EXPECT_TRUE(firstShape(*orbit)->mask()->backgroundColor() == nullptr) << "the mask is not a shape";
}

TEST_F(Spinner, StyleAndSizeRebuildTheShapesSizeIsTheSpinnersOwnAndAFramedOneDrawsAtTheDefault) {
    auto spinner = make(8);
    EXPECT_EQ(spinner->sizeThatFits({300, 5}), CGSizeMake(40, 40));
    auto subview = std::make_shared<UIView>(CGRectMake(0, 0, 4, 4));
    spinner->addSubview(subview);
    spinner->setStyle(2);
    EXPECT_EQ(spinner->layer()->sublayers().size(), 3u) << "two discs, and the host's own subview kept";
    EXPECT_EQ(subview->superview(), spinner);
    spinner->setSpinnerSize(20);
    EXPECT_EQ(spinner->intrinsicContentSize(), CGSizeMake(20, 20));
    EXPECT_EQ(spinner->layer()->sublayers()[1]->bounds(), CGRectMake(0, 0, 16, 16));

    SpinnerView framed(CGRectMake(10, 20, 80, 60));
    EXPECT_EQ(framed.layer()->sublayers()[0]->bounds(), CGRectMake(0, 0, 33, 33)) << "drawn at 37 points";
}

TEST_F(Spinner, AStyleChosenAfterALongStopStartsAtOnce) {
    auto spinner = make(0);
    spinner->stopAnimating();
    clock->advance(60);
    spinner->startAnimating();
    spinner->setStyle(7);
    clock->advance(0.75);
    EXPECT_NEAR(shownTransform(spinner->layer()->sublayers()[0]).m11, 1, 1e-6);
}

TEST_F(Spinner, EveryStyleDrawnAtOneInstant) {
    auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 300, 180));
    window->setBackgroundColor(UIColor::whiteColor());
    window->makeKeyAndVisible();
    for (int style = 0; style < 15; ++style) {
        auto spinner = make(style);
        spinner->setCenter({30.0 + 60 * (style % 5), 30.0 + 60 * (style / 5)});
        window->addSubview(spinner);
    }
    clock->advance(0.35);  // at 0.3 s the flipping planes stand edge-on
    const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "spinner_styles.png";
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, path, 2));
    const auto image = LayerRenderer::renderView(*window, 2);
    for (int style = 0; style < 15; ++style) {
        int ink = 0;
        for (int y = 0; y < 120; ++y) {
            for (int x = 0; x < 120; ++x) {
                ink += image->pixelAt(120 * (style % 5) + x, 120 * (style / 5) + y).r < 128;
            }
        }
        EXPECT_GT(ink, 20) << "style " << style << " shows something";
    }
}

}  // namespace quorvel
