#include "platform/graphics/damage_region.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace platform {
namespace {

TEST(DamageRegion, RoundsOutToWholePixelsAndKeepsInsideTheLimit) {
    DamageRegion damage;
    damage.setLimit(CGRectMake(0, 0, 100, 50));
    damage.add(CGRectMake(10.4, 5.6, 2.2, 2.2));
    ASSERT_EQ(damage.rects().size(), 1u);
    EXPECT_EQ(damage.rects()[0], CGRectMake(10, 5, 3, 3));
    damage.add(CGRectMake(90, 40, 30, 30));
    EXPECT_EQ(damage.rects()[1], CGRectMake(90, 40, 10, 10));
    damage.add(CGRectMake(200, 200, 5, 5));
    damage.add(CGRect::null());
    EXPECT_EQ(damage.rects().size(), 2u) << "outside and null add nothing";
    // A box that could not be worked out may lie anywhere: all of the limit.
    damage.add(CGRectMake(std::numeric_limits<double>::quiet_NaN(), 0, 1, 1));
    ASSERT_EQ(damage.rects().size(), 1u);
    EXPECT_EQ(damage.area(), 5000);
}

TEST(DamageRegion, MergesTouchingRectanglesAndCapsTheirNumber) {
    DamageRegion damage;
    damage.add(CGRectMake(0, 0, 10, 10));
    damage.add(CGRectMake(10, 0, 10, 10));  // touching
    ASSERT_EQ(damage.rects().size(), 1u);
    EXPECT_EQ(damage.rects()[0], CGRectMake(0, 0, 20, 10));
    damage.add(CGRectMake(100, 100, 10, 10));
    damage.add(CGRectMake(5, 5, 100, 100));  // joins both, and so the two become one
    ASSERT_EQ(damage.rects().size(), 1u);
    EXPECT_EQ(damage.rects()[0], CGRectMake(0, 0, 110, 110));
    // A tall strip crossing a wide one: their union would be mostly waste, so both stay.
    DamageRegion cross;
    cross.add(CGRectMake(45, 0, 10, 100));
    cross.add(CGRectMake(0, 45, 100, 10));
    EXPECT_EQ(cross.rects().size(), 2u);
    EXPECT_TRUE(cross.intersects(CGRectMake(50, 5, 1, 1)) && cross.intersects(CGRectMake(5, 50, 1, 1)));
    EXPECT_FALSE(cross.intersects(CGRectMake(5, 5, 10, 10)));

    DamageRegion scattered;
    for (int i = 0; i < 20; ++i) scattered.add(CGRectMake(i * 50, (i % 2) * 500, 10, 10));
    EXPECT_LE(scattered.rects().size(), DamageRegion::kMostRectangles);
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(scattered.intersects(CGRectMake(i * 50 + 1, (i % 2) * 500 + 1, 1, 1)));
}

}  // namespace
}  // namespace platform
