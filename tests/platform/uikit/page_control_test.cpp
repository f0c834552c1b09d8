#include <gtest/gtest.h>

#include "platform/uikit/controls/ui_page_control.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;

TEST(PageControl, TheCurrentPageIsAlwaysAPageThereIs) {
    UIPageControl control(CGRect(0, 0, 148, 37));
    control.setCurrentPage(3);
    EXPECT_EQ(control.currentPage(), 0);
    control.setNumberOfPages(4);
    control.setCurrentPage(4);
    EXPECT_EQ(control.currentPage(), 3);
    control.setCurrentPage(-2);
    EXPECT_EQ(control.currentPage(), 0);
    control.setCurrentPage(2);
    control.setNumberOfPages(2);
    EXPECT_EQ(control.currentPage(), 1);
    control.setNumberOfPages(-5);
    EXPECT_EQ(control.numberOfPages(), 0);
    EXPECT_EQ(control.currentPage(), 0);
}

TEST(PageControl, DotsSitInARowInTheMiddle) {
    EXPECT_EQ(UIPageControl::sizeForNumberOfPages(0), (CGSize{0, 37}));
    EXPECT_EQ(UIPageControl::sizeForNumberOfPages(1), (CGSize{7, 37}));
    EXPECT_EQ(UIPageControl::sizeForNumberOfPages(3), (CGSize{7 * 3 + 9 * 2, 37}));

    UIPageControl control(CGRect(0, 0, 148, 37));
    control.setNumberOfPages(3);
    EXPECT_EQ(control.intrinsicContentSize(), UIPageControl::sizeForNumberOfPages(3));
    const CGRect first = control.rectForPage(0), last = control.rectForPage(2);
    EXPECT_EQ(first.size, (CGSize{7, 7}));
    EXPECT_NEAR(first.minX() - 0, 148 - last.maxX(), 1e-9);
    EXPECT_NEAR(first.midY(), 18.5, 1e-9);
    EXPECT_EQ(control.rectForPage(1).minX() - first.minX(), 16);
}

class PageControlTouch : public quorvel::testing::TouchTest {};

TEST_F(PageControlTouch, ATapOnEitherSideStepsOnePageAndTellsTheTargets) {
    auto control = addView<UIPageControl>(window, CGRect(100, 600, 148, 37));
    control->setNumberOfPages(3);
    std::vector<long> pages;
    control->addTarget(
        nullptr, [&](UIControl& c) { pages.push_back(static_cast<UIPageControl&>(c).currentPage()); },
        UIControlEventValueChanged);
    driver.tap({240, 618});  // right of the middle
    driver.tap({240, 618});
    driver.tap({240, 618});  // already on the last page: nothing changes, nothing is sent
    driver.tap({110, 618});
    EXPECT_EQ(pages, (std::vector<long>{1, 2, 1}));
    EXPECT_EQ(control->currentPage(), 1);

    // Not interactive, it takes no taps.
    control->setUserInteractionEnabled(false);
    driver.tap({240, 618});
    EXPECT_EQ(control->currentPage(), 1);
}
