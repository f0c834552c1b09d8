#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/coregraphics/cg_path.h"
#include "platform/uikit/drawing/ui_bezier_path.h"

using namespace platform;

namespace {

constexpr double kPi = std::numbers::pi;

CGPoint endOf(const CGPathElement& e) {
    switch (e.type) {
        case CGPathElementType::addQuadCurveToPoint:
            return e.points[1];
        case CGPathElementType::addCurveToPoint:
            return e.points[2];
        default:
            return e.points[0];
    }
}

void expectPoint(CGPoint actual, CGPoint expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

}  // namespace

TEST(PathArcs, ClockwiseRingStartsAndEndsAtTwelveOClock) {
    // The progress ring: centre (50, 50), radius (100 − 1.5) / 2, from −π/2 to 3π/2, clockwise.
    const double r = 49.25;
    auto ring = UIBezierPath::bezierPathWithArcCenter({50, 50}, r, -kPi / 2, 3 * kPi / 2, true);
    const auto& e = ring->path().elements();
    ASSERT_EQ(e.size(), 5u);  // a move and four quarter curves
    expectPoint(e[0].points[0], {50, 50 - r});
    expectPoint(endOf(e[1]), {50 + r, 50});  // clockwise on screen: three o'clock comes first
    expectPoint(endOf(e[2]), {50, 50 + r});
    expectPoint(endOf(e[4]), {50, 50 - r});
    const CGRect box = ring->path().pathBoundingBox();
    EXPECT_NEAR(box.minX(), 50 - r, 1e-9);
    EXPECT_NEAR(box.maxY(), 50 + r, 1e-9);
}

TEST(PathArcs, AnticlockwiseSweepTakesTheOtherWayRound) {
    // From 0 to 5π/3 not clockwise: the angle falls, so the arc is the short sixth of the circle.
    auto arc = UIBezierPath::bezierPathWithArcCenter({0, 0}, 10, 0, 5 * kPi / 3, false);
    const auto& e = arc->path().elements();
    ASSERT_EQ(e.size(), 2u);
    expectPoint(endOf(e[1]), {5, -10 * std::sqrt(3) / 2});
    // Clockwise it is five sixths: four pieces.
    EXPECT_EQ(
        UIBezierPath::bezierPathWithArcCenter({0, 0}, 10, 0, 5 * kPi / 3, true)->path().elements().size(),
        5u);
    // A whole turn either way is the full circle; equal angles draw nothing.
    EXPECT_EQ(UIBezierPath::bezierPathWithArcCenter({0, 0}, 10, 0, 2 * kPi, false)->path().elements().size(),
              5u);
    EXPECT_EQ(UIBezierPath::bezierPathWithArcCenter({0, 0}, 10, 1, 1, true)->path().elements().size(), 1u);
}

TEST(PathArcs, ArcMidpointsLieOnTheCircle) {
    auto ring = UIBezierPath::bezierPathWithArcCenter({0, 0}, 100, 0.3, 2.9, true);
    CGPoint last = ring->path().elements()[0].points[0];
    for (std::size_t i = 1; i < ring->path().elements().size(); ++i) {
        const auto& c = ring->path().elements()[i];
        const CGPoint mid{(last.x + 3 * c.points[0].x + 3 * c.points[1].x + c.points[2].x) / 8,
                          (last.y + 3 * c.points[0].y + 3 * c.points[1].y + c.points[2].y) / 8};
        EXPECT_NEAR(std::hypot(mid.x, mid.y), 100, 0.03);
        last = c.points[2];
    }
}

TEST(PathFill, EvenOddCutsTheHoleThatWindingFills) {
    // The orbit spinner's mask: a disc with a small circle inside it near the top.
    CGPath mask;
    mask.addEllipseInRect({0, 0, 40, 40});
    mask.addEllipseInRect({15, 3, 10, 10});
    mask.closeSubpath();
    EXPECT_TRUE(mask.containsPoint({20, 8}, CGPathFillRule::winding));
    EXPECT_FALSE(mask.containsPoint({20, 8}, CGPathFillRule::evenOdd));
    EXPECT_TRUE(mask.containsPoint({20, 30}, CGPathFillRule::evenOdd));
    EXPECT_FALSE(mask.containsPoint({2, 2}, CGPathFillRule::evenOdd));  // outside the disc's corner

    auto path = UIBezierPath::bezierPathWithCGPath(std::make_shared<const CGPath>(mask));
    path->setUsesEvenOddFillRule(true);
    EXPECT_FALSE(path->containsPoint({20, 8}));
}

TEST(PathFill, RoundedCornersAreCutAndRadiiLimited) {
    auto card = UIBezierPath::bezierPathWithRoundedRect({0, 0, 100, 60}, 10);
    EXPECT_TRUE(card->containsPoint({50, 1}));
    EXPECT_TRUE(card->containsPoint({3.5, 3.5}));  // 9.2 from the corner's centre
    EXPECT_FALSE(card->containsPoint({2, 2}));     // 11.3 from it
    // A radius beyond half the short side makes a stadium with circular ends.
    auto pill = UIBezierPath::bezierPathWithRoundedRect({0, 0, 40, 20}, 100);
    EXPECT_TRUE(pill->containsPoint({20, 1}));
    EXPECT_FALSE(pill->containsPoint({1, 3}));
    EXPECT_TRUE(pill->containsPoint({10, 3}));
    EXPECT_EQ(pill->bounds(), CGRectMake(0, 0, 40, 20));
}

TEST(PathBounds, ControlPointsVersusOutline) {
    CGPath hump;
    hump.moveTo({0, 0});
    hump.addCurveTo({0, -40}, {100, -40}, {100, 0});
    EXPECT_EQ(hump.boundingBox(), CGRectMake(0, -40, 100, 40));
    const CGRect tight = hump.pathBoundingBox();
    EXPECT_NEAR(tight.minY(), -30, 1e-9);  // the curve's top is 3/4 of the way to its controls
    EXPECT_NEAR(tight.width(), 100, 1e-9);
    EXPECT_TRUE(CGPath().boundingBox().isNull());

    auto moved = UIBezierPath::bezierPathWithOvalInRect({0, 0, 10, 20});
    moved->applyTransform(CGAffineTransformMakeTranslation(5, -5));
    EXPECT_EQ(moved->bounds(), CGRectMake(5, -5, 10, 20));
    expectPoint(moved->currentPoint(), {15, 5});
}

TEST(PathBuilding, LinesWithoutAStartBeginASubpath) {
    auto path = UIBezierPath::bezierPath();
    path->addLineToPoint({3, 4});
    path->addLineToPoint({10, 4});
    path->closePath();
    ASSERT_EQ(path->path().elements().size(), 3u);
    EXPECT_EQ(path->path().elements()[0].type, CGPathElementType::moveToPoint);
    expectPoint(path->currentPoint(), {3, 4});  // back at the subpath's start after the close
    // An arc added after a point is joined to it by a line.
    path->addArcWithCenter({20, 4}, 5, kPi, 0, true);
    EXPECT_EQ(path->path().elements()[3].type, CGPathElementType::addLineToPoint);
    expectPoint(path->path().elements()[3].points[0], {15, 4});
}
