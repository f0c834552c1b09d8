#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "app/core/theme_colors.h"
#include "app/screens/statistics/chart_result_view.h"
#include "app/screens/statistics/day_number.h"
#include "app/screens/statistics/session_day_totals.h"
#include "app/screens/statistics/stat_container_view.h"
#include "platform/charts/bar_chart_data_entry.h"
#include "platform/charts/bar_chart_view.h"
#include "platform/charts/chart_view_delegate.h"
#include "platform/charts/line_chart_view.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/layout/ui_stack_view.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/touches/ui_gesture_recognizer.h"

namespace quorvel {

// The statistics screen: the stored focus sessions per day as a line chart over the last 30 days and a
// bar chart over the last 14, their averages, a panel for the day the user touches, and two boxes that
// compare the last 14 and 30 days with the days before (shown in landscape on a phone). Everything is
// rebuilt whenever a session is stored or a sync changed the store, from day totals that follow the
// store's saves. Made by the "Charts" storyboard.
class ChartsViewController : public platform::UIViewController, public platform::ChartViewDelegate {
public:
    ChartsViewController() = default;
    ~ChartsViewController() override;

    // Outlets.
    std::shared_ptr<platform::UIStackView> stackView() const { return stackView_.lock(); }
    void setStackView(const std::shared_ptr<platform::UIStackView>& view) { stackView_ = view; }
    std::shared_ptr<ChartResultView> lineResultView() const { return lineResultView_.lock(); }
    void setLineResultView(const std::shared_ptr<ChartResultView>& view) { lineResultView_ = view; }
    std::shared_ptr<ChartResultView> barResultView() const { return barResultView_.lock(); }
    void setBarResultView(const std::shared_ptr<ChartResultView>& view) { barResultView_ = view; }
    std::shared_ptr<platform::UILabel> avg30DaysLabel() const { return avg30DaysLabel_.lock(); }
    void setAvg30DaysLabel(const std::shared_ptr<platform::UILabel>& label) { avg30DaysLabel_ = label; }
    // Shows the 14-day average.
    std::shared_ptr<platform::UILabel> avg7DaysLabel() const { return avg7DaysLabel_.lock(); }
    void setAvg7DaysLabel(const std::shared_ptr<platform::UILabel>& label) { avg7DaysLabel_ = label; }
    std::shared_ptr<platform::LineChartView> lineChartView() const { return lineChartView_.lock(); }
    void setLineChartView(const std::shared_ptr<platform::LineChartView>& view) { lineChartView_ = view; }
    std::shared_ptr<platform::BarChartView> barChartView() const { return barChartView_.lock(); }
    void setBarChartView(const std::shared_ptr<platform::BarChartView>& view) { barChartView_ = view; }
    std::shared_ptr<StatContainerView> stat14DaysView() const { return stat14DaysView_.lock(); }
    void setStat14DaysView(const std::shared_ptr<StatContainerView>& view) { stat14DaysView_ = view; }
    std::shared_ptr<StatContainerView> stat30DaysView() const { return stat30DaysView_.lock(); }
    void setStat30DaysView(const std::shared_ptr<StatContainerView>& view) { stat30DaysView_ = view; }
    std::shared_ptr<platform::UIView> overlayView() const { return overlayView_.lock(); }
    void setOverlayView(const std::shared_ptr<platform::UIView>& view) { overlayView_ = view; }

    const DayNumbers& dayNumbersDict() const { return dayNumbersDict_; }
    const std::vector<platform::ChartDataEntry>& lineChartDatas() const { return lineChartDatas_; }
    const std::vector<platform::BarChartDataEntry>& barChartDatas() const { return barChartDatas_; }
    const std::shared_ptr<platform::UIColor>& focusThemeColor() const { return focusThemeColor_; }

    // UIKit.
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void willTransitionToTraitCollection(const platform::UITraitCollection& traits,
                                         platform::UIViewControllerTransitionCoordinator& coordinator) override;
    // "changeChartsData" and "didChangeCloudContent": on the main thread, whichever thread posts.
    void changeChartsData(const platform::NSNotification& notification);

    // The charts.
    void chartValueSelected(platform::ChartViewBase& chartView, const platform::ChartDataEntry& entry,
                            const platform::Highlight& highlight) override;
    void chartViewDidEndPanning(platform::ChartViewBase& chartView) override;

    virtual void layoutForOrientation();
    virtual void updateStatBoxes();
    virtual void configureChartViews();
    virtual void refreshCharts();
    virtual void setupLineChart();
    virtual void setupBarChart();
    // The figures per day.
    virtual void buildChartEntries(std::int64_t days, bool line);
    virtual void aggregateSessionsByDay();
    // Sessions and minutes per day over today and the days - 1 days before it.
    virtual std::pair<double, double> averagesOverLastDays(std::int64_t days);

    void showSelectedDay(const platform::ChartDataEntry& entry, platform::ChartViewBase& chartView);
    void scheduleResultHiding(const std::vector<std::shared_ptr<platform::UIGestureRecognizer>>& recognizers);
    void hideResultViews();

    // "Average 0.7 Focus Sessions ( 18 minutes )".
    static std::string averageText(double sessions, double minutes);
    // The bar width that leaves a gap between bars whose x values are a day apart in seconds.
    static double barWidth(double xMin, double xMax, long entryCount);

    static constexpr double kResultHidingDelay = 0.5;

private:
    std::weak_ptr<platform::UIStackView> stackView_;
    std::weak_ptr<ChartResultView> lineResultView_;
    std::weak_ptr<ChartResultView> barResultView_;
    std::weak_ptr<platform::UILabel> avg30DaysLabel_;
    std::weak_ptr<platform::UILabel> avg7DaysLabel_;
    std::weak_ptr<platform::LineChartView> lineChartView_;
    std::weak_ptr<platform::BarChartView> barChartView_;
    std::weak_ptr<StatContainerView> stat14DaysView_;
    std::weak_ptr<StatContainerView> stat30DaysView_;
    std::weak_ptr<platform::UIView> overlayView_;
    DayNumbers dayNumbersDict_;
    std::shared_ptr<SessionDayTotals> dayTotals_ = SessionDayTotals::shared();
    std::vector<platform::ChartDataEntry> lineChartDatas_;
    std::vector<platform::BarChartDataEntry> barChartDatas_;
    std::shared_ptr<platform::UIColor> focusThemeColor_ = defaultFocusThemeColor();
};

}  // namespace quorvel
