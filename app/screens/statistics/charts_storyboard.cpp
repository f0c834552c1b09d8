#include "app/screens/statistics/charts_storyboard.h"

#include "app/core/core_data_manager.h"
#include "app/screens/statistics/charts_view_controller.h"
#include "platform/coredata/launch_gate.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/layout/ui_layout_guide.h"
#include "platform/uikit/nibs/ui_storyboard.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr CGFloat kMargin = 12;
constexpr CGFloat kAverageHeight = 18;
// An average of hours ("Average 12 Focus Sessions ( 10 hours 48 minutes )") fits the narrowest area, a
// small phone on its side, at about 9 points.
constexpr CGFloat kAverageLeastScale = 0.65;
constexpr CGFloat kBoxHeight = 84;
// The bar area's ground, dark enough for bars in any theme colour and for white labels.
constexpr double kBarGround[] = {54 / 255.0, 62 / 255.0, 71 / 255.0};

using Constraints = std::vector<std::shared_ptr<NSLayoutConstraint>>;

template <typename View>
std::shared_ptr<View> byConstraints(std::shared_ptr<View> view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    return view;
}

std::shared_ptr<UILabel> label(std::shared_ptr<UIFont> font, const std::string& text = "") {
    auto made = byConstraints(std::make_shared<UILabel>());
    made->setFont(std::move(font));
    made->setTextColor(UIColor::whiteColor());
    made->setText(text);
    return made;
}

// The same edges as `other`, moved in by `inset` on every side.
Constraints pin(UIView& view, UIView& other, CGFloat inset = 0) {
    return {view.leadingAnchor().constraintEqualToAnchor(other.leadingAnchor(), inset),
            view.trailingAnchor().constraintEqualToAnchor(other.trailingAnchor(), -inset),
            view.topAnchor().constraintEqualToAnchor(other.topAnchor(), inset),
            view.bottomAnchor().constraintEqualToAnchor(other.bottomAnchor(), -inset)};
}

// Inside `other`'s safe area, moved in by `inset` on every side: clear of the bar over the screen and
// of the sensor housing.
Constraints pinInsideSafeArea(UIView& view, UIView& other, CGFloat inset) {
    const UILayoutGuide safe = other.safeAreaLayoutGuide();
    return {view.leadingAnchor().constraintEqualToAnchor(safe.leadingAnchor(), inset),
            view.trailingAnchor().constraintEqualToAnchor(safe.trailingAnchor(), -inset),
            view.topAnchor().constraintEqualToAnchor(safe.topAnchor(), inset),
            view.bottomAnchor().constraintEqualToAnchor(safe.bottomAnchor(), -inset)};
}

// Date, hairline, the day's count with its caption, and its focus time, over the chart in `holder`.
std::shared_ptr<ChartResultView> makeResultView(UINibBuilder& nib, UIView& holder) {
    auto panel = nib.add(byConstraints(std::make_shared<ChartResultView>()));
    panel->setFrame(CGRect(0, 0, 300, 220));
    panel->setClipsToBounds(true);
    // Touches go through to the chart, so the next day can be touched while a day shows.
    panel->setUserInteractionEnabled(false);
    holder.addSubview(panel);
    // One line, sized to each day's own text: a label of more lines is measured at the width the
    // previous day's text gave it, and a wider day wrapped there.
    auto date = nib.add(label(UIFont::boldSystemFontOfSize(17)));
    auto separator = nib.add(std::make_shared<UIView>(CGRect(kMargin, 48, 40, 2)));
    separator->setBackgroundColor(UIColor::whiteColor());
    auto count = nib.add(label(UIFont::systemFontOfSize(80), "0"));
    auto caption = nib.add(label(UIFont::systemFontOfSize(26), "Sessions"));
    auto time = nib.add(label(UIFont::systemFontOfSize(10)));
    for (const auto& view : std::vector<std::shared_ptr<UIView>>{date, separator, count, caption, time})
        panel->addSubview(view);
    auto constraints = pin(*panel, holder);
    constraints.insert(constraints.end(),
                       {date->leadingAnchor().constraintEqualToAnchor(panel->leadingAnchor(), kMargin),
                        date->topAnchor().constraintEqualToAnchor(panel->topAnchor(), kMargin),
                        // From the bottom up: the count grows with the screen (its font does).
                        time->leadingAnchor().constraintEqualToAnchor(panel->leadingAnchor(), kMargin),
                        time->bottomAnchor().constraintEqualToAnchor(panel->bottomAnchor(), -10),
                        count->leadingAnchor().constraintEqualToAnchor(panel->leadingAnchor(), kMargin),
                        count->bottomAnchor().constraintEqualToAnchor(time->topAnchor(), 8),
                        caption->leadingAnchor().constraintEqualToAnchor(count->trailingAnchor(), 8),
                        caption->bottomAnchor().constraintEqualToAnchor(count->bottomAnchor(), -12)});
    NSLayoutConstraint::activateConstraints(constraints);
    nib.connect([panel, date, separator, count, caption, time] {
        panel->setDateLabel(date);
        panel->setSessionLabel(count);
        panel->setAvgTimeLabel(time);
        panel->setSeparatorView(separator);
        panel->setSessionTextLabel(caption);
    });
    panel->setHidden(true);
    return panel;
}

