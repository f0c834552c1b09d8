#include <gtest/gtest.h>

#include "app/core/formatting_helpers.h"
#include "tests/app/screens/statistics/charts_fixture.h"

namespace quorvel {
namespace {

using platform::CGRect;
using testing::ChartsTest;

// The line chart's panel of a shown screen.
class ResultPanel : public ChartsTest {
protected:
    void SetUp() override {
        show();
        panel = screen->lineResultView();
        ASSERT_TRUE(panel);
        separator = panel->separatorView();
        ASSERT_TRUE(separator);
    }
    std::shared_ptr<ChartResultView> panel;
    std::shared_ptr<platform::UIView> separator;
};

}  // namespace

TEST_F(ResultPanel, ADayFillsTheDateTheCountAndTheFocusTimeAndNoDayLeavesThem) {
    const auto day = local(2026, 3, 5);
    panel->setDayNumberTuple(ChartResultView::DayNumberTuple{day, {3, 75, 0, 0}});
    EXPECT_EQ(panel->selectedDate(), day);
    EXPECT_EQ(panel->dateLabel()->text(), dateTextFromTemplate(day, "EE,\nd MMM"));
    EXPECT_NE(panel->dateLabel()->text().find("Thu"), std::string::npos);
    EXPECT_NE(panel->dateLabel()->text().find("Mar"), std::string::npos);
    EXPECT_NE(panel->dateLabel()->text().find("5"), std::string::npos);
    EXPECT_EQ(panel->sessionLabel()->text(), "3");
    EXPECT_EQ(panel->pomodoros(), 3);
    EXPECT_EQ(panel->avgTimeLabel()->text(), "1 hour 15 minutes");

    panel->setDayNumberTuple(std::nullopt);
    panel->setSelectedDate(std::nullopt);
    EXPECT_EQ(panel->sessionLabel()->text(), "3");
    EXPECT_NE(panel->dateLabel()->text().find("Thu"), std::string::npos);

    panel->setDayNumberTuple(ChartResultView::DayNumberTuple{local(2026, 3, 6), {}});
    EXPECT_EQ(panel->sessionLabel()->text(), "0");
    EXPECT_EQ(panel->avgTime(), " 0 minute");
}

TEST_F(ResultPanel, ShowingSlidesTheSeparatorInFromTheLeftAndHidingParksIt) {
    ASSERT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->frame(), screen->lineChartView()->frame()) << "over the chart";
    panel->resetSeparator();  // parked for the panel's laid out width
    const CGRect parked = separator->frame();
    EXPECT_EQ(parked.origin.x, -panel->bounds().width());
    EXPECT_EQ(separator->alpha(), 0);

    panel->setHidden(false);
    EXPECT_EQ(separator->frame(), CGRect(12, parked.origin.y, parked.size.width, parked.size.height));
    EXPECT_EQ(separator->alpha(), 1);
    clock->advance(0.1);
    const auto halfway = separator->layer()->presentationLayer()->position().x;
    EXPECT_GT(halfway, parked.midX());
    EXPECT_LT(halfway, separator->layer()->position().x);
    clock->advance(0.15);
    EXPECT_TRUE(separator->layer()->animationKeys().empty());

    separator->setFrame(CGRect(100, parked.origin.y, parked.size.width, parked.size.height));
    panel->setHidden(false);
    EXPECT_FALSE(separator->layer()->animationKeys().empty()) << "shown again, it slides again from where it is";
    EXPECT_EQ(separator->frame().origin.x, 12);
    clock->advance(0.25);
    panel->setHidden(true);
    EXPECT_EQ(separator->frame(), parked);
    EXPECT_EQ(separator->alpha(), 0);
}

TEST_F(ResultPanel, AVerticalSeparatorRisesFromBelowAndNoSeparatorMeansNoAnimation) {
    auto vertical = std::make_shared<platform::UIView>(CGRect(90, 30, 1, 60));
    panel->addSubview(vertical);
    panel->setSeparatorView(vertical);
    panel->resetSeparator();
    EXPECT_EQ(vertical->frame(), CGRect(90, panel->bounds().height(), 1, 60));
    panel->setHidden(false);
    EXPECT_EQ(vertical->frame(), CGRect(90, 12, 1, 60));
    clock->advance(0.25);

    panel->setHidden(true);
    panel->setSeparatorView(nullptr);
    panel->setHidden(false);
    EXPECT_FALSE(panel->isHidden());
    EXPECT_TRUE(vertical->layer()->animationKeys().empty());
}

}  // namespace quorvel
