#include "app/widgets/carousel/carousel_cell.h"

#include <gtest/gtest.h>

namespace quorvel {

TEST(CarouselCellMaking, ANewCellHoldsItsTickBelowItsLabelBothWithoutSize) {
    const auto cell = std::make_shared<CarouselCell>(platform::CGRect{0, 0, 20, 42});
    EXPECT_EQ(cell->frame(), (platform::CGRect{0, 0, 20, 42}));
    ASSERT_EQ(cell->subviews().size(), 2u);
    EXPECT_EQ(cell->subviews()[0], cell->measure());
    EXPECT_EQ(cell->subviews()[1], cell->measureLabel());
    EXPECT_EQ(cell->measure()->frame(), platform::CGRect::zero());
    EXPECT_EQ(cell->measureLabel()->frame(), platform::CGRect::zero());
}

}  // namespace quorvel
