#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/quartzcore/ca_transform_3d.h"
#include "tests/support/transform_expectations.h"

using namespace platform;
using quorvel::testing::expectTransformNear;

namespace {

// The carousel's cylinder item: base with perspective, moved back by r, turned about y, moved forward.
CATransform3D cylinderItem(double perspective, double r, double angle) {
    CATransform3D base = CATransform3DIdentity;
    base.m34 = perspective;
    CATransform3D t = CATransform3DTranslate(base, 0, 0, -r);
    t = CATransform3DRotate(t, angle, 0, 1, 0);
    return CATransform3DTranslate(t, 0, 0, r);
}

}  // namespace

TEST(Transform3DMatrices, RotationFollowsTheRowVectorConvention) {
    const auto quarter = CATransform3DMakeRotation(std::numbers::pi / 2, 0, 0, 1);
    expectTransformNear(quarter, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    // x goes to y: clockwise on a y-down screen.
    const auto p = quarter.projectPoint({1, 0});
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->x, 0, 1e-12);
    EXPECT_NEAR(p->y, 1, 1e-12);
    // About y, x turns towards −z.
    expectTransformNear(CATransform3DMakeRotation(std::numbers::pi / 6, 0, 2, 0),
               {std::sqrt(3) / 2, 0, -0.5, 0, 0, 1, 0, 0, 0.5, 0, std::sqrt(3) / 2, 0, 0, 0, 0, 1});
    EXPECT_TRUE(CATransform3DMakeRotation(1, 0, 0, 0).isIdentity());
}

TEST(Transform3DMatrices, HelpersActBeforeTheTransformGiven) {
    const auto rotated = CATransform3DMakeRotation(std::numbers::pi / 2, 0, 0, 1);
    // Translate then rotate: the offset (10, 0) is turned to (0, 10).
    const auto t = CATransform3DTranslate(rotated, 10, 0, 0);
    EXPECT_NEAR(t.m41, 0, 1e-12);
    EXPECT_NEAR(t.m42, 10, 1e-12);
    // Concat applies its first argument first: rotate then translate keeps the offset.
    const auto c = CATransform3DConcat(rotated, CATransform3DMakeTranslation(10, 0, 0));
    EXPECT_NEAR(c.m41, 10, 1e-12);
    EXPECT_NEAR(c.m42, 0, 1e-12);
    const auto s = CATransform3DScale(CATransform3DMakeTranslation(5, 6, 7), 2, 3, 4);
    expectTransformNear(s, {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1});
}

TEST(Transform3DMatrices, CarouselPerspectiveItemMatchesTheHandComputedMatrix) {
    const double p = -1.0 / 500, r = 100, c = std::cos(std::numbers::pi / 6), s = 0.5;
    const auto item = cylinderItem(p, r, std::numbers::pi / 6);
    // Worked by hand: T(0,0,r) · Ry(a) · T(0,0,−r) · B.
    expectTransformNear(item, {c, 0, -s, -s * p,  //
                      0, 1, 0, 0,        //
                      s, 0, c, c * p,    //
                      r * s, 0, r * (c - 1), r * (c - 1) * p + 1});
    const auto projected = item.projectPoint({10, 20});
    ASSERT_TRUE(projected);
    const double w = 10 * (-s * p) + r * (c - 1) * p + 1;
    EXPECT_NEAR(projected->x, (10 * c + r * s) / w, 1e-9);
    EXPECT_NEAR(projected->y, 20 / w, 1e-9);
}

TEST(Transform3DMatrices, CarouselItemInverseUndoesItStepByStep) {
    const double p = -1.0 / 500, r = 100, a = std::numbers::pi / 6;
    const auto item = cylinderItem(p, r, a);
    CATransform3D baseInverse = CATransform3DIdentity;
    baseInverse.m34 = -p;
    // (T2 · R · T1 · B)⁻¹ = B⁻¹ · T1⁻¹ · R⁻¹ · T2⁻¹.
    const auto expected = CATransform3DConcat(
        CATransform3DConcat(CATransform3DConcat(baseInverse, CATransform3DMakeTranslation(0, 0, r)),
                            CATransform3DMakeRotation(-a, 0, 1, 0)),
        CATransform3DMakeTranslation(0, 0, -r));
    expectTransformNear(CATransform3DInvert(item), expected);
    expectTransformNear(CATransform3DConcat(item, CATransform3DInvert(item)), CATransform3DIdentity);

    const auto screen = item.projectPoint({-30, 45});
    ASSERT_TRUE(screen);
    const auto back = item.unprojectPoint(*screen);
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->x, -30, 1e-9);
    EXPECT_NEAR(back->y, 45, 1e-9);

    const auto flat = CATransform3DMakeScale(2, 0, 1);
    EXPECT_FALSE(flat.isInvertible());
    EXPECT_EQ(CATransform3DInvert(flat), flat) << "a singular transform is returned uninverted";
}

