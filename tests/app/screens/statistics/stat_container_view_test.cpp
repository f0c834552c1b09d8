#include <gtest/gtest.h>

#include "app/widgets/icons/icon_font.h"
#include "platform/uikit/controls/ui_control.h"
#include "tests/app/screens/statistics/charts_fixture.h"

namespace quorvel {
namespace {

using platform::UIControlStateNormal;
using testing::ChartsTest;
using StatBoxes = ChartsTest;

std::string total(const StatContainerView& box) {
    return box.pomodorosButton()->titleForState(UIControlStateNormal).value_or("");
}
std::string comparison(const StatContainerView& box) {
    return box.sessionsButton()->titleForState(UIControlStateNormal).value_or("");
}

bool samePixels(const platform::UIImage& a, const platform::UIImage& b) {
    if (a.pixelWidth() != b.pixelWidth() || a.pixelHeight() != b.pixelHeight()) return false;
    for (int y = 0; y < a.pixelHeight(); ++y) {
        for (int x = 0; x < a.pixelWidth(); ++x) {
            if (!(a.pixelAt(x, y) == b.pixelAt(x, y))) return false;
        }
    }
    return true;
}

// The arrows a box shows: "up", "down" or "none" for each of its two buttons.
std::string arrows(const StatContainerView& box) {
    const auto colour = platform::UIColor::whiteColor()->colorWithAlphaComponent(0.5);
    auto name = [&](const std::shared_ptr<platform::UIImage>& image, const char* up, const char* down, double size) {
        if (!image) return std::string("none");
        if (samePixels(*image, *IconFont::imageWithIcon(up, size, colour))) return std::string("up");
        if (samePixels(*image, *IconFont::imageWithIcon(down, size, colour))) return std::string("down");
        return std::string("another image");
    };
    return name(box.sessionsButton()->imageForState(UIControlStateNormal), StatContainerView::kSmallUpArrow,
                StatContainerView::kSmallDownArrow, StatContainerView::kSmallArrowSize) +
           "/" +
           name(box.pomodorosButton()->imageForState(UIControlStateNormal), StatContainerView::kLargeUpArrow,
                StatContainerView::kLargeDownArrow, StatContainerView::kLargeArrowSize);
}

}  // namespace

TEST_F(StatBoxes, WithoutSessionsBothBoxesShowZeroAndNoArrows) {
    show();
    for (const auto& [box, title] : {std::pair{screen->stat14DaysView(), "Last 14 Days"},
                                     std::pair{screen->stat30DaysView(), "Last 30 Days"}}) {
        EXPECT_EQ(box->titleLabel()->text(), title);
        EXPECT_EQ(total(*box), "0");
        EXPECT_EQ(comparison(*box), "0.0 Sessions");
        EXPECT_EQ(arrows(*box), "none/none");
        EXPECT_EQ(box->backgroundColor(), screen->focusThemeColor());
    }
}

TEST_F(StatBoxes, MoreSessionsThanTheDaysBeforeShowUpArrowsAndFewerDownArrows) {
    for (int i = 0; i < 12; ++i) store(daysAgo(i));
    show();
    auto box = screen->stat14DaysView();
    EXPECT_EQ(total(*box), "12");
    EXPECT_EQ(comparison(*box), "12.0 Sessions");
    EXPECT_EQ(arrows(*box), "up/up");

    box->configure("Last 14 Days", 14, [] {
        DayNumbers days;
        days[ChartsTest::local(2026, 3, 2)] = {9, 0, 0, 0};
        days[ChartsTest::local(2026, 2, 10)] = {12, 0, 0, 0};
        return days;
    }());
    EXPECT_EQ(total(*box), "9");
    EXPECT_EQ(comparison(*box), "-3 (-25.0%)");
    EXPECT_EQ(arrows(*box), "down/down");

    const DayNumbers even = {{ChartsTest::local(2026, 3, 1), {5, 0, 0, 0}}, {ChartsTest::local(2026, 2, 14), {5, 0, 0, 0}}};
    box->configure("Last 14 Days", 14, even);
    EXPECT_EQ(comparison(*box), "0 (0.0%)");
    EXPECT_EQ(arrows(*box), "none/none");
}

TEST(StatBoxComparison, TheDifferenceWithItsShareOfTheEarlierTotal) {
    EXPECT_EQ(StatContainerView::comparisonText(15, 12), "3 (25.0%)");
    EXPECT_EQ(StatContainerView::comparisonText(1, 3), "-2 (-66.7%)");
    EXPECT_EQ(StatContainerView::comparisonText(4, 0), "4.0 Sessions");
    EXPECT_EQ(StatContainerView::comparisonText(0, 0), "0.0 Sessions");
}

// The earlier period is anchored N + 1 days back: the day exactly N days ago counts in neither period.
TEST_F(StatBoxes, TheDayNDaysAgoCountsInNeitherPeriod) {
    store(daysAgo(13));
    for (int i = 0; i < 2; ++i) store(daysAgo(14));
    for (int i = 0; i < 4; ++i) store(daysAgo(28));
    store(daysAgo(61));
    show();
    EXPECT_EQ(total(*screen->stat14DaysView()), "1");
    EXPECT_EQ(comparison(*screen->stat14DaysView()), "-3 (-75.0%)") << "14 days ago in neither, 28 days ago earlier";
    EXPECT_EQ(total(*screen->stat30DaysView()), "7");
    EXPECT_EQ(comparison(*screen->stat30DaysView()), "7.0 Sessions") << "61 days ago is past both periods";

    store(daysAgo(60));
    screen->refreshCharts();
    screen->updateStatBoxes();
    EXPECT_EQ(comparison(*screen->stat30DaysView()), "6 (600.0%)");
}

}  // namespace quorvel