// Title and caption on the left, the comparison under them, the total with its arrow on the right.
std::shared_ptr<StatContainerView> makeBox(UINibBuilder& nib) {
    auto box = nib.add(byConstraints(std::make_shared<StatContainerView>()));
    box->layer()->setCornerRadius(8);
    box->layer()->setBorderWidth(1);
    box->layer()->setBorderColor(UIColor::colorWithWhite(1, 0.35));
    auto title = nib.add(label(UIFont::boldSystemFontOfSize(15)));
    auto total = nib.add(label(UIFont::systemFontOfSize(12), "Focus Sessions"));
    total->setTextColor(UIColor::colorWithWhite(1, 0.75));
    auto makeButton = [&](std::shared_ptr<UIFont> font) {
        auto button = nib.add(byConstraints(std::make_shared<UIButton>()));
        button->titleLabel()->setFont(std::move(font));
        button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
        button->setUserInteractionEnabled(false);
        return button;
    };
    auto sessions = makeButton(UIFont::systemFontOfSize(13));
    auto pomodoros = makeButton(UIFont::boldSystemFontOfSize(32));
    for (const auto& view : std::vector<std::shared_ptr<UIView>>{title, total, sessions, pomodoros}) box->addSubview(view);
    NSLayoutConstraint::activateConstraints(
        {title->leadingAnchor().constraintEqualToAnchor(box->leadingAnchor(), kMargin),
         title->topAnchor().constraintEqualToAnchor(box->topAnchor(), 10),
         total->leadingAnchor().constraintEqualToAnchor(box->leadingAnchor(), kMargin),
         total->topAnchor().constraintEqualToAnchor(title->bottomAnchor(), 2),
         sessions->leadingAnchor().constraintEqualToAnchor(box->leadingAnchor(), kMargin),
         sessions->bottomAnchor().constraintEqualToAnchor(box->bottomAnchor(), -8),
         pomodoros->trailingAnchor().constraintEqualToAnchor(box->trailingAnchor(), -kMargin),
         pomodoros->centerYAnchor().constraintEqualToAnchor(box->centerYAnchor())});
    nib.connect([box, title, total, sessions, pomodoros] {
        box->setTitleLabel(title);
        box->setTotalLabel(total);
        box->setPomodorosButton(pomodoros);
        box->setSessionsButton(sessions);
    });
    return box;
}

struct ChartArea {
    std::shared_ptr<UIView> area;
    std::shared_ptr<UILabel> average;
    std::shared_ptr<ChartResultView> panel;
    std::shared_ptr<StatContainerView> box;
};