TEST(Transform3DMatrices, EdgeOnAndBehindTheEyeHaveNoPoint) {
    CATransform3D edgeOn = CATransform3DMakeRotation(std::numbers::pi / 2, 0, 1, 0);
    EXPECT_FALSE(edgeOn.unprojectPoint({5, 5}));
    // Strong perspective: a point far to the side lands behind the eye.
    CATransform3D steep = CATransform3DIdentity;
    steep.m34 = -1.0 / 50;
    steep = CATransform3DRotate(steep, std::numbers::pi / 3, 0, 1, 0);
    EXPECT_FALSE(steep.projectPoint({-200, 0}));
    EXPECT_TRUE(steep.projectPoint({20, 0}));
}

TEST(Transform3DMatrices, AffinePartAndAffineTest) {
    const auto affine = CGAffineTransformMake(1, 2, 3, 4, 5, 6);
    CATransform3D t = CATransform3DMakeAffineTransform(affine);
    EXPECT_TRUE(t.isAffine());
    EXPECT_EQ(CATransform3DGetAffineTransform(t), affine);
    t.m34 = -0.002;
    EXPECT_FALSE(t.isAffine());
    EXPECT_FALSE(CATransform3DMakeRotation(0.1, 0, 1, 0).isAffine());
}

TEST(Transform3DInterpolation, TurnsInsteadOfSquashing) {
    const auto half =
        CATransform3D::interpolate(CATransform3DIdentity, CATransform3DMakeRotation(std::numbers::pi / 2, 0, 0, 1), 0.5);
    expectTransformNear(half, CATransform3DMakeRotation(std::numbers::pi / 4, 0, 0, 1));
    // Half of a half turn about y is edge-on, not a matrix squashed to nothing along x.
    const auto flip =
        CATransform3D::interpolate(CATransform3DIdentity, CATransform3DMakeRotation(std::numbers::pi, 0, 1, 0), 0.5);
    expectTransformNear(flip, CATransform3DMakeRotation(std::numbers::pi / 2, 0, 1, 0));
    // From a turn about y to a turn about z, both by π (the spinner's plane).
    const auto yz = CATransform3D::interpolate(CATransform3DMakeRotation(std::numbers::pi, 0, 1, 0),
                                               CATransform3DMakeRotation(std::numbers::pi, 0, 0, 1), 0.5);
    EXPECT_NEAR(yz.determinant(), 1, 1e-9);
}

TEST(Transform3DInterpolation, ScalesThroughZeroAndKeepsPerspective) {
    expectTransformNear(
        CATransform3D::interpolate(CATransform3DMakeScale(0, 0, 0), CATransform3DMakeScale(1, 1, 0), 0.5),
        CATransform3DMakeScale(0.5, 0.5, 0));
    // Endpoints come back exactly enough, perspective and mirroring included.
    const auto item = cylinderItem(-1.0 / 500, 100, 0.7);
    const auto mirrored = CATransform3DScale(CATransform3DMakeRotation(0.3, 1, 1, 0), -2, 1, 0.5);
    expectTransformNear(CATransform3D::interpolate(item, mirrored, 0), item);
    expectTransformNear(CATransform3D::interpolate(item, mirrored, 1), mirrored);
    const auto tr = CATransform3D::interpolate(CATransform3DMakeTranslation(0, 0, 0),
                                               CATransform3DMakeTranslation(10, -20, 30), 0.3);
    expectTransformNear(tr, CATransform3DMakeTranslation(3, -6, 9));
}
