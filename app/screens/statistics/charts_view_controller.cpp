#include "app/screens/statistics/charts_view_controller.h"

#include <cmath>
#include <cstdio>

#include "app/core/app_notification_names.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/formatting_helpers.h"
#include "app/core/user_data_manager.h"
#include "app/screens/statistics/data_value_formatter.h"
#include "app/screens/statistics/date_value_formatter.h"
#include "platform/charts/bar_chart_data.h"
#include "platform/charts/line_chart_data.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/ns_thread.h"
#include "platform/foundation/saturating_cast.h"
#include "platform/uikit/controllers/ui_view_controller_transition_coordinator.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr CGFloat kChartFontSize = 10;

// The label's own face at another size.
void scaleFont(const std::shared_ptr<UILabel>& label, CGFloat size) {
    if (label && label->font()) label->setFont(label->font()->fontWithSize(size));
}

}  // namespace

ChartsViewController::~ChartsViewController() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

// Life cycle ---------------------------------------------------------------------------------------

void ChartsViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    auto self = std::static_pointer_cast<ChartsViewController>(shared_from_this());
    auto& center = NSNotificationCenter::defaultCenter();
    center.addObserver(self, &ChartsViewController::changeChartsData, NotificationName::changeChartsData());
    center.addObserver(self, &ChartsViewController::changeChartsData, NotificationName::didChangeCloudContent());

    focusThemeColor_ = UserDataManager::getPomodoroData().themeColorOf(SessionType::focus);
    view()->setBackgroundColor(focusThemeColor_);
    if (auto panel = barResultView()) panel->setBackgroundColor(focusThemeColor_);

    refreshCharts();
    layoutForOrientation();
    configureChartViews();
    updateStatBoxes();
}

void ChartsViewController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    const CGFloat scale = UIScreen::mainScreen().scale();
    if (!(scale > 0)) return;
    const CGFloat f = view()->bounds().width() / scale / 375.0;
    for (const auto& panel : {barResultView(), lineResultView()}) {
        if (!panel) continue;
        scaleFont(panel->sessionLabel(), std::max(130 * f, 80.0));
        scaleFont(panel->sessionTextLabel(), std::max(46 * f, 26.0));
        scaleFont(panel->avgTimeLabel(), std::max(16 * f, 10.0));
    }
}

void ChartsViewController::willTransitionToTraitCollection(const UITraitCollection& traits,
                                                           UIViewControllerTransitionCoordinator& coordinator) {
    UIViewController::willTransitionToTraitCollection(traits, coordinator);
    std::weak_ptr<UIViewController> weak = weak_from_this();
    coordinator.animateAlongsideTransition(
        [weak](const UIViewControllerTransitionCoordinator&) {
            if (auto self = std::static_pointer_cast<ChartsViewController>(weak.lock())) self->layoutForOrientation();
        },
        nullptr);
}

void ChartsViewController::changeChartsData(const NSNotification& notification) {
    (void)notification;
    // A post from another thread (a sync finishing) updates the screen on the main thread.
    if (!NSThread::isMainThread()) {
        std::weak_ptr<UIViewController> weak = weak_from_this();
        DispatchQueue::main()->async([weak] {
            if (auto self = std::static_pointer_cast<ChartsViewController>(weak.lock())) self->changeChartsData({});
        });
        return;
    }
    refreshCharts();
    updateStatBoxes();
}

// Figures and charts -------------------------------------------------------------------------------

std::string ChartsViewController::averageText(double sessions, double minutes) {
    char figure[64];
    std::snprintf(figure, sizeof figure, sessions < 1.0 ? "%.1f" : "%.0f", sessions);
    const std::int64_t roundedUp = truncatedSaturating(std::ceil(minutes));
    return "Average " + std::string(figure) + " Focus Sessions" + " " + durationTextFromMinutes(true, roundedUp);
}

void ChartsViewController::refreshCharts() {
    aggregateSessionsByDay();
    setupLineChart();
    setupBarChart();
    const auto [sessions14, minutes14] = averagesOverLastDays(14);
    const auto [sessions30, minutes30] = averagesOverLastDays(30);
    if (auto label = avg7DaysLabel()) label->setText(averageText(sessions14, minutes14));
    if (auto label = avg30DaysLabel()) label->setText(averageText(sessions30, minutes30));
}

void ChartsViewController::updateStatBoxes() {
    if (auto box = stat14DaysView()) {
        box->configure("Last 14 Days", 14, dayNumbersDict_);
        box->setBackgroundColor(focusThemeColor_);
    }
    if (auto box = stat30DaysView()) {
        box->configure("Last 30 Days", 30, dayNumbersDict_);
        box->setBackgroundColor(focusThemeColor_);
    }
}

void ChartsViewController::setupLineChart() {
    buildChartEntries(30, true);
    auto set = std::make_shared<LineChartDataSet>(lineChartDatas_, "");
    const auto white = UIColor::whiteColor();
    set->setColor(white);
    set->setCircleColor(white);
    set->setValueTextColor(white);
    set->setHighlightColor(white);
    set->setValueFont(UIFont::systemFontOfSize(kChartFontSize));
    set->setValueFormatter(std::make_shared<DataValueFormatter>());
    set->setDrawValuesEnabled(!dayNumbersDict_.empty());
    set->setLineWidth(2.0);
    set->setCircleRadius(2.0);
    set->setDrawCirclesEnabled(true);
    if (auto chart = lineChartView()) chart->setData(std::make_shared<LineChartData>(set));
}

double ChartsViewController::barWidth(double xMin, double xMax, long entryCount) {
    if (entryCount <= 0) return 0;
    const double n = double(entryCount);
    return std::max(xMax - xMin, 1.0) / n - 1.0 / (n + 1);
}