// The average over the chart, the box under it (while shown), the panel over the chart.
ChartArea makeArea(UINibBuilder& nib, const std::shared_ptr<ChartViewBase>& chart) {
    ChartArea made;
    made.area = nib.add(std::make_shared<UIView>());
    made.average = nib.add(label(UIFont::systemFontOfSize(13)));
    // Smaller type where the area is narrow: the minutes at the end are what a person looks for.
    made.average->setAdjustsFontSizeToFitWidth(true);
    made.average->setMinimumScaleFactor(kAverageLeastScale);
    made.box = makeBox(nib);
    auto holder = std::make_shared<UIView>();
    holder->addSubview(byConstraints(chart));
    NSLayoutConstraint::activateConstraints(pin(*chart, *holder));
    made.panel = makeResultView(nib, *holder);
    auto column = byConstraints(std::make_shared<UIStackView>());
    column->setAxis(UILayoutConstraintAxis::vertical);
    column->setSpacing(6);
    made.area->addSubview(column);
    column->addArrangedSubview(made.average);
    column->addArrangedSubview(holder);
    column->addArrangedSubview(made.box);
    auto boxHeight = made.box->heightAnchor().constraintEqualToConstant(kBoxHeight);
    // A hidden box gives its room back to the chart.
    boxHeight->setPriority(999);
    auto constraints = pinInsideSafeArea(*column, *made.area, kMargin);
    constraints.insert(constraints.end(), {made.average->heightAnchor().constraintEqualToConstant(kAverageHeight), boxHeight});
    NSLayoutConstraint::activateConstraints(constraints);
    return made;
}

void buildView(UINibBuilder& nib) {
    auto screen = std::static_pointer_cast<ChartsViewController>(nib.owner());
    auto root = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto stack = nib.add(byConstraints(std::make_shared<UIStackView>()));
    stack->setAxis(UILayoutConstraintAxis::vertical);
    stack->setDistribution(UIStackViewDistribution::fillEqually);
    root->addSubview(stack);

    auto lineChart = nib.add(std::make_shared<LineChartView>());
    auto barChart = nib.add(std::make_shared<BarChartView>());
    const ChartArea line = makeArea(nib, lineChart);
    const ChartArea bar = makeArea(nib, barChart);
    bar.area->setBackgroundColor(UIColor::colorWithRed(kBarGround[0], kBarGround[1], kBarGround[2], 1));
    line.panel->setBackgroundColor(UIColor::colorWithRed(kBarGround[0], kBarGround[1], kBarGround[2], 1));
    stack->addArrangedSubview(line.area);
    stack->addArrangedSubview(bar.area);

    // The divider between the areas while they are stacked.
    auto overlay = nib.add(byConstraints(std::make_shared<UIView>()));
    overlay->setBackgroundColor(UIColor::colorWithWhite(1, 0.25));
    root->addSubview(overlay);
    auto constraints = pin(*stack, *root);
    constraints.insert(constraints.end(),
                       {overlay->leadingAnchor().constraintEqualToAnchor(root->leadingAnchor()),
                        overlay->trailingAnchor().constraintEqualToAnchor(root->trailingAnchor()),
                        overlay->topAnchor().constraintEqualToAnchor(bar.area->topAnchor()),
                        overlay->heightAnchor().constraintEqualToConstant(1)});
    NSLayoutConstraint::activateConstraints(constraints);

    nib.setOwnerView(root);
    nib.connectOwner([=] {
        screen->setStackView(stack);
        screen->setLineResultView(line.panel);
        screen->setBarResultView(bar.panel);
        screen->setAvg30DaysLabel(line.average);
        screen->setAvg7DaysLabel(bar.average);
        screen->setLineChartView(lineChart);
        screen->setBarChartView(barChart);
        screen->setStat14DaysView(bar.box);
        screen->setStat30DaysView(line.box);
        screen->setOverlayView(overlay);
    });
}

}  // namespace

void ChartsStoryboard::registerScenes() {
    UIStoryboard::registerScene(kName, kScreen, [] { return std::make_shared<ChartsViewController>(); }, buildView);
    // Once the launch has shown its first frame (and the store is open), the totals are read off the
    // main thread, so that the first visit finds them made.
    LaunchGate::whenOpen([] {
        DispatchQueue::main()->async([] {
            if (const auto context = CoreDataManager::context()) SessionDayTotals::shared()->prepareInBackground(*context);
        });
    });
}

}  // namespace quorvel
