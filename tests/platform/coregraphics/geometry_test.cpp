#include <gtest/gtest.h>

#include <numbers>

#include "platform/coregraphics/cg_affine_transform.h"
#include "platform/coregraphics/cg_geometry.h"

using namespace platform;

namespace {

void expectNear(CGPoint a, CGPoint b) {
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
}

}  // namespace

TEST(Rect, NegativeSizeStandardisesForEveryQuery) {
    CGRect r(10, 20, -4, -6);
    EXPECT_EQ(r.standardized(), CGRect(6, 14, 4, 6));
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxY(), 20);
    EXPECT_TRUE(r.contains(CGPoint{7, 15}));
    EXPECT_EQ(r, CGRect(6, 14, 4, 6));
}

// Integral covers the fractional rectangle, an inset past nothing is null, a union ignores null.
TEST(Rect, IntegralInsetAndUnion) {
    EXPECT_EQ(CGRect(0.5, 1.2, 2.0, 2.9).integral(), CGRect(0, 1, 3, 4));
    EXPECT_EQ(CGRect(-0.5, -0.5, 1, 1).integral(), CGRect(-1, -1, 2, 2));
    EXPECT_TRUE(CGRect::null().integral().isNull());
    EXPECT_EQ(CGRectInset(CGRect(0, 0, 10, 10), -1, -1), CGRect(-1, -1, 12, 12));
    EXPECT_TRUE(CGRectInset(CGRect(0, 0, 10, 10), 6, 0).isNull());
    CGRect a(0, 0, 10, 10), b(20, 5, 5, 10);
    EXPECT_EQ(a.unionWith(b), CGRect(0, 0, 25, 15));
    EXPECT_EQ(CGRect::null().unionWith(b), b);
}

TEST(Rect, IntersectionOfDisjointRectsIsNullButTouchingIsEmpty) {
    CGRect a(0, 0, 10, 10);
    EXPECT_EQ(a.intersection(CGRect(5, 5, 10, 10)), CGRect(5, 5, 5, 5));
    EXPECT_TRUE(a.intersection(CGRect(11, 0, 5, 5)).isNull());
    CGRect touching = a.intersection(CGRect(10, 0, 5, 5));
    EXPECT_FALSE(touching.isNull());
    EXPECT_TRUE(touching.isEmpty());
    EXPECT_FALSE(a.intersects(CGRect(10, 0, 5, 5)));
    EXPECT_NE(CGRect::null(), CGRect::zero());
    EXPECT_TRUE(CGRect::null().isEmpty());
    EXPECT_FALSE(CGRect::zero().isNull());
}

TEST(Rect, ContainsIsHalfOpen) {
    CGRect a(0, 0, 10, 10);
    EXPECT_TRUE(a.contains(CGPoint{0, 0}));
    EXPECT_FALSE(a.contains(CGPoint{10, 5}));
    EXPECT_TRUE(a.contains(CGRect(0, 0, 10, 10)));
    EXPECT_FALSE(a.contains(CGRect(1, 1, 10, 1)));
    EXPECT_FALSE(CGRect::null().contains(CGPoint{0, 0}));
}

TEST(Rect, EdgeInsetsAndDivide) {
    EXPECT_EQ(UIEdgeInsetsInsetRect(CGRect(0, 0, 100, 50), UIEdgeInsetsMake(1, 2, 3, 4)),
              CGRect(2, 1, 94, 46));
    CGRect slice, rest;
    CGRectDivide(CGRect(0, 0, 100, 50), &slice, &rest, 30, CGRectEdge::maxXEdge);
    EXPECT_EQ(slice, CGRect(70, 0, 30, 50));
    EXPECT_EQ(rest, CGRect(0, 0, 70, 50));
    CGRectDivide(CGRect(0, 0, 100, 50), &slice, &rest, 80, CGRectEdge::minYEdge);
    EXPECT_EQ(slice, CGRect(0, 0, 100, 50));
    EXPECT_TRUE(rest.isEmpty());
}

TEST(AffineTransform, HelpersActBeforeTheGivenTransform) {
    // Scale then translate: the translation is not scaled.
    CGAffineTransform t = CGAffineTransformTranslate(CGAffineTransformMakeScale(2, 3), 10, 10);
    expectNear(t.apply(CGPoint{1, 1}), CGPoint{22, 33});
    CGAffineTransform u =
        CGAffineTransformConcat(CGAffineTransformMakeScale(2, 3), CGAffineTransformMakeTranslation(10, 10));
    expectNear(u.apply(CGPoint{1, 1}), CGPoint{12, 13});
    // Rotation is counterclockwise in maths axes.
    CGAffineTransform r = CGAffineTransformMakeRotation(std::numbers::pi / 2);
    expectNear(r.apply(CGPoint{1, 0}), CGPoint{0, 1});
    expectNear(r.apply(CGPoint{0, 1}), CGPoint{-1, 0});
}

TEST(AffineTransform, InverseUndoesAndSingularStaysPut) {
    CGAffineTransform t = CGAffineTransformMakeRotation(0.7).translatedBy(5, -3).scaledBy(2, 0.5);
    CGAffineTransform round = t.concat(t.inverted());
    EXPECT_NEAR(round.a, 1, 1e-12);
    EXPECT_NEAR(round.b, 0, 1e-12);
    EXPECT_NEAR(round.tx, 0, 1e-12);
    expectNear(t.inverted().apply(t.apply(CGPoint{3, 4})), CGPoint{3, 4});
    CGAffineTransform singular = CGAffineTransformMakeScale(0, 1);
    EXPECT_EQ(singular.inverted(), singular);
}

TEST(AffineTransform, RectMapsToBoundingBoxOfCorners) {
    CGRect r = CGAffineTransformMakeRotation(std::numbers::pi / 4).apply(CGRect(0, 0, 2, 2));
    EXPECT_NEAR(r.origin.x, -std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(r.size.width, 2 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(r.size.height, 2 * std::sqrt(2.0), 1e-9);
    CGSize s = CGAffineTransformMakeTranslation(5, 5).apply(CGSize{3, 4});
    EXPECT_EQ(s, (CGSize{3, 4}));
}