void ChartsViewController::setupBarChart() {
    buildChartEntries(14, false);
    auto set = std::make_shared<BarChartDataSet>(barChartDatas_, "");
    set->setColors({focusThemeColor_});
    set->setDrawValuesEnabled(!dayNumbersDict_.empty());
    const auto white = UIColor::whiteColor();
    set->setValueTextColor(white);
    set->setHighlightColor(white);
    set->setValueFont(UIFont::systemFontOfSize(kChartFontSize));
    set->setValueFormatter(std::make_shared<DataValueFormatter>());
    const double width = barWidth(set->xMin(), set->xMax(), set->entryCount());
    auto data = std::make_shared<BarChartData>(set);
    data->setBarWidth(width);
    if (auto chart = barChartView()) {
        chart->setFitBars(true);
        chart->xAxis().setSpaceMin(width / 10);
        chart->xAxis().setGranularity(width);
        chart->setData(data);
    }
}

void ChartsViewController::configureChartViews() {
    auto self = std::static_pointer_cast<ChartsViewController>(shared_from_this());
    const std::shared_ptr<ChartViewBase> charts[] = {lineChartView(), barChartView()};
    for (const auto& chart : charts) {
        if (!chart) continue;
        const bool line = chart == charts[0];
        chart->setDelegate(std::static_pointer_cast<ChartViewDelegate>(self));
        auto& xAxis = chart->xAxis();
        xAxis.setLabelFont(UIFont::systemFontOfSize(kChartFontSize));
        xAxis.setLabelTextColor(UIColor::whiteColor());
        xAxis.setValueFormatter(std::make_shared<DateValueFormatter>());
        for (YAxis* axis : {&chart->leftAxis(), &chart->rightAxis()}) {
            axis->setLabelTextColor(UIColor::clearColor());
            axis->setDrawGridLinesEnabled(false);
            axis->setDrawAxisLineEnabled(false);
        }
        // A plain look: day labels under the values, no grid, the drag selects.
        xAxis.setLabelPosition(XAxis::LabelPosition::bottom);
        xAxis.setDrawGridLinesEnabled(false);
        xAxis.setDrawAxisLineEnabled(false);
        xAxis.setAvoidFirstLastClippingEnabled(line);
        chart->setDragEnabled(true);
        chart->setHighlightPerTapEnabled(true);
        chart->setHighlightPerDragEnabled(true);
        if (!line) chart->rightAxis().setEnabled(false);
    }
}

// Layout -------------------------------------------------------------------------------------------

void ChartsViewController::layoutForOrientation() {
    const auto& device = UIDevice::currentDevice();
    const bool landscape = UIDeviceOrientationIsLandscape(device.orientation());
    const bool phoneLandscape = landscape && device.userInterfaceIdiom() == UIUserInterfaceIdiom::phone;
    if (auto stack = stackView())
        stack->setAxis(phoneLandscape ? UILayoutConstraintAxis::horizontal : UILayoutConstraintAxis::vertical);
    auto box14 = stat14DaysView();
    if (box14) box14->setHidden(!phoneLandscape);
    const bool boxesHidden = box14 ? box14->isHidden() : !phoneLandscape;
    if (auto box30 = stat30DaysView()) box30->setHidden(boxesHidden);
    if (auto overlay = overlayView()) overlay->setHidden(!boxesHidden);
    DazarazeAnalyticsManager::logChartEvent(ChartEvent::orientation(landscape ? Rotation::landscape : Rotation::portrait));
}

// Touches ------------------------------------------------------------------------------------------

void ChartsViewController::chartValueSelected(ChartViewBase& chartView, const ChartDataEntry& entry,
                                              const Highlight& highlight) {
    (void)highlight;
    showSelectedDay(entry, chartView);
}

void ChartsViewController::chartViewDidEndPanning(ChartViewBase& chartView) {
    (void)chartView;
    hideResultViews();
}

void ChartsViewController::showSelectedDay(const ChartDataEntry& entry, ChartViewBase& chartView) {
    // Our entries sit on day starts; anything else names no day.
    if (!std::isfinite(entry.x())) return;
    const NSDate day = NSDate::dateWithTimeIntervalSince1970(entry.x());
    const DayNumber record = dayNumberOf(dayNumbersDict_, day);
    const auto line = lineChartView();
    const bool onLine = line && &chartView == static_cast<ChartViewBase*>(line.get());
    DazarazeAnalyticsManager::logChartEvent(
        ChartEvent::graphTouch(onLine ? ChartEvent::Graph::line : ChartEvent::Graph::bar, record.pomodoros));
    if (auto panel = onLine ? lineResultView() : barResultView()) {
        panel->setDayNumberTuple(ChartResultView::DayNumberTuple{day, record});
        if (panel->isHidden()) panel->setHidden(false);
    }
    scheduleResultHiding(chartView.gestureRecognizers());
}

void ChartsViewController::scheduleResultHiding(const std::vector<std::shared_ptr<UIGestureRecognizer>>& recognizers) {
    for (const auto& recognizer : recognizers) {
        if (!dynamic_cast<const UITapGestureRecognizer*>(recognizer.get())) continue;
        if (recognizer->state() != UIGestureRecognizerState::ended) continue;
        // The queued item keeps the screen until it has run.
        auto self = std::static_pointer_cast<ChartsViewController>(shared_from_this());
        DispatchQueue::main()->asyncAfter(kResultHidingDelay, [self] { self->hideResultViews(); });
    }
}

void ChartsViewController::hideResultViews() {
    if (auto panel = lineResultView()) panel->setHidden(true);
    if (auto panel = barResultView()) panel->setHidden(true);
}

}  // namespace quorvel
